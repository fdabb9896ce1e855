#include "plugin/EffectHost.h"

#include <cstring>

#include "platform/win/Win32.h"

HRESULT EffectHost::LoadPlugin(const char* name) {
    HMODULE library = LoadLibraryA(name);
    if (!library) return E_FAIL;
    auto getClassDesc = reinterpret_cast<GetClassDescFunction>(GetProcAddress(library, GetClassDescExportName));
    EffectClassDesc* descriptor = getClassDesc ? getClassDesc() : nullptr;
    if (!descriptor) {
        // Treated like a library that cannot be loaded: nothing of it stays registered.
        FreeLibrary(library);
        return E_FAIL;
    }
    libraries.push_back(library);
    descriptors.push_back(descriptor);
    return S_OK;
}

Effect* EffectHost::CreateEffect(const char* className) {
    if (!className) return nullptr;
    for (EffectClassDesc* descriptor : descriptors) {
        const char* offered = descriptor->ClassName();
        if (offered && std::strcmp(offered, className) == 0) return descriptor->CreateEffect();
    }
    return nullptr;
}

void EffectHost::FreePlugins() {
    for (HMODULE library : libraries) FreeLibrary(library);
    libraries.clear();
    descriptors.clear();
}
