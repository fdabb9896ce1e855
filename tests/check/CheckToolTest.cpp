// quorvel-check on broken shows: every expected report by text and line, several problems in
// one run, the exit status, and the bundled show checking clean.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "CheckRun.h"

using quorvel::testing::CheckRun;
using quorvel::testing::TestShow;

namespace {

const std::vector<std::string> Pictures{"panel.jpg", "planet.jpg", "moon.jpg",  "logo.jpg",
                                        "logoa.png", "ring.png",   "ringa.png", "grida.png"};

std::vector<std::string> withPictures(std::vector<std::string> files) {
    files.insert(files.end(), Pictures.begin(), Pictures.end());
    return files;
}

// A 3DS file holding an empty editor block: a scene without meshes, lights or cameras.
const std::string EmptyScene("\x4D\x4D\x0C\x00\x00\x00\x3D\x3D\x06\x00\x00\x00", 12);

const std::string Header = "@data.\n@loadlibrary meshdrome.dll\n@loadscene orrery.3ds\n";

// Every expected line is among the checker's output lines.
template <typename... Lines>
void expectReports(const CheckRun& run, const Lines&... expected) {
    for (const std::string& line : {std::string(expected)...}) {
        EXPECT_TRUE(run.has(line)) << "missing: " << line << "\ngot:\n" << run.text();
    }
}

}  // namespace

TEST(CheckTool, BundledShowChecksClean) {
    const CheckRun run = quorvel::testing::runCheck(DEMO_DIR);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, std::vector<std::string>{"data/vantro.jpg: 0 errors, 0 warnings"});
}

TEST(CheckTool, ShowsThatCannotBeReadAtAll) {
    const TestShow noScript("");
    std::remove((noScript.path() + "/data/vantro.jpg").c_str());
    const CheckRun missing = noScript.check();
    EXPECT_EQ(missing.status, 2);
    expectReports(missing, "data/vantro.jpg: error: cannot open the script");

    const CheckRun noCode = TestShow("@data.\n@endtime 5\n").check();
    EXPECT_EQ(noCode.status, 2);
    expectReports(noCode, "data/vantro.jpg:2: error: No <@code.> block found [Line -1, Index 0]");
}

TEST(CheckTool, EverySyntaxReportAfterResynchronising) {
    std::string script = "@data.\n@code.\n0 60 create scene { a }\n# comment\n\n1 -2 delete\n";
    for (int i = 0; i < 100; ++i) script += "0 7 create scene 0 7 delete\n";
    script += "0 7 create scene\n0 1 create scene { file x } 1 1 delete\n@eof\n";
    const CheckRun run = TestShow(script).check();
    EXPECT_EQ(run.status, 1);
    expectReports(
        run, "data/vantro.jpg:3: error: Sorry! You exceeded the maximum nuber of layers [Line 0, Index 3] (at '60')",
        "data/vantro.jpg:6: error: Sorry! Layer numbers can't be negative [Line 1, Index 10] (at '-2')",
        "data/vantro.jpg:107: error: Sorry! You exceeded the maximum number of events on a layer "
        "[Line 202, Index 713] (at '7')",
        "data/vantro.jpg:108: error: no loaded plug-in offers the effect class 'scene' (the script loads "
        "no plug-in) (at 'scene')");
    // Three syntax reports and one class report per event read; each event is zero seconds long.
    EXPECT_EQ(run.lines.back(), "data/vantro.jpg: 104 errors, 100 warnings") << run.text();
}

