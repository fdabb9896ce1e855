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

// How many characters of text the conversions above read (leading white space and sign
// included); 0 when the text holds no number. A value is taken whole when this is its length.
std::size_t decimalIntegerLength(const char* text);
std::size_t decimalRealLength(const char* text);

// The "%f" form of a value (six decimals), independent of the process locale.
std::string formatFixed6(double value);
