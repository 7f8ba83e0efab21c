#include "synth/numeric.h"

#include <locale.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace scrivola {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string decimalText(std::int32_t value) {
    char buffer[16];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    (void)ec;  // 16 characters always hold a 32-bit integer
    return std::string(buffer, end);
}

Converted<double> textToDouble(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    const std::string_view body = text.substr(begin, end - begin);

    // Validate the grammar first so that from_chars never sees "inf", "nan",
    // hexadecimal forms or a second sign.
    std::size_t i = 0;
    bool negative = false;
    if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
        negative = body[i] == '-';
        ++i;
    }
    const std::size_t numberStart = i;
    std::size_t digits = 0;
    while (i < body.size() && isDigit(body[i])) {
        ++i;
        ++digits;
    }
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return ConversionError::TypeMismatch;
    }
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < body.size() && isDigit(body[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return ConversionError::TypeMismatch;
        }
    }
    if (i != body.size()) {
        return ConversionError::TypeMismatch;
    }

    // from_chars takes no leading '+' and handles the sign itself only for '-'.
    const std::string_view number = body.substr(numberStart);
    double magnitude = 0.0;
    const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports both overflow and underflow this way; strtod in
        // the C locale tells them apart (infinity versus zero or subnormal).
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        const std::string copy(number);
        const double value = strtod_l(copy.c_str(), nullptr, cLocale);
        if (std::isinf(value)) {
            return ConversionError::Overflow;
        }
        magnitude = value;
    } else if (ec != std::errc()) {
        return ConversionError::TypeMismatch;
    }
    return negative ? -magnitude : magnitude;
}

Converted<std::int16_t> detail::textToInt16General(std::string_view text) {
    const Converted<double> number = textToDouble(text);
    if (!number) {
        return number.error();
    }
    return toInt16(*number);
}

}  // namespace scrivola
