#include "script/ScriptText.h"

#include <sys/stat.h>

#include <cstdarg>
#include <cstring>
#include <utility>

#include "platform/win/FileNames.h"
#include "script/Conversions.h"
#include "script/Reports.h"
#include "script/TokenLines.h"

namespace {

// Formats a reader's keyword the way every reader does: into 256 zero-filled bytes, cut at 255.
struct Keyword {
    char text[256] = {};
    Keyword(const char* format, va_list args) { std::vsnprintf(text, sizeof(text), format, args); }
};

// The token k places after the keyword's first match from n. When the keyword is not found or
// the place falls outside the text, reports the parse error `missing` (with the keyword for its
// %s) and gives null.
const std::string* tokenAfter(const ScriptText& text, std::int32_t n, std::int32_t k, const char* keyword,
                              const char* missing) {
    const std::int32_t j = text.findMatch(n, keyword);
    const std::int64_t target = static_cast<std::int64_t>(j) + 1 + k;
    if (j < 0 || target < 0 || target >= text.size()) {
        reportParseError(missing, keyword);
        return nullptr;
    }
    return &text.first[target];
}

bool matches(const std::string& token, const char* keyword, size_t keywordLength) {
    return token.size() == keywordLength && std::memcmp(token.data(), keyword, keywordLength) == 0;
}

// Collects tokens: flush() appends the pending token when it is not empty.
class Tokenizer {
public:
    Tokenizer(ScriptText& target, quorvel::TokenLines* lines) : target_(target), lines_(lines) {}

    // Feeds one byte of input.
    void feed(char c) {
        lastByteLine_ = line_;
        if (inComment_) {
            if (c == '\n') {
                inComment_ = false;
                flush();
                nextLine();
            }
            return;
        }
        switch (c) {
            case '#':
                inComment_ = true;
                break;
            case '\n':
                flush();
                nextLine();
                break;
            case ' ':
            case '\t':
            case '"':
                flush();
                break;
            case '{':
            case '}':
            case ';':
                flush();
                append(std::string(1, c), line_);
                break;
            default:
                if (pending_.empty()) pendingLine_ = line_;
                pending_.push_back(c);
                break;
        }
    }

    // End of input: a token still being collected is kept, so a file need not end with a line
    // break; a token before an unterminated comment is kept too.
    void finish() {
        flush();
        if (lines_) lines_->lastLine = lastByteLine_;
    }

private:
    void flush() {
        if (!pending_.empty()) {
            append(pending_, pendingLine_);
            pending_.clear();
        }
    }

    void append(const std::string& token, std::int32_t line) {
        target_.appendToken(token);
        if (lines_) lines_->lines.push_back(line);
    }

    void nextLine() { ++line_; }

    ScriptText& target_;
    quorvel::TokenLines* lines_;
    std::string pending_;
    std::int32_t line_ = 1;         // line of the byte being read, counted from 1
    std::int32_t pendingLine_ = 1;  // line where the pending token began
    std::int32_t lastByteLine_ = 1; // line of the last byte read
    bool inComment_ = false;
};

}  // namespace

ScriptText::~ScriptText() {
    closeFile();
    delete[] first;
}

bool ScriptText::openFile(const char* path) {
    closeFile();
    if (!path) return false;
    // Read-only access is all tokenizing needs; a write-protected show must still load.
    const std::string resolved = quorvel::platform::resolveFileName(path);
    file = std::fopen(resolved.c_str(), "rb");
    if (!file) return false;
    struct stat info {};
    if (::fstat(::fileno(file), &info) == 0 && info.st_size > MaxFileBytes) {
        reportError("%s is too large for a script: %lld bytes, at most %lld (16 MB)", path,
                    static_cast<long long>(info.st_size), MaxFileBytes);
        closeFile();
        return false;
    }
    return true;
}

