// One problem found in a show, placed at the script token that caused it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ScriptText;

namespace quorvel {

struct TokenLines;

enum class Severity { Error, Warning };

struct Diagnostic {
    Severity severity = Severity::Error;
    std::int32_t line = 0;  // file line counted from 1; 0 when the problem has no place
    std::string text;
    std::string word;  // the token at fault, empty when there is none
};

using Diagnostics = std::vector<Diagnostic>;

// A diagnostic at script token index (past the end: the file's last line, no word).
Diagnostic diagnosticAt(const ScriptText& script, const TokenLines& lines, std::int32_t token, Severity severity,
                        std::string text);

// "FILE:LINE: TEXT (at 'WORD')" for the player's error reports, "FILE:LINE: warning: TEXT" for
// warnings; with labelErrors, errors read "FILE:LINE: error: TEXT (at 'WORD')". Without a line
// the ":LINE" part is left out.
std::string formatDiagnostic(const std::string& file, const Diagnostic& diagnostic, bool labelErrors);

}  // namespace quorvel
