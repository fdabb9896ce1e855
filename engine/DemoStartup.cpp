// Construction and the one-time start-up from the script's header commands.
#include <climits>
#include <cmath>

#include "engine/DemoEngine.h"
#include "engine/LayerOperations.h"
#include "engine/SceneLoads.h"
#include "font/OverlayFont.h"
#include "script/Reports.h"

namespace {

// Whole seconds of a script time, truncated toward zero. Values beyond the integer range (or not
// numbers at all) are held at the range's ends rather than converted with undefined results.
INT wholeSeconds(float seconds) {
    if (std::isnan(seconds)) return 0;
    if (seconds >= 2147483520.0f) return INT_MAX;
    if (seconds <= -2147483648.0f) return INT_MIN;
    return static_cast<INT>(seconds);
}

}  // namespace

DemoEngine::DemoEngine() {
    windowTitle = "Redeve DemoQuorvel";
    createWidth = 640;
    createHeight = 480;
    wantDepthBuffer = TRUE;
    showSetupDialog = TRUE;
    showStats = TRUE;
}

DemoEngine::~DemoEngine() { delete font; }

bool DemoEngine::parseTimeline(const char* path) {
    return ::parseTimeline(script, layers, path, &scriptLines, &timelineTrace);
}

HRESULT DemoEngine::onStartup() {
    font = new quorvel::OverlayFont("Arial", 10, 0);

    if (!readScript()) {
        reportTimelineFailure();
        reportError("Couldn't load %s", scriptPath.c_str());
        return E_FAIL;
    }

    demoStart = 0;
    demoEnd = 100;
    if (script.countOf("@starttime") != 0) demoStart = wholeSeconds(script.floatAfter(0, 0, "@starttime"));
    if (script.countOf("@endtime") != 0) demoEnd = wholeSeconds(script.floatAfter(0, 0, "@endtime"));
    if (script.countOf("@nostats") != 0) showStats = FALSE;
    if (startOverride) demoStart = wholeSeconds(*startOverride);
    playback.restart(passStart(), 0.0f);

    images.SetBasePath(dataPath);
    SceneList::setBasePath(dataPath);
    musicBasePath = dataPath;

    // A music file that cannot be played is reported by the player; the show runs without it.
    music.streamOpen = FALSE;
    if (!mute && script.countOf("@loadmusic") != 0) {
        if (const char* name = script.textAfter(0, 0, "@loadmusic")) music.Open(musicBasePath, name, window);
    }

    // The scenes are read on threads of their own while the libraries load.
    SceneLoads sceneLoads(script);

    for (int i = 0; i < script.countOf("@loadlibrary"); ++i) {
        const char* name = script.textAfter(i, 0, "@loadlibrary");
        if (!name || FAILED(effectHost.LoadPlugin(name))) {
            reportError("Couldn't load %s", name ? name : "");
            reportAt(headerArgument("@loadlibrary", i), std::string("Couldn't load ") + (name ? name : ""));
            return E_FAIL;
        }
    }

    for (size_t i = 0; i < sceneLoads.count(); ++i) {
        const char* name = nullptr;
        Scene* scene = sceneLoads.take(i, name);
        if (!scene) {
            reportError("Couldn't load %s", name ? name : "");
            reportAt(headerArgument("@loadscene", i), std::string("Couldn't load ") + (name ? name : ""));
            return E_FAIL;
        }
        scenes.scenes.push_back(scene);
    }
    prepareViewer();

    backgroundColour = 0xFF808080u;
    if (script.countOf("@bgcolor") > 0) backgroundColour = static_cast<DWORD>(script.integerAfter(0, 0, "@bgcolor"));

    printWarnings();
    for (int i = 0; i < LayerCount; ++i) {
        int slot = 0;
        if (FAILED(createEffects(layers[i], effectHost, &slot))) {
            reportEffectFailure(i, slot);
            return E_FAIL;
        }
    }
    return S_OK;
}
