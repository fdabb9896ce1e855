// Saving show files: a save by rename is seen once, after the burst of changes settles, and the
// scratch files editors keep beside a file are no change of the show.
#include <gtest/gtest.h>

#include <cstdio>

#include "engine/ShowWatch.h"
#include "support/TempDir.h"

using quorvel::ShowWatch;
using quorvel::testing::TempDir;

TEST(ShowWatch, SaveByRenameIsAnsweredOnceAfterTheBurst) {
    TempDir show;
    const std::string script = show.write("data/vantro.jpg", "old");
    ShowWatch watch;
    ASSERT_TRUE(watch.watch({show.path(), show.path() + "/data"}));

    // An editor's save: a hidden new file beside the script, renamed over it, and a backup; only
    // the rename is a change of a show file.
    const std::string temporary = show.write("data/.vantro.jpg.new", "new");
    ASSERT_EQ(std::rename(temporary.c_str(), script.c_str()), 0);
    show.write("data/vantro.jpg~", "old");
    const double t = 100.0;
    EXPECT_FALSE(watch.settled(t));          // still within the burst
    EXPECT_FALSE(watch.settled(t + 0.05));
    EXPECT_TRUE(watch.settled(t + 0.2));     // quiet long enough: one answer
    EXPECT_FALSE(watch.settled(t + 1.0));    // and only one

    // A write in place in the show folder counts too.
    show.write("music.ogg", "x");
    EXPECT_FALSE(watch.settled(t + 2.0));
    EXPECT_TRUE(watch.settled(t + 2.2));
}

TEST(ShowWatch, EditorScratchFilesAreNoChange) {
    TempDir show;
    ShowWatch watch;
    ASSERT_TRUE(watch.watch({show.path()}));
    for (const char* name : {".vantro.jpg.swp", "#vantro.jpg#", ".#vantro.jpg", "vantro.jpg~", "4913", "x.tmp"})
        show.write(name, "scratch");
    EXPECT_FALSE(watch.settled(10.0));
    EXPECT_FALSE(watch.settled(11.0));
    EXPECT_FALSE(quorvel::isEditorScratchFile("data/planet.jpg"));
}
