// A test plug-in whose effects write every call they receive, with its argument, into a log the
// test hands in. Built several times with different tags and class names, and in variants that
// lack the export or return no descriptor, to exercise the host.
#include <cstdio>
#include <string>
#include <vector>

#include "plugin/Effect.h"
#include "script/ScriptText.h"

#ifndef EFFECT_TAG
#define EFFECT_TAG "A"
#endif
#ifndef EFFECT_CLASS
#define EFFECT_CLASS "recorder"
#endif

namespace {

std::vector<std::string>* gLog = nullptr;
int gInstances = 0;

void record(int id, const std::string& call) {
    if (gLog) gLog->push_back(std::string(EFFECT_TAG) + std::to_string(id) + ":" + call);
}

bool hasToken(const ScriptText* text, const char* token) { return text && text->countOf("%s", token) > 0; }

class RecordingEffect : public Effect {
public:
    HRESULT ParseParams(ScriptText* params) override {
        std::string joined;
        for (const std::string* t = params->first; t != params->last; ++t) joined += (joined.empty() ? "" : " ") + *t;
        record(id_, "ParseParams(" + joined + ")");
        failInit_ = hasToken(params, "failinit");
        return hasToken(params, "failparse") ? E_FAIL : S_OK;
    }
    HRESULT Init(EngineServices* services) override {
        record(id_, std::string("Init") + (services && services->images && services->scenes ? "" : "(incomplete)"));
        return failInit_ ? E_FAIL : S_OK;
    }
    HRESULT Start(EngineServices*) override { return log("Start"); }
    HRESULT Update(float seconds) override {
        char text[64];
        std::snprintf(text, sizeof(text), "Update(%.3f)", static_cast<double>(seconds));
        return log(text);
    }
    HRESULT Render(EngineServices*) override { return log("Render"); }
    HRESULT Stop() override { return log("Stop"); }
    HRESULT DestroyDeviceObjects() override { return log("DestroyDeviceObjects"); }
    HRESULT Shutdown() override {
        log("Shutdown");
        delete this;  // the last call: the instance frees itself
        return S_OK;
    }

private:
    HRESULT log(const std::string& call) {
        record(id_, call);
        return S_OK;
    }
    int id_ = gInstances++;
    bool failInit_ = false;
};

class RecordingEffectDesc : public EffectClassDesc {
public:
    Effect* CreateEffect() override { return new RecordingEffect; }
    const char* ClassName() override { return EFFECT_CLASS; }
};

RecordingEffectDesc gDescriptor;

}  // namespace

// Lets the test collect the calls; the log outlives the library.
QUORVEL_PLUGIN_EXPORT void SetRecordingLog(std::vector<std::string>* log) {
    gLog = log;
    gInstances = 0;
}

#if !defined(NO_CLASS_DESC_EXPORT)
QUORVEL_PLUGIN_EXPORT EffectClassDesc* GetClassDesc() {
#if defined(NULL_CLASS_DESC)
    return nullptr;
#else
    return &gDescriptor;
#endif
}
#endif
