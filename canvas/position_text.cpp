#include "canvas/position_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace scrivola {

namespace {

constexpr int kMaxSignificantDigits = 7;
// Decimal exponents written out in full; others go to scientific form.
constexpr int kSmallestPlainExponent = -5;
constexpr int kLargestPlainExponent = 14;

// A positive finite value as significant digits d1 d2 ... (no trailing zeros)
// and the decimal exponent of d1, so value = d1.d2d3... x 10^exponent.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
};

DecimalDigits splitScientific(std::string_view text) {
    // text looks like "1.2345e+07" or "5e-01".
    DecimalDigits result;
    const std::size_t e = text.find('e');
    for (char c : text.substr(0, e)) {
        if (c != '.') {
            result.digits.push_back(c);
        }
    }
    const std::string_view exponentText = text.substr(e + 1);
    const bool negative = exponentText.front() == '-';
    int magnitude = 0;
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), magnitude);
    result.exponent = negative ? -magnitude : magnitude;
    while (result.digits.size() > 1 && result.digits.back() == '0') {
        result.digits.pop_back();
    }
    return result;
}

// Scientific text of `magnitude`: the shortest that reads back as the same
// float, or rounded to `precision` digits after the point when given.
DecimalDigits scientificDigits(float magnitude, int precision = -1) {
    char buffer[64];
    const std::to_chars_result result =
        precision < 0 ? std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific)
                      : std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, precision);
    return splitScientific(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

// The shortest form if it has at most seven digits, else seven digits.
DecimalDigits significantDigits(float magnitude) {
    DecimalDigits shortest = scientificDigits(magnitude);
    if (shortest.digits.size() <= static_cast<std::size_t>(kMaxSignificantDigits)) {
        return shortest;
    }
    return scientificDigits(magnitude, kMaxSignificantDigits - 1);
}

std::string plainForm(const DecimalDigits& d, std::string_view separator) {
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent < 0) {
        std::string text = "0";
        text += separator;
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        return text + d.digits;
    }
    const int wholeDigits = d.exponent + 1;
    if (count <= wholeDigits) {
        return d.digits + std::string(static_cast<std::size_t>(wholeDigits - count), '0');
    }
    std::string text = d.digits.substr(0, static_cast<std::size_t>(wholeDigits));
    text += separator;
    return text + d.digits.substr(static_cast<std::size_t>(wholeDigits));
}

std::string scientificForm(const DecimalDigits& d, std::string_view separator) {
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1) {
        text += separator;
        text += d.digits.substr(1);
    }
    text += d.exponent < 0 ? "E-" : "E+";
    const int magnitude = std::abs(d.exponent);
    if (magnitude < 10) {
        text += '0';
    }
    return text + std::to_string(magnitude);
}

}  // namespace

std::string positionText(float value, std::string_view decimalSeparator) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-Infinity" : "Infinity";
    }
    if (value == 0.0f) {
        return "0";  // also for -0, which a user would not expect to see
    }
    const DecimalDigits d = significantDigits(std::fabs(value));
    const bool plain = d.exponent >= kSmallestPlainExponent && d.exponent <= kLargestPlainExponent;
    const std::string body =
        plain ? plainForm(d, decimalSeparator) : scientificForm(d, decimalSeparator);
    return value < 0 ? "-" + body : body;
}

}  // namespace scrivola
