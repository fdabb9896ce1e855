// Feeds arbitrary bytes as an image file to the texture loader, with a requested size, level
// count, format and filters taken from the first bytes. Decoding may fail, but must never read
// or write outside its buffers, and a texture it returns must have been filled within its
// levels.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

#include "platform/d3dx8/d3dx8tex.h"
#include "support/RecordingDevice.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    static const D3DFORMAT kFormats[] = {D3DFMT_UNKNOWN,  D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,
                                         D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5};
    static const DWORD kFilters[] = {D3DX_DEFAULT, D3DX_FILTER_NONE, D3DX_FILTER_POINT, D3DX_FILTER_LINEAR,
                                     D3DX_FILTER_BOX};
    const UINT width = data[0] == 0 ? D3DX_DEFAULT : data[0];
    const UINT height = data[1] == 0 ? D3DX_DEFAULT : data[1];
    const UINT levels = data[2] & 7;
    const D3DFORMAT format = kFormats[(data[2] >> 3) & 7];
    const DWORD filter = kFilters[data[3] % 5], mipFilter = kFilters[(data[3] / 5) % 5];

    static const std::string path = "/tmp/quorvel_fuzz_texture_" + std::to_string(::getpid());
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 4, 1, size - 4, f);
        std::fclose(f);
    } else {
        return 0;
    }
    auto* device = new quorvel::testing::RecordingDevice(64, 64);
    IDirect3DTexture8* texture = nullptr;
    D3DXIMAGE_INFO info{};
    D3DXCreateTextureFromFileExA(device, path.c_str(), width, height, levels, 0, format, D3DPOOL_MANAGED, filter,
                                 mipFilter, data[0] == 7 ? 0xFF000000u : 0u, &info, nullptr, &texture);
    if (texture) texture->Release();
    device->Release();
    return 0;
}
