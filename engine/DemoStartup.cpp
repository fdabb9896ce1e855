// Construction and the one-time start-up from the script's header commands.
#include <sys/stat.h>

#include <climits>
#include <cmath>

#include "engine/DemoEngine.h"
#include "engine/LayerOperations.h"
#include "engine/SceneLoads.h"
#include "font/OverlayFont.h"
#include "platform/win/FileNames.h"
#include "platform/win/LibrarySearch.h"
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
    return loadShow(true);
}

HRESULT DemoEngine::loadShow(bool openMusic) {
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
    if (openMusic) {
        music.streamOpen = FALSE;
        if (!mute && script.countOf("@loadmusic") != 0) {
            if (const char* name = script.textAfter(0, 0, "@loadmusic")) music.Open(musicBasePath, name, window);
        }
    }

    // The scenes and the image files are read on threads of their own while the libraries load.
    SceneLoads sceneLoads(script);
    imageReads.clear();
    readImagesAhead();

    for (int i = 0; i < script.countOf("@loadlibrary"); ++i) {
        const char* name = script.textAfter(i, 0, "@loadlibrary");
        // A library that comes with the show is a program it brings along: it runs only when the
        // user has allowed it.
        if (name && !trustShow && quorvel::platform::libraryComesWithShow(name, ".")) {
            reportShowPlugin(i, name);
            return E_FAIL;
        }
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
    readMaterialMapsAhead();
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

bool DemoEngine::asksForShowPlugins() {
    if (viewer.isOpen()) return false;
    // Read quietly: a script that cannot be read is reported when the show starts.
    struct stat info {};
    if (::stat(quorvel::platform::resolveFileName(scriptPath).c_str(), &info) != 0 ||
        info.st_size > ScriptText::MaxFileBytes)
        return false;
    ScriptText text;
    if (!text.openFile(scriptPath.c_str())) return false;
    text.tokenize();
    text.closeFile();
    for (std::int32_t i = 0, n = text.countOf("@loadlibrary"); i < n; ++i) {
        const std::int32_t at = text.findMatch(i, "@loadlibrary");
        if (at + 1 < text.size() && quorvel::platform::libraryComesWithShow(text.token(at + 1), ".")) return true;
    }
    return false;
}
