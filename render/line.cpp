// The fading line: clipped to the plane, stepped with an integer error term, dimmer with every pixel.
#include <cstdint>
#include <cstdlib>

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

// The divisors here cannot be zero: the rejection test leaves at most one end beyond each x edge.
void ClipColumns(Segment& s) {
  if (s.x0 < 0) {
    s.y0 = s.y1 + (s.y0 - s.y1) * s.x1 / (s.x1 - s.x0);
    s.x0 = 0;
  }
  if (s.x1 < 0) {
    s.y1 = s.y0 + (s.y1 - s.y0) * s.x0 / (s.x0 - s.x1);
    s.x1 = 0;
  }
  if (s.x0 > lastColumn) {
    s.y0 = s.y1 + (s.y0 - s.y1) * (lastColumn - s.x1) / (s.x0 - s.x1);
    s.x0 = lastColumn;
  }
  if (s.x1 > lastColumn) {
    s.y1 = s.y0 + (s.y1 - s.y0) * (lastColumn - s.x0) / (s.x1 - s.x0);
    s.x1 = lastColumn;
  }
}

// Called only when the ends are not beyond the same y edge, which keeps every divisor positive.
void ClipRows(Segment& s) {
  if (s.y0 < 0) {
    s.x0 = s.x1 + (s.x0 - s.x1) * s.y1 / (s.y1 - s.y0);
    s.y0 = 0;
  }
  if (s.y1 < 0) {
    s.x1 = s.x0 + (s.x1 - s.x0) * s.y0 / (s.y0 - s.y1);
    s.y1 = 0;
  }
  if (s.y0 > lastRow) {
    s.x0 = s.x1 + (s.x0 - s.x1) * (lastRow - s.y1) / (s.y0 - s.y1);
    s.y0 = lastRow;
  }
  if (s.y1 > lastRow) {
    s.x1 = s.x0 + (s.x1 - s.x0) * (lastRow - s.y0) / (s.y1 - s.y0);
    s.y1 = lastRow;
  }
}

bool InsidePlane(std::int64_t x, std::int64_t y) { return x >= 0 && x <= lastColumn && y >= 0 && y <= lastRow; }

}  // namespace

void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane) {
  Segment s{x0, y0, x1, y1};
  if (OutsideOnOneSide(s)) return;
  ClipColumns(s);
  // A segment that misses the plane can end up wholly above or below it once its x range is cut.
  if (OutsideOnOneSide(s)) return;
  ClipRows(s);
  // The line stays within the box of its two ends, so checking them keeps every write in the plane.
  if (!InsidePlane(s.x0, s.y0) || !InsidePlane(s.x1, s.y1)) return;

  int x = static_cast<int>(s.x0);
  int y = static_cast<int>(s.y0);
  const int dx = static_cast<int>(s.x1 - s.x0);
  const int dy = static_cast<int>(s.y1 - s.y0);
  const int sx = Sign(static_cast<float>(dx));
  const int sy = Sign(static_cast<float>(dy));
  const bool flat = std::abs(dx) > std::abs(dy);
  const int count = flat ? std::abs(dx) : std::abs(dy);
  const int delta = flat ? std::abs(dy) : std::abs(dx);
  const int straightX = flat ? sx : 0;
  const int straightY = flat ? 0 : sy;
  const int fade = step & 0xFF;
  // 64 bits so that a start near the bottom of the 32-bit range still ends the line, not wraps.
  std::int64_t level = intensity;
  int err = count >> 1;
  for (int i = 0; i <= count; ++i) {
    plane[planeWidth * y + x] = static_cast<std::uint8_t>(level & 0xFF);
    level -= fade;
    if (level < 0) return;
    err += delta;
    if (err >= count) {
      err -= count;
      x += sx;
      y += sy;
    } else {
      x += straightX;
      y += straightY;
    }
  }
}
