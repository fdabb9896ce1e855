// Feeds arbitrary bytes through the tokenizer, the timeline parser (as the player reads and as
// the checker reads on after errors), the show analysis and the keyword readers.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/ShowAnalysis.h"
#include "engine/Timeline.h"
#include "platform/win/OutputRedirection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        quorvel::platform::setMessageBoxSink([](const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;

    ScriptText script;
    quorvel::TokenLines lines;
    script.tokenizeText(reinterpret_cast<const char*>(data), size, &lines);
    auto layers = std::make_unique<Layer[]>(LayerCount);
    // Half of the inputs are read as the player reads (stop at the first error), half as the
    // checker reads (on after errors); 60 layers of 100 slots are too costly to fill twice.
    quorvel::TimelineTrace trace;
    trace.keepGoing = size % 2 == 0;
    trace.showReports = !trace.keepGoing;
    parseTimelineTokens(script, layers.get(), &trace);
    const quorvel::ShowAnalysis analysis(script, lines, trace, layers.get());
    for (const quorvel::Diagnostic& warning : analysis.warnings(nullptr)) (void)warning.line;

    // The header readers run over the same list after the timeline.
    if (script.countOf("@starttime")) script.floatAfter(0, 0, "@starttime");
    if (script.countOf("@bgcolor")) script.integerAfter(0, 0, "@bgcolor");
    for (int i = 0; i < script.countOf("@loadimage"); ++i) {
        script.textAfter(i, 0, "@loadimage");
        script.textAfter(i, 2, "@loadimage");
    }
    for (int l = 0; l < LayerCount; ++l) {
        for (int e = 0; e < layers[l].eventCount; ++e) layers[l].events[e].params.countOf("time");
    }
    return 0;
}
