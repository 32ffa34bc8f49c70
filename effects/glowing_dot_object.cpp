// The rotating, pulsing cube of 1200 glowing dots, drawn as streaks away from its centre.
#include "effects/glowing_dot_object.h"

#include "effects/field_colours.h"
#include "render/tables.h"
#include "render/truncate.h"

std::int32_t pulseLength = 0;

namespace {

constexpr int edgeCount = 12;
constexpr int dotsPerEdge = 100;
constexpr int dotCount = edgeCount * dotsPerEdge;

}  // namespace

std::int32_t PulseLengthAfter(std::uint32_t sinceBeat) {
    const auto length = static_cast<std::int32_t>(150 - (sinceBeat % 400) / 3);
    return length < 50 ? 50 : length;
}

void RotationAngles(std::int32_t t, std::int32_t angles[3]) {
    // In 64 bits so that 2t cannot overflow; the sums are never negative.
    const std::int64_t wide = t;
    const auto angle = [](std::int64_t slow, std::int32_t wobbleIndex) {
        return static_cast<std::int32_t>(((slow + 5 * cosTable[wobbleIndex % 3600] + 3600) >> 1) % 3600);
    };
    angles[0] = angle(wide, t / 2);
    angles[1] = angle(2 * wide, t / 4);
    angles[2] = angle(wide / 2, t / 3);
}

void GlowingDotObject::BuildDots() {
    // The generator is drawn row by row across the twelve edges, not in array order.
    for (int i = 0; i < dotsPerEdge; ++i) {
        const double base = i * 2.55;
        for (int e = 0; e < edgeCount; ++e) {
            // Dots 97..99 of an edge may pass 255 and wrap to its start.
            const auto v = static_cast<std::uint16_t>(static_cast<std::int32_t>(Random01Wide() * 10.0 + base) % 255);
            // Edges 0..3 vary x, 4..7 y, 8..11 z; the other two sit at 0 or 255 by bits 0 and 1 of e.
            const auto a = static_cast<std::uint16_t>((e & 1) * 255);
            const auto b = static_cast<std::uint16_t>(((e >> 1) & 1) * 255);
            Dot& dot = dots[dotsPerEdge * e + i];
            if (e < 4)
                dot = {v, a, b};
            else if (e < 8)
                dot = {a, v, b};
            else
                dot = {a, b, v};
        }
    }
}

int GlowingDotObject::Init() {
    width = 320;
    height = 240;
    endTime = never;
    if (!CreateOwnSurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                          DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, "GlowingDotObject> CreateSurface FAILED"))
        return 0;
    BuildDots();
    return 1;
}

int GlowingDotObject::Render(std::int32_t time) {
    // Both are written by the music thread; each is read once for the whole frame.
    const std::int32_t start = startTime.load(std::memory_order_relaxed);
    const std::int32_t beat = beatTime.load(std::memory_order_relaxed);
    const std::int32_t t = ActiveEffectTime(time, start, endTime);
    if (t < 0) return 0;

    pulseLength = PulseLengthAfter(static_cast<std::uint32_t>(TimeSince(t, beat)));
    const Tint colour = DriftTint(t);
    tint[0] = static_cast<std::uint8_t>(colour.red);
    tint[1] = static_cast<std::uint8_t>(colour.green);
    tint[2] = static_cast<std::uint8_t>(colour.blue);
    BuildTintPalette(palette, colour);

    std::int32_t angles[3];
    RotationAngles(t, angles);
    const std::int32_t turns[6] = {sinTable[angles[0]], cosTable[angles[0]], sinTable[angles[1]],
                                   cosTable[angles[1]], sinTable[angles[2]], cosTable[angles[2]]};

    // One random number per dot and frame, in dot order.
    double random[dotCount];
    for (double& r : random) r = Random01Wide();
    std::int32_t x0[dotCount], y0[dotCount], x1[dotCount], y1[dotCount];
    static_assert(sizeof(Dot) == 6, "the projection reads the dots as six bytes each");
    ProjectDots(reinterpret_cast<const std::uint8_t*>(dots), dotCount, turns, pulseLength, random, x0, y0, x1, y1);
    for (int i = 0; i < dotCount; ++i) DrawFadingLine(x0[i], y0[i], x1[i], y1[i], 255, 10, canvas);
    return FinishFrame(192, 255);
}
