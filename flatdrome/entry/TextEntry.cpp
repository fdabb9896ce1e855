// Entry point of flattext.so, the library offering the effect class "text".
#include "flatdrome/TextEffect.h"
#include "flatdrome/entry/ClassDescriptor.h"

namespace {
quorvel::flat::ClassDescriptor<quorvel::flat::TextEffect> descriptor("text");
}

QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() { return &descriptor; }
