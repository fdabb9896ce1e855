// The texture stage set-up the built-in plug-ins draw with: stage 0 combines the bound texture
// with the vertex colour by one operation, for colour and alpha alike. Each plug-in applies the
// states its own way (the flat effects remember and restore them), so the caller passes the
// function that sets one stage state.
#pragma once

#include "platform/d3d8/d3d8.h"

namespace quorvel {

template <class SetStageState>
void combineTextureWithDiffuse(SetStageState set, DWORD op) {
    set(0, D3DTSS_COLOROP, op);
    set(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    set(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    set(0, D3DTSS_ALPHAOP, op);
    set(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    set(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

}  // namespace quorvel
