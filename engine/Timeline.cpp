#include "engine/Timeline.h"

#include <cstdio>
#include <cstring>

#include "platform/win/Win32.h"
#include "script/Conversions.h"

namespace {

const char* const NoEofText = "No <@eof> found: the script ends before the timeline does";
const char* const CutOffText = "The script ends in the middle of a statement";
const char* const OpenBlockText = "No <}> found: a parameter block is not closed";
const char* const NegativeLayerText = "Sorry! Layer numbers can't be negative";
const char* const FullLayerText = "Sorry! You exceeded the maximum number of events on a layer";

// Walks the statements after "@code.". The original walk does not look for the end of the token
// list; this one reports a script that ends too early instead of reading past it.
class TimelineParser {
public:
    TimelineParser(const ScriptText& script, Layer* layers) : script_(script), layers_(layers) {}

    bool run() {
        if (script_.countOf("@data.") == 0) return fail(-1, 0, "No <@data.> block found");
        if (script_.countOf("@code.") == 0) return fail(-1, 0, "No <@code.> block found");
        codeIndex_ = script_.findMatch(0, "@code.");
        index_ = codeIndex_ + 1;

        for (;;) {
            ++statement_;
            if (atEnd()) return fail(statement_, relativeIndex(), NoEofText);
            if (is("@eof")) return true;
            if (is("@basetime")) {
                if (!has(1)) return fail(statement_, relativeIndex(), CutOffText);
                baseTime_ = static_cast<float>(decimalReal(at(1)));
                index_ += 2;
                continue;
            }
            if (!eventStatement()) return false;
        }
    }

private:
    bool eventStatement() {
        if (!has(1)) return fail(statement_, relativeIndex(), CutOffText);
        const float time = static_cast<float>(decimalReal(at(0)));
        const std::int32_t layerNumber = decimalInteger(at(1));
        index_ += 2;

        if (layerNumber > LayerCount - 1) {
            // "nuber" is the message as shows and their authors know it: keep the spelling.
            return fail(statement_, relativeIndex(), "Sorry! You exceeded the maximum nuber of layers");
        }
        if (layerNumber < 0) return fail(statement_, relativeIndex(), NegativeLayerText);
        Layer& layer = layers_[layerNumber];
        if (layer.eventCount >= EventSlotsPerLayer) return fail(statement_, relativeIndex(), FullLayerText);

        // The slot pending when the statement began; a block on a "delete" line still belongs
        // to the event that line commits.
        LayerEvent& slot = layer.events[layer.eventCount];

        if (!atEnd() && is("create")) {
            if (!has(1)) return fail(statement_, relativeIndex(), CutOffText);
            slot.startTime = time + baseTime_;
            slot.className = at(1);
            index_ += 2;
        }
        if (!atEnd() && is("delete")) {
            slot.endTime = time + baseTime_;
            ++layer.eventCount;
            index_ += 1;
        }
        if (!atEnd() && is("anim")) index_ += 1;
        if (!atEnd() && is("{")) {
            index_ += 1;
            // Single-precision arithmetic on the stored values, printed from double precision.
            const float blockTime = (time - slot.startTime) + baseTime_;
            slot.params.appendToken("time");
            slot.params.appendToken(formatFixed6(static_cast<double>(blockTime)));
            slot.params.appendToken("{");
            while (!atEnd() && !is("}")) {
                slot.params.appendToken(script_.token(index_));
                OutputDebugStringA(at(0));
                index_ += 1;
            }
            if (atEnd()) return fail(statement_, relativeIndex(), OpenBlockText);
            slot.params.appendToken("}");
            index_ += 1;
        }
        return true;
    }

    bool atEnd() const { return index_ >= script_.size(); }
    bool has(int offset) const { return index_ + offset < script_.size(); }
    const char* at(int offset) const { return script_.token(index_ + offset).c_str(); }
    bool is(const char* keyword) const {
        const std::string& token = script_.token(index_);
        return token.size() == std::strlen(keyword) && token == keyword;
    }
    int relativeIndex() const { return index_ - codeIndex_; }

    bool fail(int line, int index, const char* text) {
        reportScriptError(line, index, text);
        return false;
    }

    const ScriptText& script_;
    Layer* layers_;
    std::int32_t codeIndex_ = 0;
    std::int32_t index_ = 0;
    int statement_ = -1;
    float baseTime_ = 0.0f;
};

}  // namespace

void reportScriptError(int line, int index, const char* text) {
    char message[512];
    std::snprintf(message, sizeof(message), "Line %d, Index %d\n%s", line, index, text);
    MessageBoxA(nullptr, message, "SCRIPT PARSE ERROR", MB_OK | MB_ICONERROR);
}

bool parseTimelineTokens(const ScriptText& script, Layer* layers) {
    return TimelineParser(script, layers).run();
}

bool parseTimeline(ScriptText& script, Layer* layers, const char* path) {
    if (!script.openFile(path)) return false;
    script.tokenize();
    script.closeFile();
    return parseTimelineTokens(script, layers);
}
