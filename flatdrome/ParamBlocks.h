// Reading an effect's parameter text: blocks of the form "time" T "{" keyword value ... "}", one
// per create or anim statement of the event. Each effect class names its keywords through a
// handler; the walk checks the block structure and reports anything it cannot read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "flatdrome/KeyTrack.h"

class ScriptText;

namespace quorvel::flat {

// The values after a keyword, read from the current block. Every reader consumes its tokens
// and returns false when the value is missing (the block ends) or is not of its kind.
class BlockReader {
public:
    BlockReader(const ScriptText& text, std::int32_t position, std::int32_t close, float time)
        : text_(text), k_(position), close_(close), time_(time) {}

    float time() const { return time_; }
    bool number(float& value);
    // A number keyed at this block's time.
    bool key(KeyTrack& track);
    // An A8R8G8B8 colour written as a decimal number (unsigned, or the negative of the same bits).
    bool colour(std::uint32_t& value);
    bool key(ColourTrack& track);
    bool word(std::string& value);
    // Every token left in the block, joined by single spaces.
    bool rest(std::string& value);

    std::int32_t position() const { return k_; }
    bool done() const { return k_ >= close_; }

private:
    const ScriptText& text_;
    std::int32_t k_;
    std::int32_t close_;
    float time_;
};

// Takes one keyword (already consumed) and its values; false when the keyword is unknown or its
// values cannot be read.
using KeywordHandler = std::function<bool(const std::string& keyword, BlockReader& values)>;

// Walks every block in order. On the first keyword that cannot be taken, or a text that is not
// made of blocks, shows "Bad params for CLASS { TOKEN }" and returns false.
bool readParamBlocks(const ScriptText* params, const char* className, const KeywordHandler& take);

}  // namespace quorvel::flat
