// The class descriptor every flat plug-in library hands out: it names the class and makes
// instances on the library's own heap.
#pragma once

#include <new>

#include "plugin/Effect.h"

namespace quorvel::flat {

template <class EffectType>
class ClassDescriptor final : public EffectClassDesc {
public:
    explicit constexpr ClassDescriptor(const char* name) : name_(name) {}
    Effect* CreateEffect() override { return new (std::nothrow) EffectType(); }
    const char* ClassName() override { return name_; }

private:
    const char* name_;
};

}  // namespace quorvel::flat
