#include "FrameRate.h"

#include <charconv>
#include <cmath>
#include <numeric>

namespace quorvel::capture {

namespace {

constexpr double MaxRate = 1000.0;

bool parseInteger(const std::string& text, std::int64_t& value) {
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

std::optional<FrameRate> reduced(std::int64_t numerator, std::int64_t denominator) {
    if (numerator <= 0 || denominator <= 0) return std::nullopt;
    const std::int64_t divisor = std::gcd(numerator, denominator);
    FrameRate rate{numerator / divisor, denominator / divisor};
    if (rate.value() > MaxRate) return std::nullopt;
    return rate;
}

}  // namespace

double FrameRate::timeOf(std::int64_t frame) const {
    return static_cast<double>(frame) * static_cast<double>(denominator) / static_cast<double>(numerator);
}

std::uint64_t FrameRate::sampleAt(std::int64_t frame, std::uint32_t sampleRate) const {
    if (frame <= 0) return 0;
    // Integer arithmetic, so that long runs at fractional rates never drift by a sample.
    using Wide = unsigned __int128;
    const Wide scaled = static_cast<Wide>(frame) * sampleRate * static_cast<Wide>(denominator);
    const Wide n = static_cast<Wide>(numerator);
    return static_cast<std::uint64_t>((2 * scaled + n) / (2 * n));
}

std::string FrameRate::text() const {
    if (denominator == 1) return std::to_string(numerator);
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

std::optional<FrameRate> parseFrameRate(const std::string& text) {
    const size_t slash = text.find('/');
    if (slash != std::string::npos) {
        std::int64_t numerator = 0, denominator = 0;
        if (!parseInteger(text.substr(0, slash), numerator) || !parseInteger(text.substr(slash + 1), denominator))
            return std::nullopt;
        return reduced(numerator, denominator);
    }
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value) || value <= 0.0 || value > MaxRate)
        return std::nullopt;
    // The shortest power-of-ten fraction that is the number: 29.97 becomes 2997/100.
    std::int64_t denominator = 1;
    for (int digits = 0; digits < 9; ++digits, denominator *= 10) {
        const double scaled = value * static_cast<double>(denominator);
        if (std::fabs(scaled - std::round(scaled)) < 1e-9 * scaled) break;
    }
    return reduced(std::llround(value * static_cast<double>(denominator)), denominator);
}

}  // namespace quorvel::capture
