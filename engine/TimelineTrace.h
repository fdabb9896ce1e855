// What the timeline reader saw, statement by statement, as script token indices. The player uses
// it to say where a problem is; the show analysis and the checker read the statements from it
// rather than walking the script a second time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

struct StatementRecord {
    std::int32_t first = -1;  // the time token, or the "@basetime" token
    bool isBaseTime = false;
    std::int32_t layer = -1;  // the layer number as read
    std::int32_t slot = -1;   // the layer's pending slot when the statement began (-1: none)
    std::int32_t createToken = -1;
    std::int32_t deleteToken = -1;
    std::int32_t animToken = -1;
    std::int32_t openToken = -1;   // "{" of the statement's block
    std::int32_t closeToken = -1;  // its "}"
    std::int32_t strayWord = -1;   // the token after time and layer when it is no statement word
};

struct TimelineError {
    std::int32_t token = -1;  // token at fault; -1 when the problem has no token
    int line = 0;             // the report's statement counter
    int index = 0;            // the report's token index relative to "@code."
    std::string text;
};

struct TimelineTrace {
    // Settings: the player shows the first error in a box and stops; the checker keeps going
    // after errors the next statement can recover from, and shows no boxes.
    bool keepGoing = false;
    bool showReports = true;

    std::int32_t dataToken = -1;
    std::int32_t codeToken = -1;
    std::int32_t eofToken = -1;
    std::vector<StatementRecord> statements;
    std::vector<TimelineError> errors;

    // The statement that last set the class of event slot on layer, or null.
    const StatementRecord* creatorOf(std::int32_t layer, std::int32_t slot) const;
    // The statement that committed event slot on layer, or null.
    const StatementRecord* committerOf(std::int32_t layer, std::int32_t slot) const;
    // The token a report about an event points at: the class name of its create statement, or
    // for an event that was never created (a "delete" alone) its delete; -1 when neither.
    std::int32_t eventToken(std::int32_t layer, std::int32_t slot) const;
};

}  // namespace quorvel
