// Reading the effect's parameter blocks: "time" value "{" keyword value ... "}" per block.
#include "meshdrome/SceneEffect.h"

#include "script/Conversions.h"
#include "script/Reports.h"
#include "script/ScriptText.h"

namespace {

// The block walk over tokens strictly between the braces at open and close.
class BlockWalk {
public:
    BlockWalk(const ScriptText& text, std::int32_t open, std::int32_t close)
        : text_(text), k_(open + 1), close_(close) {}

    bool done() const { return k_ >= close_; }

    // True when the token at the current position is keyword and the keyword has its value
    // (valueCount tokens) before the closing brace. A keyword whose value would be the brace or
    // beyond is refused, so nothing past the block is read.
    bool at(const char* keyword, std::int32_t valueCount) const {
        return k_ + valueCount < close_ && text_.token(k_) == keyword;
    }
    const std::string& value() const { return text_.token(k_ + 1); }
    void advance(std::int32_t count) { k_ += count; }

private:
    const ScriptText& text_;
    std::int32_t k_;
    std::int32_t close_;
};

}  // namespace

HRESULT SceneEffect::ParseParams(ScriptText* params) {
    frame = 0.0f;
    fps = 30.0f;
    clearDepth = FALSE;
    sceneName.clear();

    const std::int32_t blockCount = params ? params->countOf("time") : 0;
    for (std::int32_t i = 0; i < blockCount; ++i) {
        // A "time" token that is a parameter value (a camera named time) counts a block that has
        // no braces of its own; so does a damaged text. There is nothing more to read then.
        const std::int32_t open = params->findMatch(i, "{");
        const std::int32_t close = params->findMatch(i, "}");
        if (open < 0 || close < 0) break;
        BlockWalk walk(*params, open, close);
        while (!walk.done()) {
            // One pass tries the keywords in a fixed order, each at the position reached so far.
            bool took = false;
            if (walk.at("file", 1)) {
                sceneName = walk.value();
                walk.advance(2);
                took = true;
            }
            if (walk.at("camera", 1)) {
                cameraName = walk.value();
                walk.advance(2);
                took = true;
            }
            if (walk.at("fps", 1)) {
                fps = static_cast<float>(decimalReal(walk.value().c_str()));
                walk.advance(2);
                took = true;
            }
            if (walk.at("clearzbuffer", 0)) {
                clearDepth = TRUE;
                walk.advance(1);
                took = true;
            }
            if (!took) {
                reportError("Bad params for scene { %s }", sceneName.c_str());
                return E_FAIL;
            }
        }
    }

    vertexBuffer = nullptr;
    indexBuffer = nullptr;
    return 0;
}