void ScriptText::tokenize(quorvel::TokenLines* lines) {
    if (!file) return;
    Tokenizer tokenizer(*this, lines);
    // Text mode as Windows reads it: a carriage return directly before a line feed is dropped;
    // any other carriage return is an ordinary byte. Every byte value, 0xFF included, is data.
    // A file that is no regular file (a device, a pipe) is read no further than a script may be.
    int c;
    long long remaining = MaxFileBytes;
    while (remaining-- > 0 && (c = std::getc(file)) != EOF) {
        if (c == '\r') {
            int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        tokenizer.feed(static_cast<char>(c));
    }
    tokenizer.finish();
}

void ScriptText::tokenizeText(const char* data, std::size_t length, quorvel::TokenLines* lines) {
    Tokenizer tokenizer(*this, lines);
    for (std::size_t i = 0; i < length; ++i) {
        char c = data[i];
        if (c == '\r' && i + 1 < length && data[i + 1] == '\n') continue;
        tokenizer.feed(c);
    }
    tokenizer.finish();
}

void ScriptText::closeFile() {
    if (file) {
        std::fclose(file);
        file = nullptr;
    }
}

void ScriptText::grow() {
    // 4 slots first, then capacity + capacity / 4 + 1: 4, 6, 8, 11, 14, 18, 23, 29, ...
    const std::int32_t newCapacity = capacity == 0 ? 4 : capacity + capacity / 4 + 1;
    std::string* storage = new std::string[static_cast<size_t>(newCapacity)];
    const std::int32_t used = size();
    for (std::int32_t i = 0; i < used; ++i) storage[i] = std::move(first[i]);
    delete[] first;
    first = storage;
    last = storage + used;
    capacity = newCapacity;
}

void ScriptText::appendToken(const std::string& token) {
    if (size() == capacity) grow();
    *last = token;
    ++last;
}

std::int32_t ScriptText::findMatch(std::int32_t n, const char* keyword) const {
    const size_t length = std::strlen(keyword);
    std::int32_t counter = 0;
    for (std::int32_t j = 0; j < size(); ++j) {
        if (!matches(first[j], keyword, length)) continue;
        if (counter == n) return j;
        ++counter;
    }
    return -1;
}

std::int32_t ScriptText::countOf(const char* format, ...) const {
    va_list args;
    va_start(args, format);
    Keyword keyword(format, args);
    va_end(args);
    const size_t length = std::strlen(keyword.text);
    std::int32_t count = 0;
    for (std::int32_t j = 0; j < size(); ++j) {
        if (matches(first[j], keyword.text, length)) ++count;
    }
    return count;
}

std::int32_t ScriptText::indexOf(std::int32_t n, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    Keyword keyword(format, args);
    va_end(args);
    std::int32_t j = findMatch(n, keyword.text);
    if (j < 0) reportParseError("can't get index for %s", keyword.text);
    return j;
}

const char* ScriptText::textAfter(std::int32_t n, std::int32_t k, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    Keyword keyword(format, args);
    va_end(args);
    const std::string* token = tokenAfter(*this, n, k, keyword.text, "text not found after %s");
    return token ? token->c_str() : nullptr;
}

std::int32_t ScriptText::integerAfter(std::int32_t n, std::int32_t k, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    Keyword keyword(format, args);
    va_end(args);
    std::int32_t j = findMatch(n, keyword.text);
    if (j < 0) {
        reportParseError("integer not found after %s", keyword.text);
        return -1;
    }
    const std::int64_t target = static_cast<std::int64_t>(j) + 1 + k;
    if (target < 0 || target >= size()) {
        // The stray "joo" belongs to this message as users have always seen it: keep it.
        reportParseError("integer not joo found after %s", keyword.text);
        return -1;
    }
    return decimalInteger(first[target].c_str());
}

float ScriptText::floatAfter(std::int32_t n, std::int32_t k, const char* format, ...) const {
    va_list args;
    va_start(args, format);
    Keyword keyword(format, args);
    va_end(args);
    const std::string* token = tokenAfter(*this, n, k, keyword.text, "float not found after %s");
    return token ? static_cast<float>(decimalReal(token->c_str())) : -1.0f;
}
