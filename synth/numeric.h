// Numeric conversion rules shared by every part of the synthesizer.
//
// Whole numbers are produced by rounding to the nearest integer with ties to
// the even neighbour. Conversions into 16-bit, 32-bit and byte values fail when
// the rounded value leaves the target's range, and always for infinities and
// NaN. A failure is returned as a value (Converted<T>) that the caller must
// inspect; nothing here throws.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace scrivola {

enum class ConversionError { None, TypeMismatch, Overflow };

// The result of a conversion that can fail: a value, or the reason it failed.
template <typename T>
class Converted {
public:
    constexpr Converted(T value) : value_(value), error_(ConversionError::None) {}
    constexpr Converted(ConversionError error) : value_(), error_(error) {}

    constexpr bool ok() const { return error_ == ConversionError::None; }
    constexpr explicit operator bool() const { return ok(); }
    constexpr ConversionError error() const { return error_; }
    // Only meaningful when ok().
    constexpr T value() const { return value_; }
    constexpr T operator*() const { return value_; }

    // Assigns the value to `target` only when the conversion succeeded, which
    // is how a failed step leaves a variable at its previous content.
    template <typename U>
    constexpr bool assignTo(U& target) const {
        if (ok()) {
            target = value_;
        }
        return ok();
    }

private:
    T value_;
    ConversionError error_;
};

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2),
// independent of the floating-point environment's rounding mode. Infinities and
// NaN are returned unchanged.
inline double roundHalfEven(double value) {
    // From 2^52 on every double is a whole number (and infinities and NaN
    // stay as they are).
    if (!(std::fabs(value) < 0x1p52)) {
        return value;
    }
    // Truncation toward zero is exact and fast; the fraction it leaves is
    // exact too, so ties are recognised exactly.
    const std::int64_t whole = static_cast<std::int64_t>(value);
    const double fraction = value - static_cast<double>(whole);
    const bool odd = (whole & 1) != 0;
    std::int64_t rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && odd)) {
        rounded = whole + 1;
    } else if (fraction < -0.5 || (fraction == -0.5 && odd)) {
        rounded = whole - 1;
    }
    return static_cast<double>(rounded);
}

namespace detail {

template <typename T>
inline Converted<T> roundInto(double value, double minimum, double maximum) {
    if (!std::isfinite(value)) {
        return ConversionError::Overflow;
    }
    const double rounded = roundHalfEven(value);
    if (rounded < minimum || rounded > maximum) {
        return ConversionError::Overflow;
    }
    return static_cast<T>(rounded);
}

}  // namespace detail

inline Converted<std::int16_t> toInt16(double value) {
    return detail::roundInto<std::int16_t>(value, -32768.0, 32767.0);
}

inline Converted<std::int32_t> toInt32(double value) {
    return detail::roundInto<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

inline Converted<std::uint8_t> toByte(double value) {
    return detail::roundInto<std::uint8_t>(value, 0.0, 255.0);
}

// Integer division truncating toward zero (-250 \ 200 = -1). The divisor must
// not be zero.
constexpr std::int32_t divTrunc(std::int32_t dividend, std::int32_t divisor) {
    return dividend / divisor;
}

// Stores a double into single precision the way the FPU does: round to nearest,
// and +/-infinity when the value is beyond the single range (no undefined
// behaviour for out-of-range values).
inline float toSingle(double value) {
    // Halfway between FLT_MAX and the next power of two: at or beyond it the
    // value rounds to infinity.
    constexpr double overflowThreshold = 0x1.ffffffp127;
    if (value >= overflowThreshold) {
        return std::numeric_limits<float>::infinity();
    }
    if (value <= -overflowThreshold) {
        return -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(value);
}

// Decimal text of a 32-bit integer: a minus sign for negative values, then the
// digits; no blanks, no group separators, no leading zeros.
std::string decimalText(std::int32_t value);

// Reads a parameter text as a number. Accepted: optional blanks, an optional
// sign, digits with an optional decimal point and fraction, an optional
// exponent, optional blanks. Anything else, the empty text included, is a type
// mismatch.
Converted<double> textToDouble(std::string_view text);

namespace detail {
Converted<std::int16_t> textToInt16General(std::string_view text);
}  // namespace detail

// Reads a parameter text as a 16-bit integer: the number rounded half to even;
// outside -32768..32767 it is an overflow. Inline for the texts the program
// writes itself, an optional minus and up to nine digits: such a number is
// whole and exact as a double, so reading it as digits gives what rounding
// would.
inline Converted<std::int16_t> textToInt16(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 9) {
        return detail::textToInt16General(text);
    }
    std::int32_t magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return detail::textToInt16General(text);
        }
        magnitude = magnitude * 10 + (c - '0');
    }
    const std::int32_t value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767) {
        return ConversionError::Overflow;
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace scrivola
