// The opening relief: two height pictures from the program's resources, lit through a precomputed
// light spot whose read position each pixel's slope displaces.
#include "effects/bumped_surface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/resource_ids.h"
#include "app/shell.h"
#include "render/resource_copy.h"
#include "render/tables.h"

namespace {

constexpr int fadeInEnd = 19200;                 // ms; the level rises by one every 75 ms
constexpr std::uint32_t crossfadeLength = 9600;  // ms

// Copies a whole "Binary" picture resource; 0 after reporting a missing or short one.
int LoadPicture(int id, std::uint8_t* picture) { return CopyBinaryResource(id, picture, planeSize, "BumpedSurface"); }

// An index into the first turn of a trig table; the demo clock can start slightly below zero.
int TurnIndex(std::int32_t angle) {
    const int index = angle % 3600;
    return index < 0 ? index + 3600 : index;
}

}  // namespace

int BumpedSurface::Init() {
    crossfadeStart = never;
    fadeOutStart = never;
    width = 320;
    height = 240;
    // A second Init only renews the surface; the pictures loaded the first time stay.
    if (surface) {
        ReleaseSurface();
    } else if (!LoadPicture(IDR_RELIEF_A, pictureA) || !LoadPicture(IDR_RELIEF_B, pictureB)) {
        return 0;
    }
    BuildLightMap();
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "BumpedSurface> CreateSurface FAILED");
}

void BumpedSurface::BuildLightMap() {
    for (int j = -128; j < 128; ++j) {
        for (int i = -128; i < 128; ++i) {
            const int v = static_cast<int>(255.0 - std::sqrt(static_cast<double>(i * i + j * j)) * 2.5);
            lightMap[(j + 128) * 256 + i + 128] = static_cast<std::uint8_t>(std::max(v, 0));
        }
    }
}

void BumpedSurface::BuildPalette(int lightLevel) {
    const std::uint32_t level = static_cast<std::uint32_t>(lightLevel);
    for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint32_t red = i < 128 ? 0 : ((i - 128) * level) >> 7;
        const std::uint32_t green = (i * level) >> 8;
        const std::uint32_t blue = i < 128 ? (i * level) >> 7 : level;
        palette[i] = red << 16 | green << 8 | blue;
    }
}

void BumpedSurface::ComposeHeights(std::uint32_t time) {
    // The end of the cross-fade wraps like the 32-bit times it is compared with.
    if (time < crossfadeStart) {
        std::memcpy(accum, pictureA, planeSize);
    } else if (time < crossfadeStart + crossfadeLength) {
        const int d = static_cast<int>(time - crossfadeStart);
        std::memcpy(accum, pictureA, planeSize);
        // The first weight would be 256 at d = 0, which the blend would read as 0.
        BlendPlanes(accum, pictureB, std::min(255, (19200 - 2 * d) / 75), 2 * d / 75, 0, planeHeight);
    } else {
        std::memcpy(accum, pictureB, planeSize);
    }
}

void BumpedSurface::LightUp(std::int32_t time) {
    // One cycle in x every 7200 ms, in y every 10800 ms; the shifts floor, giving -64..63.
    const int lx = cosTable[TurnIndex(time / 2)] >> 2;
    const int ly = sinTable[TurnIndex(time / 3)] >> 2;
    LightPlane(accum, lightMap, lx, ly, canvas);
}

int BumpedSurface::Render(std::int32_t time) {
    // Before the clock reaches 0 the level stays at black rather than going negative.
    if (time < fadeInEnd) BuildPalette(std::max(time, 0) / 75);
    const std::uint32_t t = static_cast<std::uint32_t>(time);
    if (t > fadeOutStart) {
        // Past 2400 ms the difference goes below zero and wraps to a huge level: the scene is over.
        const std::uint32_t level = (19200u - 8u * (t - fadeOutStart)) / 75u;
        if (level > 255) return 0;
        BuildPalette(static_cast<int>(level));
    }
    ComposeHeights(t);
    LightUp(time);
    ExpandToSurface(canvas);
    ClearPlane(accum);
    return 1;
}
