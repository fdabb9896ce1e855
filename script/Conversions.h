// The decimal conversions of script values. Both ignore text after the number and give 0 when
// there is no number; neither depends on the process locale.
#pragma once

#include <cstdint>
#include <string>

// Optional white space and sign, then decimal digits accumulated modulo 2^32, so an A8R8G8B8
// colour may be written as its unsigned value or as the negative decimal of the same bits.
std::int32_t decimalInteger(const char* text);

// Optional white space and sign, digits with an optional fraction and an optional exponent.
// Values beyond the double range give an infinity of the right sign.
double decimalReal(const char* text);

// The "%f" form of a value (six decimals), independent of the process locale.
std::string formatFixed6(double value);
