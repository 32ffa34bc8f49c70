// The effect object model: every effect draws into a 320x240 surface of its own, which the
// sequencer copies or adds into the back buffer. Plane effects draw 8-bit intensities first.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"
#include "render/kernels.h"

class Effect {
public:
    // Draws the frame for `time` (demo ms) into `surface`: 1, or 0 when not active then.
    virtual int Render(std::int32_t time);
    // Creates `surface` and prepares the effect: 1, or 0 after the failure was reported.
    virtual int Init();

    // Copies the whole surface over the back buffer; the result of the Blt.
    HRESULT BlitSurface();
    // Adds rows [firstRow, endRow) into the back buffer, byte by byte with saturation.
    void AddSurfaceRows(int firstRow, int endRow);

    std::int32_t width = 0;
    std::int32_t height = 0;
    IDirectDrawSurface7* surface = nullptr;

protected:
    // Releases any surface there is, then creates a 320x240 one with these caps; on failure reports
    // "<className>> CreateSurface FAILED" and returns 0.
    int CreateOwnSurface(std::uint32_t width, std::uint32_t height, DWORD caps, const char* failureMessage);
    void ReleaseSurface();
};

class PlaneEffect : public Effect {
public:
    std::uint32_t palette[256] = {};
    std::uint8_t canvas[planeSize] = {};
    std::uint8_t accum[planeSize] = {};

protected:
    // Shows `plane` through the palette, unless the surface cannot be locked.
    void ExpandToSurface(const std::uint8_t* plane);
    // The common end of a frame: blend canvas into accum, blur accum, show it, clear canvas.
    int FinishFrame(int dstWeight, int srcWeight);
};

// Every lock in the effects: the whole surface, no waiting.
HRESULT LockWhole(IDirectDrawSurface7* surface, DDSURFACEDESC2& description);
