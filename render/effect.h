// The effect object model: every effect draws into a 320x240 surface of its own, which the
// sequencer copies or adds into the back buffer. Plane effects draw 8-bit intensities first.
#pragma once

#include <cstdint>

#include "platform/ddraw.h"
#include "render/kernels.h"

// The demo ms no time reaches: the end of a scene that runs on, a start or change yet to come.
constexpr std::uint32_t never = 0xFFFFFFFF;

// Demo ms `time` less `start`, wrapping like the 32-bit subtraction it is: a start still ahead (or
// more than 2^31 ms behind) reads as negative.
constexpr std::int32_t TimeSince(std::int32_t time, std::int32_t start) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(time) - static_cast<std::uint32_t>(start));
}

// The effect time of demo ms `time`, or -1 when the scene does not draw then: after `endTime`
// (unsigned, inclusive end) or before `startTime`.
constexpr std::int32_t ActiveEffectTime(std::int32_t time, std::int32_t startTime, std::uint32_t endTime) {
    if (static_cast<std::uint32_t>(time) > endTime) return -1;
    const std::int32_t t = TimeSince(time, startTime);
    return t < 0 ? -1 : t;
}

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
