// The logo sweep: a horizontal and two vertical scan lines cast rays from the lit logo pixels under
// them while the logo fades in; the rays glow on in accum, which decays and blurs every frame.
#include "effects/sweep.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "app/shell.h"
#include "render/resource_copy.h"
#include "render/truncate.h"

namespace {

constexpr std::int32_t rayIntensity = 255;
// A ray ends this many times as far from the centre as it starts; its light runs out long before.
constexpr std::int32_t rayReach = 500;

}  // namespace

int Sweep::Setup(std::int32_t logoWidth, std::int32_t logoHeight, std::int32_t resourceId) {
    width = logoWidth;
    height = logoHeight;
    endTime = never;
    // A repeated Setup renews only the surface and keeps the logo loaded the first time.
    if (surface) {
        ReleaseSurface();
    } else if (!LoadLogo(resourceId)) {
        return 0;
    }
    return CreateOwnSurface(320, 240, DDSCAPS_OFFSCREENPLAIN, "Sweep> CreateSurface FAILED");
}

int Sweep::LoadLogo(std::int32_t resourceId) {
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Only a Setup that failed before leaves a logo without a surface; its size may have been another.
    delete[] logo;
    logo = new (std::nothrow) std::uint8_t[bytes];
    if (!logo) return ReportFailure(GetActiveWindow(), DDERR_OUTOFMEMORY, "Sweep> Allocation FAILED");
    return CopyBinaryResource(resourceId, logo, bytes, "Sweep");
}

void Sweep::BuildPalette() {
    // Black to red over the lower half, then red to nearly white over the upper half.
    for (std::uint32_t i = 0; i < 128; ++i) palette[i] = (2 * i) << 16;
    for (std::uint32_t i = 128; i < 256; ++i) {
        const std::uint32_t level = 2 * (i - 128);
        palette[i] = 0xFF0000u | level << 8 | level;
    }
}

void Sweep::DrawLogo(std::int32_t phase) {
    const std::int32_t half = height / 2;
    if (phase <= half) return;
    const std::int32_t brightness = std::min<std::int32_t>(2 * (phase - half), 255);
    // The show places the logo inside the plane; a centre nearer an edge draws the part inside.
    const std::int32_t top = centerY - half, left = centerX - width / 2;
    const std::int32_t firstRow = std::max(0, -top), endRow = std::min(height, planeHeight - top);
    const std::int32_t firstColumn = std::max(0, -left), endColumn = std::min(width, planeWidth - left);
    for (std::int32_t r = firstRow; r < endRow; ++r) {
        const std::uint8_t* source = logo + r * width;
        std::uint8_t* target = canvas + (top + r) * planeWidth + left;
        for (std::int32_t c = firstColumn; c < endColumn; ++c)
            target[c] = static_cast<std::uint8_t>((source[c] * brightness) >> 8);
    }
}

// Four rays per lit pixel of one logo column, one per quarter pixel of the scan line, so their
// directions differ slightly.
void Sweep::CastColumnRays(std::int32_t column) {
    const std::int32_t x = centerX - width / 2 + column;
    const std::int32_t endX = centerX + rayReach * (column - width / 2);
    for (std::int32_t k = 0; k < 4 * height; ++k) {
        if (!logo[(k >> 2) * width + column]) continue;
        const double dy = k * 0.25 - height / 2;
        DrawFadingLine(x, TruncateToInt32(centerY + dy), endX, TruncateToInt32(centerY + rayReach * dy), rayIntensity,
                       rayFade, canvas);
    }
}

void Sweep::CastRays(std::int32_t phase) {
    if (phase < 0 || phase >= height) return;
    const std::int32_t half = height / 2;
    const std::int32_t y = centerY - half + phase;
    const std::int32_t endY = centerY + rayReach * (phase - half);
    for (std::int32_t k = 0; k < 4 * width; ++k) {
        if (!logo[phase * width + (k >> 2)]) continue;
        const double dx = k * 0.25 - width / 2;
        DrawFadingLine(TruncateToInt32(centerX + dx), y, TruncateToInt32(centerX + rayReach * dx), endY, rayIntensity,
                       rayFade, canvas);
    }
    // The vertical lines move out from the centre column by half the logo's width over its height.
    const std::uint32_t spread =
        static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(phase) / static_cast<std::uint32_t>(height) / 2;
    const std::uint32_t middle = static_cast<std::uint32_t>(width) / 2;
    CastColumnRays(static_cast<std::int32_t>(middle + spread));
    CastColumnRays(static_cast<std::int32_t>(middle - spread));
}

int Sweep::Render(std::int32_t time) {
    const std::int32_t rel = ActiveEffectTime(time, startTime, endTime);
    if (rel < 0) return 0;
    const std::int32_t phase = rel / 75;
    BuildPalette();
    DrawLogo(phase);
    CastRays(phase);
    return FinishFrame(192, 255);
}