TEST(CheckTool, FilesThatCannotBeOpenedOrDecoded) {
    TestShow show(
        "@data.\n@loadscene gone.3ds\n@loadimage broken.jpg\n@loadimage moon.jpg alpha nothing.png\n"
        "@loadmusic noise.ogg\n@loadimage cut.png\n@code.\n@eof\n",
        {"moon.jpg"});
    show.write("data/broken.jpg", "not a picture");
    // A picture whose header is whole but whose pixels are cut off.
    std::ifstream ring(std::string(DEMO_DIR) + "/data/ring.png", std::ios::binary);
    std::string head(64, '\0');
    ring.read(head.data(), static_cast<std::streamsize>(head.size()));
    show.write("data/cut.png", head);
    show.write("data/noise.ogg", "not music either");
    const CheckRun run = show.check();
    EXPECT_EQ(run.status, 1);
    expectReports(run, "data/vantro.jpg:2: error: Couldn't load gone.3ds (at 'gone.3ds')",
                  "data/vantro.jpg:3: error: Couldn't load broken.jpg: the file is no picture the loader reads "
                  "(at 'broken.jpg')",
                  "data/vantro.jpg:4: error: Couldn't load nothing.png: the file cannot be opened (at 'nothing.png')");
    bool musicReported = false, cutReported = false;
    for (const std::string& line : run.lines) {
        musicReported |= line.rfind("data/vantro.jpg:5: error: music 'noise.ogg' does not decode (", 0) == 0;
        cutReported |= line.rfind("data/vantro.jpg:6: error: Couldn't load cut.png: the file does not decode: ", 0) == 0;
    }
    EXPECT_TRUE(musicReported) << run.text();
    EXPECT_TRUE(cutReported) << run.text();

    const TestShow maps(Header + "@code.\n@eof\n", {"orrery.3ds"});
    expectReports(maps.check(),
                  "data/vantro.jpg:3: error: Couldn't load PANEL.JPG, the map of material \"Panel\" "
                  "in scene orrery.3ds (the file cannot be opened) (at 'orrery.3ds')");
}

TEST(CheckTool, EffectsTheirParametersAndTheirScenes) {
    TestShow show(Header +
                      "@loadscene empty.3ds\n@code.\n"
                      "0 0 create Scene { file orrery.3ds }\n1 0 delete\n"           // 6: class names are exact
                      "0 1 create scene { file orrery.3ds Camera x }\n1 1 delete\n"  // 8: refused block
                      "0 2 create scene { file tunnel.3ds }\n1 2 delete\n"           // 10: not loaded
                      "0 3 create scene { file empty.3ds }\n1 3 delete\n"            // 12: no camera
                      "@eof\n",
                  withPictures({"orrery.3ds"}));
    show.write("data/empty.3ds", EmptyScene);
    const CheckRun run = show.check();
    EXPECT_EQ(run.status, 1);
    expectReports(run, "data/vantro.jpg:6: error: no loaded plug-in offers the effect class 'Scene' (at 'Scene')",
                  "data/vantro.jpg:8: error: the effect 'scene' refuses its parameters: Bad params for scene { "
                  "orrery.3ds } (at 'scene')",
                  "data/vantro.jpg:10: error: tunnel.3ds not loaded. You need to load the scene before use. "
                  "(at 'tunnel.3ds')",
                  "data/vantro.jpg:12: error: empty.3ds has no camera(s) (at 'empty.3ds')");
}

TEST(CheckTool, EventsThatNeverPlay) {
    const CheckRun run = TestShow(Header +
                                      "@starttime 10\n@endtime 40\n@code.\n"
                                      "5 0 create scene { file orrery.3ds } 5 0 delete\n"    // 7: zero length
                                      "0 1 create scene { file orrery.3ds } 10 1 delete\n"   // 8: before start
                                      "41 2 create scene { file orrery.3ds } 45 2 delete\n"  // 9: after end
                                      "10 3 create scene { file orrery.3ds } 20 3 delete\n"
                                      "18 3 create scene { file orrery.3ds } 30 3 delete\n"
                                      "12 3 create scene { file orrery.3ds } 25 3 delete\n"  // 12: covered
                                      "12 4 create scene { file orrery.3ds } 20 4 delete\n"
                                      "15 4 create scene { file orrery.3ds } 25 4 delete\n"  // plays 20-25
                                      "@eof\n",
                                  withPictures({"orrery.3ds"}))
                             .check();
    EXPECT_EQ(run.status, 0) << run.text();
    expectReports(run,
                  "data/vantro.jpg:7: warning: the event 'scene' on layer 0 never plays: it ends at 5 s, not after "
                  "it starts at 5 s",
                  "data/vantro.jpg:8: warning: the event 'scene' on layer 1 never plays: it ends at 10 s, before the "
                  "show starts at 10 s (@starttime)",
                  "data/vantro.jpg:9: warning: the event 'scene' on layer 2 never plays: it starts at 41 s, after "
                  "the show ends at 40 s (@endtime)",
                  "data/vantro.jpg:12: warning: the event 'scene' on layer 3 never plays: events created before it "
                  "on the layer cover all of its time");
    EXPECT_EQ(run.lines.back(), "data/vantro.jpg: 0 errors, 4 warnings") << run.text();
}

