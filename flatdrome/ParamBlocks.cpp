#include "flatdrome/ParamBlocks.h"

#include <cctype>

#include "script/Conversions.h"
#include "script/Reports.h"
#include "script/ScriptText.h"

namespace quorvel::flat {

namespace {

// A decimal number, with nothing after it: "0.5", "-2", "1e3". Keywords and words are refused,
// so a keyword written without its value is caught rather than read as 0.
bool isNumber(const std::string& text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    bool digits = false;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, digits = true;
    }
    if (digits && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < text.size() && (text[e] == '-' || text[e] == '+')) ++e;
        if (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) {
            i = e;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        }
    }
    return digits && i == text.size();
}

}  // namespace

bool BlockReader::number(float& value) {
    if (done() || !isNumber(text_.token(k_))) return false;
    value = static_cast<float>(decimalReal(text_.token(k_).c_str()));
    ++k_;
    return true;
}

bool BlockReader::key(KeyTrack& track) {
    float value = 0.0f;
    if (!number(value)) return false;
    track.add(time_, value);
    return true;
}

bool BlockReader::colour(std::uint32_t& value) {
    if (done()) return false;
    const std::string& text = text_.token(k_);
    const bool integral = isNumber(text) && text.find_first_of(".eE") == std::string::npos;
    if (!integral) return false;
    value = static_cast<std::uint32_t>(decimalInteger(text.c_str()));
    ++k_;
    return true;
}

bool BlockReader::key(ColourTrack& track) {
    std::uint32_t value = 0;
    if (!colour(value)) return false;
    track.add(time_, value);
    return true;
}

bool BlockReader::word(std::string& value) {
    if (done()) return false;
    value = text_.token(k_++);
    return true;
}

bool BlockReader::rest(std::string& value) {
    value.clear();
    while (!done()) {
        if (!value.empty()) value += ' ';
        value += text_.token(k_++);
    }
    return true;
}

bool readParamBlocks(const ScriptText* params, const char* className, const KeywordHandler& take) {
    if (params == nullptr) return true;
    const ScriptText& text = *params;
    const std::int32_t size = text.size();
    auto bad = [&](std::int32_t at) {
        reportError("Bad params for %s { %s }", className, at < size ? text.token(at).c_str() : "");
        return false;
    };

    std::int32_t k = 0;
    while (k < size) {
        // "time" T "{" ... "}": the engine writes every block this way.
        if (text.token(k) != "time" || k + 2 >= size || text.token(k + 2) != "{") return bad(k);
        const float time = static_cast<float>(decimalReal(text.token(k + 1).c_str()));
        std::int32_t close = k + 3;
        while (close < size && text.token(close) != "}") ++close;
        if (close >= size) return bad(k);

        BlockReader values(text, k + 3, close, time);
        while (!values.done()) {
            const std::int32_t at = values.position();
            std::string keyword;
            values.word(keyword);
            if (!take(keyword, values)) return bad(at);
        }
        k = close + 1;
    }
    return true;
}

}  // namespace quorvel::flat
