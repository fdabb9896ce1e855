// The plug-in's entry point and its one class descriptor, offering the effect class "scene".
#include <new>

#include "meshdrome/SceneEffect.h"

namespace {

class SceneEffectDesc final : public EffectClassDesc {
public:
    Effect* CreateEffect() override { return new (std::nothrow) SceneEffect(); }
    const char* ClassName() override { return "scene"; }
};

SceneEffectDesc sceneEffectDesc;

}  // namespace

QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() { return &sceneEffectDesc; }
