// What the command line changes in how the engine plays: which script or scene, the start time,
// looping and the music. None of it changes anything unless asked for.
#include <cmath>
#include <cstdio>

#include "engine/DemoEngine.h"
#include "engine/LayerOperations.h"
#include "engine/ShowLocation.h"

void DemoEngine::playFrom(const quorvel::ShowLocation& location) {
    if (location.isScene()) {
        // The scene's textures lie next to it, in the folder that is now the working directory.
        viewer.open(location.sceneFile);
        dataPath.clear();
    } else {
        scriptPath = location.scriptPath;
    }
}

bool DemoEngine::readScript() {
    if (!viewer.isOpen()) return parseTimeline(scriptPath.c_str());
    viewer.writeScript(script);
    return parseTimelineTokens(script, layers, &timelineTrace);
}

void DemoEngine::prepareViewer() {
    if (!viewer.isOpen() || scenes.scenes.empty()) return;
    Scene& scene = *scenes.scenes.front();
    for (const std::string& name : quorvel::SceneViewer::forgetMissingMaps(scene, dataPath))
        std::fprintf(stderr, "quorvel: warning: %s names a map %s that is not there; drawn without it\n",
                     viewer.sceneFile().c_str(), name.c_str());
    const float cycle = viewer.prepare(scene);
    // One animation cycle is the show; played on, the viewer starts it again seamlessly.
    loopEnd = startOverride.value_or(0.0f) + cycle;
    demoEnd = static_cast<INT>(std::ceil(*loopEnd));
}

float DemoEngine::passStart() const { return startOverride.value_or(static_cast<float>(demoStart)); }

float DemoEngine::passEnd() const { return loopEnd.value_or(static_cast<float>(demoEnd)); }

float DemoEngine::playbackTime() {
    const float start = passStart();
    const float t = playback.timeAt(appTime);
    const float end = passEnd();
    // A show that starts at or after its end cannot loop; it ends as it always did.
    if (!loop || !(t > end) || !(start < end)) return t;
    playback.restart(start, appTime);
    music.Stop();
    startMusic();
    return start;
}

void DemoEngine::togglePause() {
    playback.togglePause(appTime);
    // Resuming puts the music at the demo time on the next frame.
    if (playback.paused()) music.Stop();
}

void DemoEngine::seekTo(float target) {
    playback.setRange(passStart(), passEnd());
    playback.jumpTo(target, appTime);
}

void DemoEngine::seekBy(float seconds) {
    playback.setRange(passStart(), passEnd());
    playback.jumpBy(seconds, appTime);
}

void DemoEngine::followJumps() {
    if (playback.takeJump())
        for (Layer& layer : layers) settleAfterJump(layer, demoTime);
    if (playback.takeMusicRestart()) music.PlayAt(demoTime);
}

void DemoEngine::startMusic() {
    if (startOverride)
        music.PlayAt(*startOverride);
    else
        music.Play(demoStart);
}
