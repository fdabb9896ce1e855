// The timeline: 60 layers of effect events read from the script's "@code." block. Each event is
// one effect instance live during a half-open interval of demo time, with a parameter list whose
// brace blocks are stamped with their time relative to the event's start.
#pragma once

#include <cstdint>
#include <string>

#include "engine/TimelineTrace.h"
#include "script/ScriptText.h"
#include "script/TokenLines.h"

class Effect;

constexpr int LayerCount = 60;
constexpr int EventSlotsPerLayer = 100;

struct LayerEvent {
    float startTime = 0.0f;  // demo time at which the event becomes live (inclusive)
    float endTime = 0.0f;    // demo time at which it stops being live (exclusive)
    ScriptText params;       // "time" t "{" tokens "}" per block, handed to ParseParams
    Effect* effect = nullptr;
    std::string className;
};

struct Layer {
    LayerEvent events[EventSlotsPerLayer];
    std::int32_t eventCount = 0;  // committed events; slot eventCount is the pending one
    LayerEvent* currentEvent = nullptr;
    Effect* currentEffect = nullptr;
    bool active = false;
};

// Reads the script file at path into script and fills layers[0..59]. True when the timeline was
// read up to "@eof"; false (after a "SCRIPT PARSE ERROR" report, except when the file cannot be
// opened) otherwise. The layers keep what was parsed up to a failure. With lines, the file line
// of every token is recorded; with trace, every statement and error (see TimelineTrace).
bool parseTimeline(ScriptText& script, Layer* layers, const char* path,
                   quorvel::TokenLines* lines = nullptr, quorvel::TimelineTrace* trace = nullptr);

// The same for a script whose tokens are already in script.
bool parseTimelineTokens(const ScriptText& script, Layer* layers, quorvel::TimelineTrace* trace = nullptr);

// Shows "Line %d, Index %d\n%s" in a box captioned "SCRIPT PARSE ERROR".
void reportScriptError(int line, int index, const char* text);
