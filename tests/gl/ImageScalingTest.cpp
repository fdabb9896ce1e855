// Scaling and mip halving of the texture loader's pictures.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/d3dx8/d3dx8tex.h"
#include "platform/d3dx8/texture/RgbaImage.h"

namespace quorvel::d3dx {
namespace {

// Left half red, right half blue, opaque.
RgbaImage halves(UINT width, UINT height) {
    RgbaImage image{width, height, std::vector<std::uint8_t>(static_cast<size_t>(width) * height * 4, 0)};
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            std::uint8_t* p = image.at(x, y);
            p[x < width / 2 ? 0 : 2] = 255;
            p[3] = 255;
        }
    return image;
}

TEST(ImageScalingTest, ExtremeDownscaleIsQuickAndKeepsTheHalves) {
    const auto start = std::chrono::steady_clock::now();
    const RgbaImage out = scaleImage(halves(65530, 3), 2048, 4, D3DX_FILTER_TRIANGLE);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 2.0);
    ASSERT_EQ(out.width, 2048u);
    ASSERT_EQ(out.height, 4u);
    EXPECT_EQ(out.at(10, 2)[0], 255);
    EXPECT_EQ(out.at(10, 2)[2], 0);
    EXPECT_EQ(out.at(2040, 1)[2], 255);
    EXPECT_EQ(out.at(2040, 1)[0], 0);
}

TEST(ImageScalingTest, PointAndNoneFilters) {
    const RgbaImage source = halves(4, 2);
    const RgbaImage up = scaleImage(source, 8, 4, D3DX_FILTER_POINT);
    EXPECT_EQ(up.at(3, 3)[0], 255);
    EXPECT_EQ(up.at(4, 0)[2], 255);
    const RgbaImage none = scaleImage(source, 8, 4, D3DX_FILTER_NONE);
    EXPECT_EQ(none.at(1, 1)[0], 255);
    EXPECT_EQ(none.at(5, 1)[3], 0) << "outside the copied picture";
}

TEST(ImageScalingTest, HalvingAveragesOrPicks) {
    const RgbaImage source = halves(2, 1);
    const RgbaImage box = halveImage(source, D3DX_FILTER_BOX);
    ASSERT_EQ(box.width, 1u);
    ASSERT_EQ(box.height, 1u);
    EXPECT_EQ(box.at(0, 0)[0], 128);
    EXPECT_EQ(box.at(0, 0)[2], 128);
    const RgbaImage point = halveImage(source, D3DX_FILTER_POINT);
    EXPECT_EQ(point.at(0, 0)[0], 255);
    EXPECT_EQ(point.at(0, 0)[2], 0);
}

}  // namespace
}  // namespace quorvel::d3dx
