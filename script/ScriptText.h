// A script or parameter block as a flat list of tokens, with the keyword readers every consumer
// uses to find a keyword and read the tokens after it. Plug-ins receive a pointer to an event's
// ScriptText and read its token range directly, so the field order is part of the plug-in
// interface.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace quorvel {
struct TokenLines;
}

class ScriptText {
public:
    // The largest script file read: far beyond any real show, small enough that a file that is
    // no script cannot exhaust memory as tokens.
    static constexpr long long MaxFileBytes = 16LL * 1024 * 1024;

    std::int32_t capacity = 0;    // token slots allocated; 0 until the first append
    std::string* first = nullptr; // first used slot
    std::string* last = nullptr;  // one past the last used slot
    std::FILE* file = nullptr;    // the script file while it is open for tokenize()

    ScriptText() = default;
    ~ScriptText();
    ScriptText(const ScriptText&) = delete;
    ScriptText& operator=(const ScriptText&) = delete;

    // Opens the file for reading at its start; false when it cannot be opened (no message) or
    // is larger than MaxFileBytes (a message box says so).
    bool openFile(const char* path);
    // Appends every token of the open file, in file order, up to MaxFileBytes of it. With lines, also records the file
    // line of every appended token there.
    void tokenize(quorvel::TokenLines* lines = nullptr);
    // Tokenizes text held in memory with the same rules (used for tests, fuzzing and checks).
    void tokenizeText(const char* data, std::size_t length, quorvel::TokenLines* lines = nullptr);
    void closeFile();
    void appendToken(const std::string& token);

    std::int32_t size() const { return static_cast<std::int32_t>(last - first); }
    const std::string& token(std::int32_t index) const { return first[index]; }

    // Keyword readers. The keyword is a printf-style format, formatted into 256 bytes; matching
    // is exact and case-sensitive over the whole token. n counts matches from 0; k is the offset
    // of the wanted value behind the keyword. Failures show a "parse error" box (countOf never).
    std::int32_t countOf(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    std::int32_t indexOf(std::int32_t n, const char* format, ...) const
        __attribute__((format(printf, 3, 4)));
    const char* textAfter(std::int32_t n, std::int32_t k, const char* format, ...) const
        __attribute__((format(printf, 4, 5)));
    std::int32_t integerAfter(std::int32_t n, std::int32_t k, const char* format, ...) const
        __attribute__((format(printf, 4, 5)));
    float floatAfter(std::int32_t n, std::int32_t k, const char* format, ...) const
        __attribute__((format(printf, 4, 5)));

    // Index of the n-th token equal to keyword, or -1. No message.
    std::int32_t findMatch(std::int32_t n, const char* keyword) const;

private:
    void grow();
};
