// Depth test function, depth enable and depth writes; Direct3D's cull winding under a
// left-handed projection.
#include "GlFixture.h"

namespace quorvel::testing {
namespace {

class DepthAndCullTest : public GlDeviceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GlDeviceTest::SetUp());
        device_->SetRenderState(D3DRS_LIGHTING, FALSE);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    }
    // Triangle in world space given in drawing order, through an identity world and view and a
    // left-handed projection; the camera looks along +z.
    void drawWorldTriangle(const float (*p)[3], D3DCOLOR colour) {
        const D3DMATRIX identity = identityMatrix();
        const D3DMATRIX projection = perspectiveLH(1.0f, 1.0f, 1.0f, 100.0f);
        device_->SetTransform(D3DTS_WORLD, &identity);
        device_->SetTransform(D3DTS_VIEW, &identity);
        device_->SetTransform(D3DTS_PROJECTION, &projection);
        struct ColourVertex {
            float x, y, z;
            D3DCOLOR c;
        } v[3];
        for (int i = 0; i < 3; ++i) v[i] = {p[i][0], p[i][1], p[i][2], colour};
        ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(ColourVertex)), D3D_OK);
    }
};

// On screen: bottom left, top middle, bottom right - clockwise as Direct3D sees it.
const float kClockwise[3][3] = {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}};
const float kCounterClockwise[3][3] = {{-1, -1, 5}, {1, -1, 5}, {0, 1, 5}};

TEST_F(DepthAndCullTest, LessEqualPassesEqualDepthAndRejectsFarther) {
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u, 0.5f);
    drawScreenRect(0, 0, 32, 64, 0xFF00FF00u, 0.5f);  // equal depth: passes LESSEQUAL
    drawScreenRect(32, 0, 64, 64, 0xFF0000FFu, 0.7f);  // farther: rejected
    capture();
    EXPECT_EQ(pixel(10, 10).g, 255);
    EXPECT_EQ(pixel(40, 10).r, 255);
    EXPECT_EQ(pixel(40, 10).b, 0);

    device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
    drawScreenRect(0, 0, 64, 64, 0xFFFFFFFFu, 0.5f);  // equal depth fails LESS
    capture();
    EXPECT_EQ(pixel(10, 10).g, 255);
    EXPECT_EQ(pixel(10, 10).r, 0);
}

TEST_F(DepthAndCullTest, DepthDisabledDrawsEverythingWithoutWriting) {
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u, 0.2f);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    drawScreenRect(0, 0, 32, 64, 0xFF00FF00u, 0.9f);  // drawn despite being behind
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    drawScreenRect(0, 0, 64, 64, 0xFF0000FFu, 0.5f);  // depth 0.2 from the first quad still wins
    capture();
    EXPECT_EQ(pixel(10, 10).g, 255);
    EXPECT_EQ(pixel(40, 10).r, 255);
}

TEST_F(DepthAndCullTest, DepthWritesOffLeaveTheDepthBufferAlone) {
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    drawScreenRect(0, 0, 64, 64, 0xFFFF0000u, 0.2f);  // tested, not written
    device_->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    drawScreenRect(0, 0, 64, 64, 0xFF00FF00u, 0.5f);  // still passes against the cleared 1.0
    capture();
    EXPECT_EQ(pixel(20, 20).g, 255);
    EXPECT_EQ(pixel(20, 20).r, 0);
}

TEST_F(DepthAndCullTest, CounterClockwiseCullingRemovesCounterClockwiseTriangles) {
    // Default cull mode is D3DCULL_CCW.
    drawWorldTriangle(kCounterClockwise, 0xFFFF0000u);
    capture();
    EXPECT_EQ(countPixels(255, 0, 0, 0), 0);
    drawWorldTriangle(kClockwise, 0xFF00FF00u);
    capture();
    savePng("cull_ccw.png");
    const int visible = countPixels(0, 255, 0, 0);
    EXPECT_GT(visible, 100);
    // Apex at the top: the top rows of the triangle are narrower than the bottom rows.
    int top = -1, bottom = -1;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (pixel(x, y).g == 255) {
                if (top < 0) top = y;
                bottom = y;
            }
    int topWidth = 0, bottomWidth = 0;
    for (int x = 0; x < 64; ++x) {
        topWidth += pixel(x, top).g == 255;
        bottomWidth += pixel(x, bottom).g == 255;
    }
    EXPECT_LT(topWidth, bottomWidth);
}

TEST_F(DepthAndCullTest, ClockwiseAndNoCulling) {
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    drawWorldTriangle(kClockwise, 0xFFFF0000u);
    drawWorldTriangle(kCounterClockwise, 0xFF00FF00u);
    capture();
    EXPECT_EQ(countPixels(255, 0, 0, 0), 0);
    EXPECT_GT(countPixels(0, 255, 0, 0), 100);

    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    drawWorldTriangle(kClockwise, 0xFFFF0000u);
    capture();
    EXPECT_GT(countPixels(255, 0, 0, 0), 100);
}

TEST_F(DepthAndCullTest, ProjectedDepthFollowsDirect3DRange) {
    // Two overlapping triangles at z 5 and 6: the nearer one wins whatever the order, which
    // needs Direct3D's [0, 1] depth mapping to survive the trip to GL.
    const float nearTri[3][3] = {{-1, -1, 5}, {0, 1, 5}, {1, -1, 5}};
    const float farTri[3][3] = {{-1.2f, -1.2f, 6}, {0, 1.2f, 6}, {1.2f, -1.2f, 6}};
    drawWorldTriangle(nearTri, 0xFF00FF00u);
    drawWorldTriangle(farTri, 0xFFFF0000u);
    capture();
    EXPECT_EQ(pixel(32, 32).g, 255);
    EXPECT_EQ(pixel(32, 32).r, 0);

    // Wireframe draws only edges: the centre stays clear.
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
    device_->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    drawWorldTriangle(nearTri, 0xFF00FF00u);
    capture();
    EXPECT_EQ(pixel(32, 36).g, 0);
    EXPECT_GT(countPixels(0, 255, 0, 0), 20);
}

}  // namespace
}  // namespace quorvel::testing
