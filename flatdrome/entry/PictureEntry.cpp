// Entry point of flatpicture.so, the library offering the effect class "picture".
#include "flatdrome/PictureEffect.h"
#include "flatdrome/entry/ClassDescriptor.h"

namespace {
quorvel::flat::ClassDescriptor<quorvel::flat::PictureEffect> descriptor("picture");
}

QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() { return &descriptor; }
