// The music player's calls into the audio library, checked against a stand-in library: the order
// of calls, the 32-bit start positions, the two failure messages and the release at the end.
#include "music/MusicPlayer.h"

#include "support/CapturedReports.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace quorvel {
namespace {

using ::testing::_;
using ::testing::DoAll;
using ::testing::InSequence;
using ::testing::IsNull;
using ::testing::NotNull;
using ::testing::Return;
using ::testing::SetArgPointee;
using ::testing::StrEq;
using ::testing::StrictMock;

class MockAudio : public AudioBackend {
public:
    MOCK_METHOD(BOOL, Init, (int, DWORD, DWORD, HWND), (override));
    MOCK_METHOD(HSTREAM, StreamCreateFile, (BOOL, const void*, DWORD, DWORD, DWORD), (override));
    MOCK_METHOD(HSYNC, ChannelSetSync, (DWORD, DWORD, DWORD, SYNCPROC*, DWORD), (override));
    MOCK_METHOD(DWORD, StreamGetLength, (HSTREAM), (override));
    MOCK_METHOD(BOOL, ChannelGetAttributes, (DWORD, DWORD*, DWORD*, int*), (override));
    MOCK_METHOD(DWORD, ChannelGetFlags, (DWORD), (override));
    MOCK_METHOD(BOOL, ChannelSetPosition, (DWORD, DWORD), (override));
    MOCK_METHOD(BOOL, Start, (), (override));
    MOCK_METHOD(BOOL, StreamPlay, (HSTREAM, BOOL, DWORD), (override));
    MOCK_METHOD(BOOL, ChannelStop, (DWORD), (override));
    MOCK_METHOD(void, Free, (), (override));
};

constexpr HSTREAM kStream = 0x51;
HWND const kWindow = reinterpret_cast<HWND>(0x1234);

const char* pathOf(const void* file) { return static_cast<const char*>(file); }

class MusicPlayerTest : public ::testing::Test {
protected:
    // Opens "data/" + name successfully, with the expected call sequence.
    void openStream(const char* name = "song.mp3") {
        InSequence order;
        EXPECT_CALL(audio, Init(-1, 44100u, 0u, kWindow)).WillOnce(Return(TRUE));
        EXPECT_CALL(audio, StreamCreateFile(FALSE, _, 0u, 0u, 0x20000u))
            .WillOnce([](BOOL, const void* file, DWORD, DWORD, DWORD) {
                EXPECT_STREQ(pathOf(file), "data/song.mp3");
                return kStream;
            });
        EXPECT_CALL(audio, ChannelSetSync(kStream, 2u, 0u, NotNull(), 0u)).WillOnce(Return(7u));
        EXPECT_EQ(player.Open("data/", name, kWindow), S_OK);
        ::testing::Mock::VerifyAndClearExpectations(&audio);
    }

    // Expects one Play of a stream of the given length and format, starting at `position`.
    void expectPlay(DWORD length, DWORD rate, DWORD flags, DWORD position, bool asksLengthTwice = true) {
        InSequence order;
        EXPECT_CALL(audio, StreamGetLength(kStream)).WillOnce(Return(length));
        EXPECT_CALL(audio, ChannelGetAttributes(kStream, NotNull(), IsNull(), IsNull()))
            .WillOnce(DoAll(SetArgPointee<1>(rate), Return(TRUE)));
        EXPECT_CALL(audio, ChannelGetFlags(kStream)).WillOnce(Return(flags));
        if (asksLengthTwice) EXPECT_CALL(audio, StreamGetLength(kStream)).WillOnce(Return(length));
        EXPECT_CALL(audio, ChannelSetPosition(kStream, position)).WillOnce(Return(TRUE));
        EXPECT_CALL(audio, Start()).WillOnce(Return(TRUE));
        EXPECT_CALL(audio, StreamPlay(kStream, FALSE, 4u)).WillOnce(Return(TRUE));
    }

