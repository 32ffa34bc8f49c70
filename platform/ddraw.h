// The part of DirectDraw 7 that the demo calls, with the names, layouts and result codes of the real SDK.
// On Windows the real header is used; elsewhere a surface is plain system memory kept by the platform layer.
#pragma once

#include "platform/win32.h"

#ifdef _WIN32
#include <ddraw.h>
#else

struct IUnknown;
struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
typedef GUID IID;
typedef const IID& REFIID;
extern const GUID IID_IDirectDraw7;

#define STDMETHODCALLTYPE
#define MAKE_DDHRESULT(code) static_cast<HRESULT>(0x88760000u + (code))

// Results.
#define DD_OK 0
#define DDERR_GENERIC static_cast<HRESULT>(0x80004005u)
#define DDERR_INVALIDPARAMS static_cast<HRESULT>(0x80070057u)
#define DDERR_OUTOFMEMORY static_cast<HRESULT>(0x8007000Eu)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_WASSTILLDRAWING MAKE_DDHRESULT(540)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(80)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)

// Cooperative level, surface description flags and capabilities, blit flags.
#define DDSCL_FULLSCREEN 0x00000001L
#define DDSCL_EXCLUSIVE 0x00000010L
#define DDSD_CAPS 0x00000001L
#define DDSD_HEIGHT 0x00000002L
#define DDSD_WIDTH 0x00000004L
#define DDSD_PITCH 0x00000008L
#define DDSD_LPSURFACE 0x00000800L
#define DDSCAPS_OFFSCREENPLAIN 0x00000040L
#define DDSCAPS_PRIMARYSURFACE 0x00000200L
#define DDSCAPS_SYSTEMMEMORY 0x00000800L
#define DDBLT_COLORFILL 0x00000400L
#define DDBLT_WAIT 0x01000000L

struct IDirectDrawSurface7;
typedef IDirectDrawSurface7 FAR* LPDIRECTDRAWSURFACE7;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef void* HANDLE;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DDSCAPS2 {
    DWORD dwCaps;
    DWORD dwCaps2;
    DWORD dwCaps3;
    DWORD dwCaps4;
};

struct DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS2 ddsCaps;
    DWORD dwTextureStage;
};
typedef DDSURFACEDESC2* LPDDSURFACEDESC2;

struct DDBLTFX {
    DWORD dwSize;
    DWORD dwDDFX;
    DWORD dwROP;
    DWORD dwDDROP;
    DWORD dwRotationAngle;
    DWORD dwZBufferOpCode;
    DWORD dwZBufferLow;
    DWORD dwZBufferHigh;
    DWORD dwZBufferBaseDest;
    DWORD dwZDestConstBitDepth;
    union {
        DWORD dwZDestConst;
        LPDIRECTDRAWSURFACE7 lpDDSZBufferDest;
    };
    DWORD dwZSrcConstBitDepth;
    union {
        DWORD dwZSrcConst;
        LPDIRECTDRAWSURFACE7 lpDDSZBufferSrc;
    };
    DWORD dwAlphaEdgeBlendBitDepth;
    DWORD dwAlphaEdgeBlend;
    DWORD dwReserved;
    DWORD dwAlphaDestConstBitDepth;
    union {
        DWORD dwAlphaDestConst;
        LPDIRECTDRAWSURFACE7 lpDDSAlphaDest;
    };
    DWORD dwAlphaSrcConstBitDepth;
    union {
        DWORD dwAlphaSrcConst;
        LPDIRECTDRAWSURFACE7 lpDDSAlphaSrc;
    };
    union {
        DWORD dwFillColor;
        DWORD dwFillDepth;
        DWORD dwFillPixel;
        LPDIRECTDRAWSURFACE7 lpDDSPattern;
    };
    DDCOLORKEY ddckDestColorkey;
    DDCOLORKEY ddckSrcColorkey;
};
typedef DDBLTFX* LPDDBLTFX;

// 124 and 100 bytes with 32-bit pointers, as on the system the demo was made for; the pointer
// members make them larger on 64-bit systems, as in the real SDK.
static_assert(sizeof(void*) != 4 || sizeof(DDSURFACEDESC2) == 124);
static_assert(sizeof(void*) != 4 || sizeof(DDBLTFX) == 100);

// A surface: the screen, the back buffer or an effect's own picture.
struct IDirectDrawSurface7 {
    virtual HRESULT STDMETHODCALLTYPE Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                                          LPDDBLTFX effects) = 0;
    virtual HRESULT STDMETHODCALLTYPE Lock(LPRECT rect, LPDDSURFACEDESC2 description, DWORD flags, HANDLE event) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unlock(LPRECT rect) = 0;
    virtual HRESULT STDMETHODCALLTYPE Restore() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IDirectDrawSurface7() = default;
};

// The display device: exclusive mode, display mode and surface creation.
struct IDirectDraw7 {
    virtual HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate,
                                                     DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSurface(LPDDSURFACEDESC2 description, LPDIRECTDRAWSURFACE7 FAR* surface,
                                                    IUnknown FAR* outer) = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IDirectDraw7() = default;
};
typedef IDirectDraw7 FAR* LPDIRECTDRAW7;

HRESULT WINAPI DirectDrawCreateEx(GUID FAR* driver, LPVOID* directDraw, REFIID interfaceId, IUnknown FAR* outer);

#endif
