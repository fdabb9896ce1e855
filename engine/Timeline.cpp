#include "engine/Timeline.h"

#include <cstdio>
#include <cstring>
#include <memory>

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
    TimelineParser(const ScriptText& script, Layer* layers, quorvel::TimelineTrace* trace)
        : script_(script), layers_(layers), trace_(trace) {}

    bool run() {
        if (script_.countOf("@data.") == 0) return fail(-1, 0, -1, "No <@data.> block found");
        if (script_.countOf("@code.") == 0) return fail(-1, 0, -1, "No <@code.> block found");
        codeIndex_ = script_.findMatch(0, "@code.");
        index_ = codeIndex_ + 1;
        if (trace_) {
            trace_->dataToken = script_.findMatch(0, "@data.");
            trace_->codeToken = codeIndex_;
        }

        for (;;) {
            ++statement_;
            if (atEnd()) return fail(statement_, relativeIndex(), index_, NoEofText);
            if (is("@eof")) {
                if (trace_) trace_->eofToken = index_;
                return failed_ == 0;
            }
            record_ = quorvel::StatementRecord{};
            record_.first = index_;
            const bool ok = is("@basetime") ? baseTimeStatement() : eventStatement();
            if (trace_) trace_->statements.push_back(record_);
            if (!ok) return false;
        }
    }

private:
    bool baseTimeStatement() {
        record_.isBaseTime = true;
        if (!has(1)) return fail(statement_, relativeIndex(), index_, CutOffText);
        baseTime_ = static_cast<float>(decimalReal(at(1)));
        index_ += 2;
        return true;
    }

    bool eventStatement() {
        if (!has(1)) return fail(statement_, relativeIndex(), index_, CutOffText);
        const float time = static_cast<float>(decimalReal(at(0)));
        const std::int32_t layerNumber = decimalInteger(at(1));
        const std::int32_t layerToken = index_ + 1;
        record_.layer = layerNumber;
        index_ += 2;

        // An event statement on a layer that cannot take it is reported; the checker then reads
        // the rest of the statement into a scratch slot so that the next statement is found.
        const char* refusal = nullptr;
        if (layerNumber > LayerCount - 1) {
            // "nuber" is the message as shows and their authors know it: keep the spelling.
            refusal = "Sorry! You exceeded the maximum nuber of layers";
        } else if (layerNumber < 0) {
            refusal = NegativeLayerText;
        } else if (layers_[layerNumber].eventCount >= EventSlotsPerLayer) {
            refusal = FullLayerText;
        }
        if (refusal && !recoverable(statement_, relativeIndex(), layerToken, refusal)) return false;
        Layer* layer = refusal ? nullptr : &layers_[layerNumber];

        // The slot pending when the statement began; a block on a "delete" line still belongs
        // to the event that line commits.
        std::unique_ptr<LayerEvent> scratch;
        if (!layer) scratch = std::make_unique<LayerEvent>();
        LayerEvent& slot = layer ? layer->events[layer->eventCount] : *scratch;
        if (layer) record_.slot = layer->eventCount;

        const std::int32_t wordToken = index_;
        if (!atEnd() && is("create")) {
            record_.createToken = index_;
            if (!has(1)) return fail(statement_, relativeIndex(), index_, CutOffText);
            slot.startTime = time + baseTime_;
            slot.className = at(1);
            index_ += 2;
        }
        if (!atEnd() && is("delete")) {
            record_.deleteToken = index_;
            slot.endTime = time + baseTime_;
            if (layer) ++layer->eventCount;
            index_ += 1;
        }
        if (!atEnd() && is("anim")) {
            record_.animToken = index_;
            index_ += 1;
        }
        if (!atEnd() && index_ == wordToken && !is("{") && !is("@eof") && !is("@basetime")) {
            record_.strayWord = index_;
        }
        if (!atEnd() && is("{")) {
            record_.openToken = index_;
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
            if (atEnd()) return fail(statement_, relativeIndex(), record_.openToken, OpenBlockText);
            record_.closeToken = index_;
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

    // Reports a problem that ends the walk; always false.
    bool fail(int line, int index, std::int32_t token, const char* text) {
        ++failed_;
        if (!trace_ || trace_->showReports) reportScriptError(line, index, text);
        if (trace_) trace_->errors.push_back({token, line, index, text});
        return false;
    }

    // Reports a problem after which the next statement can still be found; true when the walk
    // goes on (the checker's mode).
    bool recoverable(int line, int index, std::int32_t token, const char* text) {
        fail(line, index, token, text);
        return trace_ && trace_->keepGoing;
    }

    const ScriptText& script_;
    Layer* layers_;
    quorvel::TimelineTrace* trace_;
    quorvel::StatementRecord record_;
    int failed_ = 0;
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

bool parseTimelineTokens(const ScriptText& script, Layer* layers, quorvel::TimelineTrace* trace) {
    return TimelineParser(script, layers, trace).run();
}

bool parseTimeline(ScriptText& script, Layer* layers, const char* path, quorvel::TokenLines* lines,
                   quorvel::TimelineTrace* trace) {
    if (!script.openFile(path)) return false;
    script.tokenize(lines);
    script.closeFile();
    return parseTimelineTokens(script, layers, trace);
}
