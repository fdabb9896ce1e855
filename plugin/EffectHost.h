// Loads the effect plug-in libraries named by the script, keeps their class descriptors, creates
// effect instances by class name and unloads the libraries at shutdown.
#pragma once

#include <string>
#include <vector>

#include "platform/win/WinTypes.h"
#include "plugin/Effect.h"

class EffectHost {
public:
    std::vector<EffectClassDesc*> descriptors;  // in load order
    std::vector<HMODULE> libraries;             // entry i belongs to descriptors[i]

    // Loads the library by the name as written (no "data/" prefix). A library that cannot be
    // loaded, lacks GetClassDesc, or whose GetClassDesc gives null fails with E_FAIL and leaves
    // nothing registered.
    HRESULT LoadPlugin(const char* name);
    // An instance of the first loaded class whose name equals className exactly; null if none.
    Effect* CreateEffect(const char* className);
    // Unloads every library in load order.
    void FreePlugins();
};
