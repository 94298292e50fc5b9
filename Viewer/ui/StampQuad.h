#pragma once
// The quads the view draws its overlay stamps on: four transformed, textured vertices made once for
// the client size of the paint that needed them (a device reset drops them, so they follow a resize).
#include <windows.h>
#include <d3d9.h>

struct StampVertex {
    float x, y, z, rhw;
    float u, v;
};
inline constexpr DWORD StampVertexFormat = D3DFVF_XYZRHW | D3DFVF_TEX1;

// width x height in the middle of the client; null when the device cannot make the buffer.
IDirect3DVertexBuffer9* CreateCenteredQuad(const RECT& client, float width, float height) noexcept;
// width x height in the client's bottom-left corner.
IDirect3DVertexBuffer9* CreateBottomLeftQuad(const RECT& client, float width, float height) noexcept;
