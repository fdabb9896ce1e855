// The programs remembered between runs: the list survives only whole and well-formed, keeps the
// latest run's programs first, and a device made in the same folder builds them before its
// first draw.
#include "platform/gl/ProgramHistory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "GlFixture.h"
#include "platform/gl/GlDevice.h"
#include "platform/gl/ShaderDiskCache.h"
#include "support/TempDir.h"

namespace quorvel::gl {
namespace {

ShaderKey keyFor(DWORD fvf, bool lit, DWORD alphaFunc) {
    DeviceState state = defaultDeviceState(64, 64, true);
    state.renderStates[D3DRS_LIGHTING] = lit;
    state.lightEnabled[0] = lit;
    state.lights[0].Type = D3DLIGHT_DIRECTIONAL;
    state.renderStates[D3DRS_ALPHATESTENABLE] = TRUE;
    state.renderStates[D3DRS_ALPHAFUNC] = alphaFunc;
    const bool bound[kShaderStages] = {true, false};
    return makeShaderKey(state, fvf, bound);
}

std::vector<ShaderKey> someKeys(int count) {
    std::vector<ShaderKey> keys;
    for (int i = 0; i < count; ++i)
        keys.push_back(keyFor(i % 2 ? quorvel::testing::kMeshFvf : quorvel::testing::kScreenFvf, i % 2 == 1,
                              static_cast<DWORD>(1 + i / 2)));
    return keys;
}

TEST(ProgramHistory, OnlyAWholeWellFormedListIsRead) {
    const std::vector<ShaderKey> keys = someKeys(4);
    const std::vector<unsigned char> bytes = encodeProgramHistory(keys);
    EXPECT_EQ(decodeProgramHistory(bytes.data(), bytes.size()), keys);

    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_TRUE(decodeProgramHistory(bytes.data(), size).empty()) << "cut to " << size << " bytes";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::vector<unsigned char> damaged = bytes;
        damaged[i] ^= 0x10;
        EXPECT_TRUE(decodeProgramHistory(damaged.data(), damaged.size()).empty()) << "byte " << i << " changed";
    }

    // A correctly summed list whose key claims more lights than a key holds: the generator would
    // read past its light list.
    std::vector<ShaderKey> forged = keys;
    forged[1].lightCount = 9;
    const std::vector<unsigned char> forgedBytes = encodeProgramHistory(forged);
    EXPECT_TRUE(decodeProgramHistory(forgedBytes.data(), forgedBytes.size()).empty());
}

TEST(ProgramHistory, TheLatestRunComesFirstAndTheListStaysBounded) {
    const std::vector<ShaderKey> keys = someKeys(kRememberedProgramLimit + 4);
    const std::vector<ShaderKey> remembered(keys.begin() + 2, keys.begin() + 2 + kRememberedProgramLimit);
    ShaderKey impossible = keys[0];
    impossible.activeStages = 3;

    const std::vector<ShaderKey> merged = mergeProgramHistory({keys[0], keys[2], impossible, keys.back()}, remembered);
    ASSERT_EQ(merged.size(), kRememberedProgramLimit);
    EXPECT_EQ(merged[0], keys[0]);
    EXPECT_EQ(merged[1], keys[2]);
    EXPECT_EQ(merged[2], keys.back()) << "the impossible key is dropped, not kept";
    EXPECT_EQ(merged[3], keys[3]) << "then the remembered ones, without the one used again";
    EXPECT_EQ(merged.back(), keys[kRememberedProgramLimit - 1]) << "the oldest fall off the end";
}

// A device of its own in a folder of its own: the list is found by the working folder.
class ProgramHistoryDeviceTest : public quorvel::testing::GlDeviceTest {
protected:
    void SetUp() override {
        // The suites switch lists off; this test, in a process of its own, switches them on
        // before anything else starts.
        unsetenv("QUORVEL_NO_PROGRAM_LISTS");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_.path());
        path_ = programHistoryPath(shaderCacheFolder(), std::filesystem::current_path().string());
        ASSERT_FALSE(path_.empty());
        GlDeviceTest::SetUp();
    }
    void TearDown() override {
        GlDeviceTest::TearDown();
        std::filesystem::remove(path_);
        std::filesystem::current_path(previous_);
    }
    GlDevice* gl() { return dynamic_cast<GlDevice*>(device_); }
    void remake() {
        ASSERT_EQ(device_->Release(), 0u);
        device_ = nullptr;
        ASSERT_EQ(createDevice(), D3D_OK);
    }
    void drawBoth() {
        device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        drawScreenRect(0, 0, 8, 8, 0xFF00FF00u);
        device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        drawScreenRect(8, 0, 16, 8, 0xFFFF0000u);
    }

    quorvel::testing::TempDir folder_;
    std::filesystem::path previous_;
    std::string path_;
};

TEST_F(ProgramHistoryDeviceTest, TheNextDeviceBuildsWhatTheLastOneDrewWith) {
    ASSERT_EQ(gl()->programCount(), 0u);
    drawBoth();
    ASSERT_EQ(gl()->programCount(), 2u);
    ASSERT_NO_FATAL_FAILURE(remake());
    EXPECT_EQ(readProgramHistory(path_).size(), 2u);

    EXPECT_EQ(gl()->programCount(), 2u) << "built before the first draw";
    EXPECT_EQ(gl()->usedProgramCount(), 0u);
    drawBoth();
    EXPECT_EQ(gl()->programCount(), 2u) << "nothing left to build at draw time";
    capture();
    expectPixel(4, 4, 0, 255, 0, 0);
    expectPixel(12, 4, 255, 0, 0, 0);

    // A damaged list costs the head start, nothing else.
    ASSERT_NO_FATAL_FAILURE(remake());
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << "not a program list";
    ASSERT_NO_FATAL_FAILURE(remake());
    EXPECT_EQ(gl()->programCount(), 0u);
    drawBoth();
    capture();
    expectPixel(12, 4, 255, 0, 0, 0);
}

}  // namespace
}  // namespace quorvel::gl