TEST(CheckTool, FilesPlugInsAndMusicWorthAWarning) {
    TestShow show(
        "@data.\n@loadlibrary meshdrome.dll\n@loadlibrary data/fx.so\n@loadlibrary bundled.dll\n"
        "@loadscene Orrery.3DS\n@loadimage ../../elsewhere.png\n@loadimage moon.jpg\n@loadmusic short.wav\n"
        "@endtime 10\n@code.\n0 0 create scene { file Orrery.3DS camera Nobody } 10 0 delete\n@eof\n",
        withPictures({"orrery.3ds"}));
    show.write("bundled.so", "");
    // One second of silence: 8 kHz, mono, 8-bit WAV.
    std::string wav =
        "RIFF" + std::string("\x44\x1F\x00\x00", 4) + "WAVEfmt " +
        std::string("\x10\x00\x00\x00\x01\x00\x01\x00\x40\x1F\x00\x00\x40\x1F\x00\x00\x01\x00\x08\x00", 20) + "data" +
        std::string("\x40\x1F\x00\x00", 4) + std::string(8000, '\x80');
    show.write("data/short.wav", wav);
    const CheckRun run = show.check();
    EXPECT_EQ(run.status, 1) << "the image outside the show folder does not exist";
    expectReports(run,
                  "data/vantro.jpg:3: warning: plug-in library 'data/fx.so' is named with a path: it is code shipped "
                  "with the show and runs with your rights; the checker does not load it, so its effects are not "
                  "checked",
                  "data/vantro.jpg:4: warning: plug-in library 'bundled.dll' is also found inside the show folder "
                  "(bundled.so): code shipped with the show runs with your rights",
                  "data/vantro.jpg:4: error: Couldn't load bundled.dll (at 'bundled.dll')",
                  "data/vantro.jpg:5: warning: file 'Orrery.3DS' is found only ignoring upper and lower case: "
                  "data/orrery.3ds is used",
                  "data/vantro.jpg:6: warning: file name '../../elsewhere.png' leaves the show folder; a show should "
                  "bring its own files",
                  "data/vantro.jpg:8: warning: music 'short.wav' lasts 1.0 s but the show runs to 10 s: it starts "
                  "again from its beginning",
                  "data/vantro.jpg:11: warning: scene 'Orrery.3DS' has no camera 'Nobody', so its first camera "
                  "'Camera01' is used (its cameras: Camera01, Closeup, Top)");

    const CheckRun noMusic =
        TestShow("@data.\n@loadmusic gone.ogg\n@loadimage moon.jpg\n@code.\n@eof\n", {"moon.jpg"}).check();
    EXPECT_EQ(noMusic.status, 0);
    expectReports(noMusic, "data/vantro.jpg:2: warning: music 'gone.ogg' is missing: the show runs without music",
                  "data/vantro.jpg:3: warning: image 'moon.jpg' is loaded but no material of a loaded scene uses it "
                  "(images show only through scene materials)");
}

TEST(CheckTool, TenProblemsInOneRunSortedByLine) {
    const CheckRun run = TestShow(
                             "@data.\n"
                             "@loadlibrary meshdrome.dll\n"
                             "@loadscene orrery.3ds\n"
                             "@loadscene gone.3ds\n"  // 4: cannot be opened
                             "@endtme 30\n"           // 5: unknown command
                             "@bgcolor 0xFF000000\n"  // 6: number not taken whole
                             "@code.\n"
                             "0 0 create scenes { file orrery.3ds } 5 0 delete\n"          // 8: unknown class
                             "0 1 create scene { file orrery.3ds fps } 5 1 delete\n"       // 9: refused block
                             "0 2 create scene { file orrery.3ds camera X } 5 2 delete\n"  // 10: camera missing
                             "0 3 creat scene { file orrery.3ds }\n"                       // 11: statement word
                             "0 4 create scene { file orrery.3ds }\n"                      // 12: never deleted
                             "3 5 create scene { file orrery.3ds } 3 5 delete\n"           // 13: never plays
                             "0 61 create scene { }\n"                                     // 14: layer
                             "@eof\n",
                             withPictures({"orrery.3ds"}))
                             .check();
    EXPECT_EQ(run.status, 1);
    std::vector<int> lines;
    for (const std::string& line : run.lines) {
        const std::size_t colon = line.find(':', std::string("data/vantro.jpg").size());
        if (colon != std::string::npos && line.compare(colon + 1, 1, " ") != 0)
            lines.push_back(std::stoi(line.substr(colon + 1)));
    }
    std::vector<int> distinct = lines;
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(distinct, (std::vector<int>{4, 5, 6, 8, 9, 10, 11, 12, 13, 14})) << run.text();
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end())) << run.text();
}
