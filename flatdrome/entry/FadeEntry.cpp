// Entry point of flatfade.so, the library offering the effect class "fade".
#include "flatdrome/FadeEffect.h"
#include "flatdrome/entry/ClassDescriptor.h"

namespace {
quorvel::flat::ClassDescriptor<quorvel::flat::FadeEffect> descriptor("fade");
}

QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() { return &descriptor; }
