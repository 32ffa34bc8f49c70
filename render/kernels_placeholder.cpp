// Placeholder kernels until the real ones land.
#include "render/kernels.h"
#include "render/tables.h"

#include <cstring>

std::int32_t cosTable[trigTableSize];
std::int32_t sinTable[trigTableSize];
void BuildTrigTables() {}
float Random01() { return 0; }
double Random01Wide() { return 0; }
int Sign(float x) { return x > 0 ? 1 : x == 0 ? 0 : -1; }
void ClearPlane(std::uint8_t* plane) { std::memset(plane, 0, planeSize); }
void BlendPlanes(std::uint8_t*, const std::uint8_t*, int, int, int, int) {}
void BlurPlane(std::uint8_t*, const std::uint8_t*, int, int) {}
void ExpandPlane(const std::uint32_t*, void*, long, const std::uint8_t*) {}
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow, int endRow) {
    for (int r = firstRow; r < endRow; ++r)
        for (int b = 0; b < 1280; ++b) {
            const int sum = dst[r * dstPitch + b] + src[r * srcPitch + b];
            dst[r * dstPitch + b] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
}
void DrawFadingLine(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::uint8_t*) {}
