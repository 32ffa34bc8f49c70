// The fading line: clipped to the plane, stepped with an integer error term, dimmer with every pixel.
#include <cstdint>
#include <cstdlib>

#include "render/kernel_sets.h"
#include "render/kernels.h"
#include "render/tables.h"

namespace {

constexpr std::int64_t lastColumn = planeWidth - 1;
constexpr std::int64_t lastRow = planeHeight - 1;

// Coordinates are widened to 64 bits: a difference of two 32-bit coordinates times a third stays
// below 2^63, and every clipped value lies between the two original ones, so it fits 32 bits again.
struct Segment {
    std::int64_t x0, y0, x1, y1;
};

bool OutsideOnOneSide(const Segment& s) {
    return (s.x0 < 0 && s.x1 < 0) || (s.x0 > lastColumn && s.x1 > lastColumn) || (s.y0 < 0 && s.y1 < 0) ||
           (s.y0 > lastRow && s.y1 > lastRow);
}

// Cuts both ends to 0..last along one axis (a), moving each along the line in the other (b). Called
// for x when the rejection test leaves at most one end beyond each x edge, and for y when the ends are
// not beyond the same y edge: both keep every divisor positive.
void ClipAxis(std::int64_t& a0, std::int64_t& b0, std::int64_t& a1, std::int64_t& b1, std::int64_t last) {
    if (a0 < 0) {
        b0 = b1 + (b0 - b1) * a1 / (a1 - a0);
        a0 = 0;
    }
    if (a1 < 0) {
        b1 = b0 + (b1 - b0) * a0 / (a0 - a1);
        a1 = 0;
    }
    if (a0 > last) {
        b0 = b1 + (b0 - b1) * (last - a1) / (a0 - a1);
        a0 = last;
    }
    if (a1 > last) {
        b1 = b0 + (b1 - b0) * (last - a0) / (a1 - a0);
        a1 = last;
    }
}

bool InsidePlane(std::int64_t x, std::int64_t y) { return x >= 0 && x <= lastColumn && y >= 0 && y <= lastRow; }

// Cuts the segment to the plane: false when nothing of it is to be drawn.
bool ClipToPlane(Segment& s) {
    if (OutsideOnOneSide(s)) return false;
    ClipAxis(s.x0, s.y0, s.x1, s.y1, lastColumn);
    // A segment that misses the plane can end up wholly above or below it once its x range is cut.
    if (OutsideOnOneSide(s)) return false;
    ClipAxis(s.y0, s.x0, s.y1, s.x1, lastRow);
    // The line stays within the box of its two ends, so checking them keeps every write in the plane.
    return InsidePlane(s.x0, s.y0) && InsidePlane(s.x1, s.y1);
}

// The stepping of a clipped segment: `count` steps along its longer axis, `delta` its extent across.
struct Steps {
    int x, y, sx, sy, count, delta;
    bool flat;
};

// The signs of the differences as `Sign` gives them for their single-precision values, or, with
// `integerSigns`, straight from the integers, which is the same: the conversion keeps sign and zero.
template <bool integerSigns>
Steps StepsOf(const Segment& s) {
    const int dx = static_cast<int>(s.x1 - s.x0);
    const int dy = static_cast<int>(s.y1 - s.y0);
    const bool flat = std::abs(dx) > std::abs(dy);
    return {static_cast<int>(s.x0),
            static_cast<int>(s.y0),
            integerSigns ? (dx > 0) - (dx < 0) : Sign(static_cast<float>(dx)),
            integerSigns ? (dy > 0) - (dy < 0) : Sign(static_cast<float>(dy)),
            flat ? std::abs(dx) : std::abs(dy),
            flat ? std::abs(dy) : std::abs(dx),
            flat};
}

}  // namespace

namespace reference {

// One pixel at a time, checking the intensity and the error term at each.
void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane) {
    Segment s{x0, y0, x1, y1};
    if (!ClipToPlane(s)) return;
    const Steps line = StepsOf<false>(s);
    int x = line.x;
    int y = line.y;
    const int straightX = line.flat ? line.sx : 0;
    const int straightY = line.flat ? 0 : line.sy;
    const int fade = step & 0xFF;
    // 64 bits so that a start near the bottom of the 32-bit range still ends the line, not wraps.
    std::int64_t level = intensity;
    int err = line.count >> 1;
    for (int i = 0; i <= line.count; ++i) {
        plane[planeWidth * y + x] = static_cast<std::uint8_t>(level & 0xFF);
        level -= fade;
        if (level < 0) return;
        err += line.delta;
        if (err >= line.count) {
            err -= line.count;
            x += line.sx;
            y += line.sy;
        } else {
            x += straightX;
            y += straightY;
        }
    }
}

}  // namespace reference

namespace scalar {

// The number of pixels is known before the loop, the intensity's low byte wraps by itself, integer
// signs replace the float ones, and each step moves one offset by one of two amounts, picked by
// conditional moves rather than a branch that a sloping line would mispredict.
void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane) {
    Segment s{x0, y0, x1, y1};
    if (!ClipToPlane(s)) return;
    const Steps line = StepsOf<true>(s);
    const int fade = step & 0xFF;
    // A negative start writes its first pixel only; otherwise the line stops at its end or before the
    // intensity would go below zero, whichever comes first.
    long pixels = line.count + 1L;
    if (intensity < 0) {
        pixels = 1;
    } else if (fade > 0 && intensity / fade < line.count) {
        pixels = intensity / fade + 1L;
    }
    const long straight = line.flat ? line.sx : planeWidth * line.sy;
    const long diagonal = planeWidth * line.sy + line.sx;
    const long count = line.count;
    const long delta = line.delta;
    // An offset, not a pointer: the step after the last pixel may lead outside the plane.
    long at = planeWidth * line.y + line.x;
    auto value = static_cast<std::uint8_t>(intensity & 0xFF);
    const auto byteFade = static_cast<std::uint8_t>(fade);
    long err = count >> 1;
    for (long i = 0; i < pixels; ++i) {
        plane[at] = value;
        value = static_cast<std::uint8_t>(value - byteFade);  // the low byte of the intensity, wrapping
        const long sum = err + delta;
        const long less = sum - count;
        err = less >= 0 ? less : sum;
        at += less >= 0 ? diagonal : straight;
    }
}

}  // namespace scalar
