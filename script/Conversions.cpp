#include "script/Conversions.h"

#include <charconv>
#include <cmath>

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The longest prefix of p that is a decimal real: digits, optional fraction, and an exponent
// only when it has digits. Returns p itself when there are no digits.
const char* realEnd(const char* p) {
    const char* q = p;
    size_t digits = 0;
    while (isDigit(*q)) ++q, ++digits;
    if (*q == '.') {
        ++q;
        while (isDigit(*q)) ++q, ++digits;
    }
    if (digits == 0) return p;
    const char* end = q;
    if (*q == 'e' || *q == 'E') {
        const char* e = q + 1;
        if (*e == '+' || *e == '-') ++e;
        if (isDigit(*e)) {
            while (isDigit(*e)) ++e;
            end = e;
        }
    }
    return end;
}

// Skips white space and an optional sign; sets negative.
const char* skipSpaceAndSign(const char* p, bool& negative) {
    while (isSpace(*p)) ++p;
    negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    return p;
}

}  // namespace

std::size_t decimalIntegerLength(const char* text) {
    if (!text) return 0;
    bool negative;
    const char* start = skipSpaceAndSign(text, negative);
    const char* p = start;
    while (isDigit(*p)) ++p;
    return p == start ? 0 : static_cast<std::size_t>(p - text);
}

std::size_t decimalRealLength(const char* text) {
    if (!text) return 0;
    bool negative;
    const char* start = skipSpaceAndSign(text, negative);
    const char* end = realEnd(start);
    return end == start ? 0 : static_cast<std::size_t>(end - text);
}

std::int32_t decimalInteger(const char* text) {
    if (!text) return 0;
    bool negative;
    const char* p = skipSpaceAndSign(text, negative);
    std::uint32_t value = 0;
    while (isDigit(*p)) value = value * 10u + static_cast<std::uint32_t>(*p++ - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

double decimalReal(const char* text) {
    if (!text) return 0.0;
    bool negative;
    const char* start = skipSpaceAndSign(text, negative);
    const char* end = realEnd(start);
    if (end == start) return 0.0;

    double value = 0.0;
    auto result = std::from_chars(start, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Either too large or too small for a double; tell them apart by the exponent's sign.
        bool tiny = false;
        for (const char* c = start; c < end; ++c) {
            if ((*c == 'e' || *c == 'E') && c + 1 < end && c[1] == '-') tiny = true;
        }
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

std::string formatFixed6(double value) {
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) return "0.000000";
    return std::string(buffer, result.ptr);
}
