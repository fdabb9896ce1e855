#include "flatdrome/QuadDrawer.h"

#include <cstring>
#include <vector>

#include "plugin/TextureStages.h"

namespace quorvel::flat {

namespace {

// Sets device states, remembering each one's earlier value once, and puts them all back when it
// goes out of scope.
class SavedStates {
public:
    explicit SavedStates(IDirect3DDevice8& device) : device_(device) {}
    ~SavedStates() {
        for (auto it = stage_.rbegin(); it != stage_.rend(); ++it)
            device_.SetTextureStageState(it->stage, it->type, it->value);
        for (auto it = render_.rbegin(); it != render_.rend(); ++it) device_.SetRenderState(it->state, it->value);
        if (textureSaved_) {
            device_.SetTexture(0, texture_);
            if (texture_) texture_->Release();
        }
    }
    SavedStates(const SavedStates&) = delete;
    SavedStates& operator=(const SavedStates&) = delete;

    void render(D3DRENDERSTATETYPE state, DWORD value) {
        DWORD old = 0;
        if (device_.GetRenderState(state, &old) >= 0) render_.push_back({state, old});
        device_.SetRenderState(state, value);
    }
    void stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
        DWORD old = 0;
        if (device_.GetTextureStageState(stage, type, &old) >= 0) stage_.push_back({stage, type, old});
        device_.SetTextureStageState(stage, type, value);
    }
    void texture(IDirect3DBaseTexture8* texture) {
        textureSaved_ = device_.GetTexture(0, &texture_) >= 0;
        if (!textureSaved_) texture_ = nullptr;
        device_.SetTexture(0, texture);
    }

private:
    struct RenderValue {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    struct StageValue {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE type;
        DWORD value;
    };
    IDirect3DDevice8& device_;
    std::vector<RenderValue> render_;
    std::vector<StageValue> stage_;
    IDirect3DBaseTexture8* texture_ = nullptr;
    bool textureSaved_ = false;
};

constexpr UINT QuadBytes = sizeof(Quad);

}  // namespace

HRESULT QuadDrawer::create(IDirect3DDevice8* device) {
    release();
    if (device == nullptr) return E_FAIL;
    const HRESULT result = device->CreateVertexBuffer(QuadBytes, D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, QuadFvf,
                                                      D3DPOOL_DEFAULT, &buffer_);
    if (result < 0) {
        buffer_ = nullptr;
        return result;
    }
    device_ = device;
    return 0;
}

void QuadDrawer::release() {
    if (buffer_) buffer_->Release();
    buffer_ = nullptr;
    device_ = nullptr;
}

void QuadDrawer::draw(const Quad& quad, IDirect3DBaseTexture8* texture, Blend blend) {
    if (!buffer_) return;
    BYTE* data = nullptr;
    if (buffer_->Lock(0, QuadBytes, &data, D3DLOCK_DISCARD) < 0 || data == nullptr) return;
    std::memcpy(data, &quad, QuadBytes);
    buffer_->Unlock();

    SavedStates states(*device_);
    states.render(D3DRS_ZENABLE, D3DZB_FALSE);
    states.render(D3DRS_ZWRITEENABLE, FALSE);
    states.render(D3DRS_CULLMODE, D3DCULL_NONE);
    states.render(D3DRS_FILLMODE, D3DFILL_SOLID);
    states.render(D3DRS_ALPHATESTENABLE, FALSE);
    states.render(D3DRS_FOGENABLE, FALSE);
    states.render(D3DRS_ALPHABLENDENABLE, TRUE);
    states.render(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    states.render(D3DRS_DESTBLEND, blend == Blend::Additive ? D3DBLEND_ONE : D3DBLEND_INVSRCALPHA);
    states.texture(texture);
    combineTextureWithDiffuse([&states](DWORD stage, D3DTEXTURESTAGESTATETYPE type,
                                        DWORD value) { states.stage(stage, type, value); },
                              texture ? D3DTOP_MODULATE : D3DTOP_SELECTARG2);
    states.stage(0, D3DTSS_TEXCOORDINDEX, 0);
    states.stage(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    states.stage(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    states.stage(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    states.stage(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    states.stage(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    states.stage(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    states.stage(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    states.stage(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);

    device_->SetVertexShader(QuadFvf);
    device_->SetStreamSource(0, buffer_, sizeof(QuadVertex));
    device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
}

}  // namespace quorvel::flat
