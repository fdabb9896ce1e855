#include "script/Diagnostic.h"

#include "script/ScriptText.h"
#include "script/TokenLines.h"

namespace quorvel {

Diagnostic diagnosticAt(const ScriptText& script, const TokenLines& lines, std::int32_t token, Severity severity,
                        std::string text) {
    Diagnostic diagnostic;
    diagnostic.severity = severity;
    diagnostic.line = lines.lineOf(token);
    diagnostic.text = std::move(text);
    if (token >= 0 && token < script.size()) diagnostic.word = script.token(token);
    return diagnostic;
}

std::string formatDiagnostic(const std::string& file, const Diagnostic& diagnostic, bool labelErrors) {
    std::string out = file;
    if (diagnostic.line > 0) out += ":" + std::to_string(diagnostic.line);
    out += ": ";
    if (diagnostic.severity == Severity::Warning) {
        out += "warning: ";
    } else if (labelErrors) {
        out += "error: ";
    }
    out += diagnostic.text;
    if (diagnostic.severity == Severity::Error && !diagnostic.word.empty()) {
        out += " (at '" + diagnostic.word + "')";
    }
    return out;
}

}  // namespace quorvel
