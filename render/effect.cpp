// Surface creation, the two compositing operations and the shared end of a plane effect's frame.
#include "render/effect.h"

#include "app/shell.h"

int Effect::Render(std::int32_t) { return 0; }
int Effect::Init() { return 0; }

HRESULT LockWhole(IDirectDrawSurface7* surface, DDSURFACEDESC2& description) {
    description = DDSURFACEDESC2{};
    description.dwSize = sizeof description;
    return surface->Lock(nullptr, &description, 0, nullptr);
}

void Effect::ReleaseSurface() {
    if (surface) {
        surface->Release();
        surface = nullptr;
    }
}

int Effect::CreateOwnSurface(std::uint32_t surfaceWidth, std::uint32_t surfaceHeight, DWORD caps,
                             const char* failureMessage) {
    ReleaseSurface();
    DDSURFACEDESC2 description{};
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    description.dwWidth = surfaceWidth;
    description.dwHeight = surfaceHeight;
    description.ddsCaps.dwCaps = caps;
    const HRESULT result = directDraw ? directDraw->CreateSurface(&description, &surface, nullptr) : DDERR_GENERIC;
    if (result != DD_OK) {
        surface = nullptr;
        return ReportFailure(GetActiveWindow(), result, "%s", failureMessage);
    }
    return 1;
}

HRESULT Effect::BlitSurface() { return backBuffer->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr); }

void Effect::AddSurfaceRows(int firstRow, int endRow) {
    if (firstRow < 0 || firstRow >= endRow || endRow > 240) return;
    DDSURFACEDESC2 source, target;
    if (LockWhole(surface, source) != DD_OK) return;
    if (LockWhole(backBuffer, target) != DD_OK) {
        surface->Unlock(nullptr);
        return;
    }
    AddRowsSaturated(static_cast<std::uint8_t*>(target.lpSurface), target.lPitch,
                     static_cast<const std::uint8_t*>(source.lpSurface), source.lPitch, firstRow, endRow);
    backBuffer->Unlock(nullptr);
    surface->Unlock(nullptr);
}

void PlaneEffect::ExpandToSurface(const std::uint8_t* plane) {
    DDSURFACEDESC2 description;
    if (LockWhole(surface, description) != DD_OK) return;
    ExpandPlane(palette, description.lpSurface, description.lPitch, plane);
    surface->Unlock(nullptr);
}

int PlaneEffect::FinishFrame(int dstWeight, int srcWeight) {
    BlendPlanes(accum, canvas, dstWeight, srcWeight, 0, planeHeight);
    BlurPlane(accum, accum, 0, planeHeight);
    ExpandToSurface(accum);
    ClearPlane(canvas);
    return 1;
}
