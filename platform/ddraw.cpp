// DirectDraw 7 over the host: every surface is plain system memory; a copy onto the primary surface
// hands the picture to the host. Surfaces end with the DirectDraw object, as on Windows.
#include "platform/ddraw.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/host.h"

const GUID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace {

qhost::Host& Host(const char* call) {
    qhost::Host& host = qhost::Current();
    host.Record(call);
    return host;
}

class Surface;
std::vector<std::unique_ptr<Surface>> surfaces;  // every surface that exists; see Device::Release
bool deviceAlive = false;

class Surface final : public IDirectDrawSurface7 {
public:
    Surface(int width, int height, bool primary)
        : width_(width),
          height_(height),
          primary_(primary),
          pitch_(qhost::Current().SurfacePitch(width * 4L)),
          bytes_(static_cast<std::size_t>(pitch_) * static_cast<std::size_t>(height), 0) {}

    HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                                  LPDDBLTFX effects) override {
        qhost::Host& host = Host(primary_ ? "Blt.primary" : "Blt");
        if (HRESULT fault = host.Fault(primary_ ? "Blt.primary" : "Blt")) return fault;
        if (!alive_) return DDERR_SURFACELOST;
        if (destRect || sourceRect || locked_) return locked_ ? DDERR_SURFACEBUSY : DDERR_INVALIDPARAMS;
        if (flags & DDBLT_COLORFILL) {
            if (!effects || primary_) return DDERR_INVALIDPARAMS;
            Fill(effects->dwFillColor);
            return DD_OK;
        }
        auto* from = static_cast<Surface*>(source);
        if (!from || !from->alive_ || from->locked_)
            return from && from->locked_ ? DDERR_SURFACEBUSY : DDERR_INVALIDPARAMS;
        if (primary_) {
            if (host.ScreenLost()) return DDERR_SURFACELOST;
            return host.Present(reinterpret_cast<const std::uint32_t*>(from->bytes_.data()), from->pitch_)
                       ? DD_OK
                       : DDERR_SURFACELOST;
        }
        CopyFrom(*from);
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 description, DWORD, HANDLE) override {
        qhost::Host& host = Host("Lock");
        if (HRESULT fault = host.Fault("Lock")) return fault;
        if (!alive_ || primary_) return DDERR_SURFACELOST;
        if (rect || !description) return DDERR_INVALIDPARAMS;
        if (locked_) return DDERR_SURFACEBUSY;
        locked_ = true;
        description->dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_LPSURFACE;
        description->dwWidth = static_cast<DWORD>(width_);
        description->dwHeight = static_cast<DWORD>(height_);
        description->lPitch = static_cast<LONG>(pitch_);
        description->lpSurface = bytes_.data();
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Unlock(LPRECT) override {
        Host("Unlock");
        if (!locked_) return DDERR_INVALIDPARAMS;  // DDERR_NOTLOCKED
        locked_ = false;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE Restore() override {
        qhost::Host& host = Host("Restore");
        if (HRESULT fault = host.Fault("Restore")) return fault;
        if (!alive_) return DDERR_SURFACELOST;
        if (primary_) host.RestoreScreen();
        return DD_OK;
    }

    ULONG STDMETHODCALLTYPE Release() override {
        Host("Surface.Release");
        std::erase_if(surfaces, [this](const std::unique_ptr<Surface>& s) { return s.get() == this; });
        return 0;
    }

    void Kill() { alive_ = false; }

private:
    void Fill(DWORD colour) {
        for (int y = 0; y < height_; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(bytes_.data() + y * pitch_);
            std::fill(row, row + width_, colour);
        }
    }

    void CopyFrom(const Surface& from) {
        const int w = std::min(width_, from.width_), h = std::min(height_, from.height_);
        for (int y = 0; y < h; ++y)
            std::memcpy(bytes_.data() + y * pitch_, from.bytes_.data() + y * from.pitch_,
                        static_cast<std::size_t>(w) * 4);
    }

    int width_, height_;
    bool primary_;
    long pitch_;
    std::vector<std::uint8_t> bytes_;
    bool alive_ = true;
    bool locked_ = false;
};

class Device final : public IDirectDraw7 {
public:
    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        qhost::Host& host = Host("SetCooperativeLevel");
        if (HRESULT fault = host.Fault("SetCooperativeLevel")) return fault;
        if (!window || flags != (DDSCL_FULLSCREEN | DDSCL_EXCLUSIVE)) return DDERR_INVALIDPARAMS;
        exclusive_ = true;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD, DWORD) override {
        qhost::Host& host = Host("SetDisplayMode");
        if (HRESULT fault = host.Fault("SetDisplayMode")) return fault;
        if (!exclusive_) return DDERR_NOEXCLUSIVEMODE;
        if (width != 320 || height != 240 || bitsPerPixel != 32) return DDERR_UNSUPPORTEDMODE;
        host.SetDisplayMode(static_cast<int>(width), static_cast<int>(height));
        modeSet_ = true;
        return DD_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 description, LPDIRECTDRAWSURFACE7 FAR* surface,
                                            IUnknown FAR*) override {
        qhost::Host& host = Host("CreateSurface");
        if (HRESULT fault = host.Fault("CreateSurface")) return fault;
        if (!description || !surface || description->dwSize != sizeof(DDSURFACEDESC2) ||
            !(description->dwFlags & DDSD_CAPS))
            return DDERR_INVALIDPARAMS;
        const bool primary = description->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE;
        int width = 320, height = 240;
        if (!primary) {
            if ((description->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) ||
                description->dwWidth == 0 || description->dwHeight == 0 || description->dwWidth > 4096 ||
                description->dwHeight > 4096)
                return DDERR_INVALIDPARAMS;
            width = static_cast<int>(description->dwWidth);
            height = static_cast<int>(description->dwHeight);
        }
        surfaces.push_back(std::make_unique<Surface>(width, height, primary));
        *surface = surfaces.back().get();
        return DD_OK;
    }

    // Ends the exclusive mode and, with it, every surface. The surfaces' memory stays until the
    // program ends, so a stale pointer only ever sees a lost surface.
    ULONG STDMETHODCALLTYPE Release() override {
        qhost::Host& host = Host("DirectDraw.Release");
        for (auto& s : surfaces) s->Kill();
        if (modeSet_) host.RestoreDisplayMode();
        deviceAlive = false;
        delete this;
        return 0;
    }

private:
    bool exclusive_ = false;
    bool modeSet_ = false;
};

}  // namespace

HRESULT WINAPI DirectDrawCreateEx(GUID FAR* driver, LPVOID* directDraw, REFIID interfaceId, IUnknown FAR*) {
    qhost::Host& host = Host("DirectDrawCreateEx");
    if (HRESULT fault = host.Fault("DirectDrawCreateEx")) return fault;
    if (driver || !directDraw || std::memcmp(&interfaceId, &IID_IDirectDraw7, sizeof(GUID)) != 0)
        return DDERR_INVALIDPARAMS;
    if (deviceAlive) return DDERR_GENERIC;
    deviceAlive = true;
    *directDraw = static_cast<IDirectDraw7*>(new Device);
    return DD_OK;
}
