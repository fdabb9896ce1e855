// The contract between the engine and its effect plug-in libraries. A plug-in library exports one
// function, GetClassDesc, handing out its class descriptor; the descriptor names one effect class
// and creates its instances; the engine drives every instance through eight operations. Both
// sides are compiled from these declarations, so slot order and record layouts must not change.
#pragma once

#include "platform/win/WinTypes.h"

class ScriptText;
class ImageBank;
struct SceneList;
class IDirect3DDevice8;

// What the engine hands to Init, Start and Render: one and the same record for all effects.
struct EngineServices {
    IDirect3DDevice8* device = nullptr;  // the device to draw with; no references are taken
    ImageBank* images = nullptr;         // every loaded image, scene material maps included
    SceneList* scenes = nullptr;         // every scene loaded by "@loadscene"
};

// An effect instance. Every operation returns 0 for success or a negative status (E_FAIL).
// The engine never destroys an instance, so there is no virtual destructor; an instance may free
// itself in Shutdown, its last call.
class Effect {
public:
    virtual HRESULT ParseParams(ScriptText* params) = 0;          // once, before the device exists
    virtual HRESULT Init(EngineServices* services) = 0;           // every time device objects are made
    virtual HRESULT Start(EngineServices* services) = 0;          // the event becomes live
    virtual HRESULT Update(float secondsSinceStart) = 0;          // every later frame while live
    virtual HRESULT Render(EngineServices* services) = 0;         // every frame while live
    virtual HRESULT Stop() = 0;                                    // interval left, or device lost
    virtual HRESULT DestroyDeviceObjects() = 0;                    // device objects go away
    virtual HRESULT Shutdown() = 0;                                // last call

protected:
    ~Effect() = default;
};

// One per plug-in library, a static object valid until the library is unloaded.
class EffectClassDesc {
public:
    virtual Effect* CreateEffect() = 0;     // a new instance, or null when allocation fails
    virtual const char* ClassName() = 0;    // the class name the timeline's "create" asks for

protected:
    ~EffectClassDesc() = default;
};

// The one export of a plug-in library, looked up by this exact name.
using GetClassDescFunction = EffectClassDesc* (*)();
constexpr const char* GetClassDescExportName = "GetClassDesc";

// Marks a plug-in's GetClassDesc for export with C linkage; everything else stays hidden.
#define QUORVEL_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
