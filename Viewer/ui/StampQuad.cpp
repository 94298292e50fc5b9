#include "Viewer/ui/StampQuad.h"
#include "Viewer/ui/RenderDevice.h"

namespace {

// Top-left, top-right, bottom-left, bottom-right: a strip of two triangles.
IDirect3DVertexBuffer9* CreateQuadAt(float x0, float y0, float width, float height) noexcept
{
    if (!RenderDevice.Device) return nullptr;
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(RenderDevice.Device->CreateVertexBuffer(4 * sizeof(StampVertex), 0, StampVertexFormat, D3DPOOL_MANAGED,
                                                       &buffer, nullptr)))
        return nullptr;
    void* data = nullptr;
    if (FAILED(buffer->Lock(0, 0, &data, 0))) {
        buffer->Release();
        return nullptr;
    }
    auto* vertices = static_cast<StampVertex*>(data);
    vertices[0] = {x0, y0, 0.0f, 1.0f, 0.0f, 0.0f};
    vertices[1] = {x0 + width, y0, 0.0f, 1.0f, 1.0f, 0.0f};
    vertices[2] = {x0, y0 + height, 0.0f, 1.0f, 0.0f, 1.0f};
    vertices[3] = {x0 + width, y0 + height, 0.0f, 1.0f, 1.0f, 1.0f};
    buffer->Unlock();
    return buffer;
}

}  // namespace

IDirect3DVertexBuffer9* CreateCenteredQuad(const RECT& client, float width, float height) noexcept
{
    return CreateQuadAt((static_cast<float>(client.right - client.left) - width) * 0.5f,
                        (static_cast<float>(client.bottom - client.top) - height) * 0.5f, width, height);
}

IDirect3DVertexBuffer9* CreateBottomLeftQuad(const RECT& client, float width, float height) noexcept
{
    return CreateQuadAt(static_cast<float>(client.left), static_cast<float>(client.bottom) - height, width, height);
}
