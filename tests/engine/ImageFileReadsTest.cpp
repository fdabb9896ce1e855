// Image files read ahead: each asked-for file once, handed over once, and nothing held for files
// that cannot or should not be read, so the image bank then reads them and reports as it would.
#include "engine/ImageFileReads.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/TempDir.h"

namespace {

std::string asText(const std::optional<ImageFileReads::Bytes>& bytes) {
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<none>";
}

TEST(ImageFileReads, EachFileIsHandedOverOnceAndUnreadableOnesNotAtAll) {
    quorvel::testing::TempDir dir;
    const std::string a = dir.write("a.png", "first"), b = dir.write("Sub/B.png", "second");
    const std::string empty = dir.write("empty.png", "");
    const std::string pipe = dir.path() + "/pipe.png";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

    ImageFileReads reads;
    // A pipe would keep a reader waiting for a writer forever; a folder is not an image.
    reads.start({a, pipe, dir.path(), dir.path() + "/missing.png", empty, a});
    // Names are matched ignoring case, as the texture loader matches them.
    reads.start({a, dir.path() + "/sub/b.png"});

    EXPECT_EQ(asText(reads.take(a)), "first");
    EXPECT_EQ(asText(reads.take(a)), "<none>") << "handed over once";
    EXPECT_EQ(asText(reads.take(dir.path() + "/sub/b.png")), "second");
    EXPECT_EQ(asText(reads.take(b)), "<none>") << "only what was asked for, by the name it was asked for";
    for (const std::string& unread : {pipe, dir.path(), dir.path() + "/missing.png", empty})
        EXPECT_EQ(asText(reads.take(unread)), "<none>") << unread;
}

TEST(ImageFileReads, ReadingAheadStopsAtItsBudgetUntilCleared) {
    quorvel::testing::TempDir dir;
    const std::string a = dir.write("a.png", "123456"), b = dir.write("b.png", "abcdef"),
                      c = dir.write("c.png", "xyz");
    ImageFileReads reads(10);
    reads.start({a, b});
    reads.start({c});
    EXPECT_EQ(asText(reads.take(a)), "123456");
    EXPECT_EQ(asText(reads.take(b)), "<none>") << "past the budget";
    EXPECT_EQ(asText(reads.take(c)), "xyz") << "still within it";

    reads.clear();
    EXPECT_EQ(asText(reads.take(a)), "<none>") << "let go";
    reads.start({b});
    EXPECT_EQ(asText(reads.take(b)), "abcdef") << "a fresh budget";
}

}  // namespace
