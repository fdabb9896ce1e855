// The file line of every token of a script, kept beside its ScriptText (whose fields plug-ins
// read and which therefore stays as it is). Filled by the tokenizer; read by everything that
// tells a show's author where a problem is.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvel {

struct TokenLines {
    std::vector<std::int32_t> lines;  // lines[i]: line of token i, counted from 1
    std::int32_t lastLine = 0;        // line number of the file's last line

    // The line of token index, or of the file's end for an index past the last token.
    std::int32_t lineOf(std::int32_t index) const {
        if (index >= 0 && static_cast<std::size_t>(index) < lines.size()) return lines[index];
        return lastLine;
    }
};

}  // namespace quorvel
