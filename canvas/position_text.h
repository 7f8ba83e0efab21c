// The text that `Label2` shows for a coordinate of the drawing position.
#pragma once

#include <string>
#include <string_view>

namespace scrivola {

// The shortest decimal form of `value` with at most seven significant digits:
// "1234567", "12.5", "-0.25". A whole number has no decimal point; a fraction
// uses `decimalSeparator` (the user's locale gives it). Zero, negative zero
// included, is "0".
//
// Magnitudes from 1e-5 up to below 1e15 are written out in full, digits beyond
// the seventh as zeros ("12345680", "0.00001"). Outside that range the form is
// scientific with a signed, at least two-digit exponent ("1.5E+15", "1E-06"),
// so that a label never fills with zeros. NaN and infinities read "NaN",
// "Infinity" and "-Infinity".
std::string positionText(float value, std::string_view decimalSeparator);

}  // namespace scrivola