    StrictMock<MockAudio> audio;
    MusicPlayer player{audio};
    testing::CapturedReports reports;
};

TEST_F(MusicPlayerTest, DoesNothingUnlessOpened) {
    // A show without music never opens the player; the engine still calls the other operations.
    player.Play(10);
    player.Stop();
    player.Close();
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(MusicPlayerTest, OpenInitialisesDeviceAndOpensStreamWithEndSync) {
    openStream();
    EXPECT_TRUE(player.streamOpen);
    EXPECT_EQ(player.stream, kStream);
    EXPECT_TRUE(reports.boxes.empty());
}

TEST_F(MusicPlayerTest, StartPositionFollowsWholeSecondsOfTheStream) {
    openStream();
    struct Case {
        DWORD length, rate, flags;
        int demoStart;
        DWORD position;
    };
    const Case cases[] = {
        {17'640'000, 44100, 0, 0, 0},           // from the beginning
        {17'640'000, 44100, 0, 10, 1'764'000},  // exactly 100 s, 16-bit stereo
        {17'728'200, 44100, 0, 10, 1'772'820},  // 100.5 s: 100 whole seconds of 177,282 bytes
        {4'410'000, 44100, BASS_SAMPLE_MONO, 30, 30 * 88'200},          // 50 s mono 16-bit
        {2'205'000, 44100, BASS_SAMPLE_MONO | BASS_SAMPLE_8BITS, 7, 7 * 44'100},  // 8-bit mono
        {9'600'000, 48000, 0, 3, 3 * 192'000},  // another rate
        {17'728'200, 44100, 0, -1, 0xFFFFFFFFu - 177'282 + 1},  // 32-bit arithmetic wraps
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.length << " bytes, start " << c.demoStart);
        expectPlay(c.length, c.rate, c.flags, c.position);
        player.Play(c.demoStart);
        ::testing::Mock::VerifyAndClearExpectations(&audio);
    }
}

TEST_F(MusicPlayerTest, StreamShorterThanOneSecondStartsAtExactRate) {
    openStream();
    // Half a second of 16-bit stereo has no whole second to spread its length over.
    expectPlay(88'200, 44100, 0, 0, false);
    player.Play(0);
    ::testing::Mock::VerifyAndClearExpectations(&audio);
    expectPlay(88'200, 44100, 0, 2 * 176'400, false);
    player.Play(2);
    ::testing::Mock::VerifyAndClearExpectations(&audio);
    // An empty stream too.
    expectPlay(0, 22050, BASS_SAMPLE_MONO, 5 * 44'100, false);
    player.Play(5);
}

TEST_F(MusicPlayerTest, EveryPlayRestartsAtTheStartPosition) {
    openStream();
    for (int i = 0; i < 2; ++i) {
        expectPlay(17'640'000, 44100, 0, 1'764'000);
        player.Play(10);
        EXPECT_CALL(audio, ChannelStop(kStream)).WillOnce(Return(TRUE));
        player.Stop();
        ::testing::Mock::VerifyAndClearExpectations(&audio);
    }
}

TEST_F(MusicPlayerTest, CloseReleasesTheLibraryOnce) {
    openStream();
    EXPECT_CALL(audio, Free()).Times(1);
    player.Close();
    EXPECT_FALSE(player.streamOpen);
    player.Close();
    player.Play(0);
    player.Stop();
}

TEST_F(MusicPlayerTest, DeviceFailureIsReportedAndNothingElseHappens) {
    EXPECT_CALL(audio, Init(-1, 44100u, 0u, kWindow)).WillOnce(Return(FALSE));
    EXPECT_EQ(player.Open("data/", "song.mp3", kWindow), E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "BASS DEVICE INIT FAILED, Do you have a soundcard?");
    EXPECT_EQ(reports.boxes[0].caption, "Error");
    EXPECT_FALSE(player.streamOpen);
    // No stream and no device: later calls do nothing, and nothing is freed.
    player.Play(0);
    player.Stop();
    player.Close();
}

TEST_F(MusicPlayerTest, MissingFileIsReportedWithItsPathAndTheDeviceStillReleased) {
    {
        InSequence order;
        EXPECT_CALL(audio, Init(-1, 44100u, 0u, kWindow)).WillOnce(Return(TRUE));
        EXPECT_CALL(audio, StreamCreateFile(FALSE, _, 0u, 0u, 0x20000u)).WillOnce(Return(0u));
    }
    EXPECT_EQ(player.Open("data/", "nothere.ogg", kWindow), E_FAIL);
    ASSERT_EQ(reports.boxes.size(), 1u);
    EXPECT_EQ(reports.boxes[0].text, "BASS CAN'T PLAY THE FILE, Does data/nothere.ogg exist?");
    EXPECT_FALSE(player.streamOpen);
    player.Play(3);
    player.Stop();
    ::testing::Mock::VerifyAndClearExpectations(&audio);
    EXPECT_CALL(audio, Free()).Times(1);
    player.Close();
    player.Close();
}

TEST_F(MusicPlayerTest, FileNameCaseNeedNotMatch) {
    testing::TempDir dir;
    const std::string file = dir.write("data/Theme.OGG", "x");
    const std::string base = dir.path() + "/data/";
    EXPECT_CALL(audio, Init(_, _, _, _)).WillOnce(Return(TRUE));
    EXPECT_CALL(audio, StreamCreateFile(FALSE, _, 0u, 0u, 0x20000u))
        .WillOnce([&](BOOL, const void* path, DWORD, DWORD, DWORD) {
            EXPECT_STREQ(pathOf(path), file.c_str());
            return kStream;
        });
    EXPECT_CALL(audio, ChannelSetSync(kStream, 2u, 0u, NotNull(), 0u)).WillOnce(Return(1u));
    EXPECT_EQ(player.Open(base, "theme.ogg"), S_OK);
    EXPECT_CALL(audio, Free());
    player.Close();
}

}  // namespace
}  // namespace quorvel
