// How long an author waits after saving: the bundled show is played from a copy in a temporary
// folder, its script is saved with a new background colour (written beside it and renamed over
// it, as editors do), and frames are drawn until the first one of the new show is presented.
// The wait includes the quiet time that lets a burst of saves settle. ReloadOnly times the
// reload itself, without the watch.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "engine/PlayerEngine.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class BenchPlayer : public quorvel::PlayerEngine {
public:
    BenchPlayer() : PlayerEngine(quorvel::PlayerOptions{}) {
        showSetupDialog = FALSE;
        mute = true;
    }
    using AppShell::cleanup;
    void frame(float t) {
        appTime = t;
        onUpdate();
        onRender();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }
};

// The bundled show in a folder of its own, entered for the life of the object.
class ShowCopy {
public:
    ShowCopy() : folder_(fs::temp_directory_path() / ("quorvel-reload-" + std::to_string(::getpid()))) {
        fs::remove_all(folder_);
        fs::copy(DEMO_FOLDER, folder_, fs::copy_options::recursive);
        previous_ = fs::current_path();
        fs::current_path(folder_);
        std::ifstream in("data/vantro.jpg");
        std::stringstream text;
        text << in.rdbuf();
        script_ = text.str();
    }
    ~ShowCopy() {
        fs::current_path(previous_);
        fs::remove_all(folder_);
    }
    // Saves the script with another background colour, as an editor does.
    void saveWithColour(unsigned colour) const {
        save(std::regex_replace(script_, std::regex("@bgcolor [0-9-]+"), "@bgcolor " + std::to_string(colour)));
    }
    // Saves the script with a scene it cannot load.
    void saveBroken() const { save(std::regex_replace(script_, std::regex("@loadscene orrery.3ds"), "@loadscene gone.3ds")); }

private:
    void save(const std::string& text) const {
        {
            std::ofstream out("data/.vantro.jpg.save");
            out << text;
        }
        fs::rename("data/.vantro.jpg.save", "data/vantro.jpg");
    }

    fs::path folder_, previous_;
    std::string script_;
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Starts the show and draws its frame at 20 s; false (the benchmark marked) when it cannot start.
bool startAt20(benchmark::State& state, BenchPlayer& player) {
    if (FAILED(player.create(nullptr))) {
        state.SkipWithError("the bundled show does not start");
        return false;
    }
    player.frame(20.0f);
    return true;
}

void SaveToFirstNewFrame(benchmark::State& state) {
    ShowCopy show;
    BenchPlayer player;
    if (!startAt20(state, player)) return;
    float t = 20.0f;
    unsigned colour = 0xFF000001u;
    for (auto _ : state) {
        ++colour;
        const Clock::time_point saved = Clock::now();
        show.saveWithColour(colour);
        while (player.backgroundColour != colour && seconds(Clock::now() - saved) < 5.0) player.frame(t += 0.02f);
        state.SetIterationTime(seconds(Clock::now() - saved));
    }
    player.cleanup();
}
BENCHMARK(SaveToFirstNewFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void ReloadOnly(benchmark::State& state) {
    ShowCopy show;
    BenchPlayer player;
    if (!startAt20(state, player)) return;
    for (auto _ : state) {
        if (!player.reloadShow()) state.SkipWithError("the reload failed");
    }
    player.cleanup();
}
BENCHMARK(ReloadOnly)->Unit(benchmark::kMillisecond)->Iterations(10);

// Resident set in KiB.
double residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1024.0;
}

// 200 reloads, every third one of a broken save: the resident size after the first and the last.
void ReloadStorm(benchmark::State& state) {
    ShowCopy show;
    BenchPlayer player;
    if (!startAt20(state, player)) return;
    float t = 20.0f;
    for (auto _ : state) {
        for (int i = 0; i < 200; ++i) {
            if (i % 3 == 2)
                show.saveBroken();
            else
                show.saveWithColour(0xFF000000u + static_cast<unsigned>(i));
            player.reloadShow();
            player.frame(t += 0.02f);
            if (i == 0) state.counters["rss_first_KiB"] = residentKiB();
        }
        state.counters["rss_last_KiB"] = residentKiB();
    }
    player.cleanup();
}
BENCHMARK(ReloadStorm)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
