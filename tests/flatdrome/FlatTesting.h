// Helpers of the flat effect tests: parameter texts as the engine hands them over, and instances
// that end with their own Shutdown as the engine ends them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/ScriptText.h"

namespace flattest {

inline std::unique_ptr<ScriptText> paramText(const std::string& text) {
    auto script = std::make_unique<ScriptText>();
    script->tokenizeText(text.data(), text.size());
    return script;
}

struct ShutdownEffect {
    template <class T>
    void operator()(T* effect) const { effect->Shutdown(); }
};
template <class T>
using EffectPtr = std::unique_ptr<T, ShutdownEffect>;

// A new instance that has read text; the test fails when ParseParams does not succeed.
template <class T>
EffectPtr<T> parsed(const std::string& text) {
    EffectPtr<T> effect(new T());
    auto params = paramText(text);
    EXPECT_EQ(effect->ParseParams(params.get()), 0) << text;
    return effect;
}

}  // namespace flattest
