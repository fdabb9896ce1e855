// The engine's reports to a show's author: where in the script a start-up failure comes from,
// and the warnings of the show analysis. The message boxes keep their texts; these lines go to
// stderr beside them.
#include <cstdio>

#include "engine/DemoEngine.h"
#include "engine/ShowAnalysis.h"
#include "platform/win/Win32.h"
#include "script/Reports.h"
#include "shell/SetupDialog.h"
#include "shell/SetupDialogModel.h"

namespace {

void printLine(const std::string& scriptPath, const quorvel::Diagnostic& diagnostic) {
    std::fprintf(stderr, "%s\n", quorvel::formatDiagnostic(scriptPath.c_str(), diagnostic, false).c_str());
    std::fflush(stderr);
}

}  // namespace

INT DemoEngine::runSetupDialog() { return showDialog(nullptr); }

INT DemoEngine::showDialog(quorvel::ShowTrustChoice* trust) {
    const INT result = trust ? quorvel::showSetupDialogBox(*this, trust) : AppShell::runSetupDialog();
    setupCancelled = result != IDOK;
    return result;
}

void DemoEngine::reportShowPlugin(int n, const char* name) {
    char text[512];
    std::snprintf(text, sizeof(text),
                  "Couldn't load %s: this plug-in library comes with the show. Plug-ins are programs and run "
                  "with your rights. If you trust the show, allow its own plug-ins with --trust-show or with "
                  "\"%s\" in the setup dialog.",
                  name, quorvel::kShowTrustCaption);
    reportError("%s", text);
    reportAt(headerArgument("@loadlibrary", n), text);
}

void DemoEngine::reportAt(std::int32_t token, const std::string& text) {
    quorvel::Diagnostic diagnostic = quorvel::diagnosticAt(script, scriptLines, token, quorvel::Severity::Error, text);
    if (token < 0) diagnostic.line = 0;
    printLine(scriptPath, diagnostic);
    if (startupFailure.empty()) startupFailure = text;
}

void DemoEngine::reportTimelineFailure() {
    if (timelineTrace.errors.empty()) {
        startupFailure = "Couldn't load " + scriptPath;
        return;
    }
    // What the analysis can say without the scenes often explains the error (a misspelt
    // statement word that shifted the statements after it).
    const quorvel::ShowAnalysis analysis(script, scriptLines, timelineTrace, layers);
    for (const quorvel::Diagnostic& warning : analysis.warnings(nullptr)) printLine(scriptPath, warning);
    const quorvel::TimelineError& error = timelineTrace.errors.front();
    reportAt(error.token, error.text);
}

void DemoEngine::reportEffectFailure(int layerNumber, int slot) {
    const LayerEvent& event = layers[layerNumber].events[slot];
    const std::int32_t token = timelineTrace.eventToken(layerNumber, slot);
    if (!event.effect) {
        char text[512];
        std::snprintf(text, sizeof(text),
                      "Couldn't create effect \"%s\" (line %d): no loaded plug-in offers this effect class.%s",
                      event.className.c_str(), scriptLines.lineOf(token),
                      effectHost.descriptors.empty() ? " The script loads no plug-in (@loadlibrary)." : "");
        reportError("%s", text);
        reportAt(token, text);
        return;
    }
    reportAt(token, "the effect \"" + event.className + "\" on layer " + std::to_string(layerNumber) +
                        " refused its parameters");
}

void DemoEngine::reportInitFailure(int layerNumber, int slot, HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08X", static_cast<unsigned>(result));
    reportAt(timelineTrace.eventToken(layerNumber, slot), "the effect \"" + layers[layerNumber].events[slot].className +
                                                              "\" on layer " + std::to_string(layerNumber) +
                                                              " could not set itself up (result " + code + ")");
}

void DemoEngine::printWarnings() {
    const quorvel::ShowAnalysis analysis(script, scriptLines, timelineTrace, layers);
    for (const quorvel::Diagnostic& warning : analysis.warnings(&scenes)) printLine(scriptPath, warning);
}

void DemoEngine::reportMapFailure(const char* sceneName, const std::string& materialName, const std::string& mapName) {
    std::int32_t token = -1;
    for (int i = 0; i < script.countOf("@loadscene"); ++i) {
        const std::int32_t argument = headerArgument("@loadscene", i);
        if (argument >= 0 && script.token(argument) == sceneName) token = argument;
    }
    reportAt(token,
             "Couldn't load " + mapName + ", the map of material \"" + materialName + "\" in scene " + sceneName);
}

std::int32_t DemoEngine::headerArgument(const char* command, int n) const {
    const std::int32_t j = script.findMatch(n, command);
    return j < 0 || j + 1 >= script.size() ? -1 : j + 1;
}
