// The whole-plane kernels as plain per-byte loops: the definition that the fast sets must match byte for byte.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/kernel_sets.h"
#include "render/kernels.h"
#include "render/truncate.h"

namespace reference {

namespace {

constexpr int groupSize = 8;  // the blur computes and stores this many bytes at a time

// Neighbours before the plane's first byte or after its last count as 0.
int ByteAt(const std::uint8_t* plane, long position) {
    return position < 0 || position >= planeSize ? 0 : plane[position];
}

int NeighbourMean(const std::uint8_t* plane, long p) {
    const int sum = ByteAt(plane, p - 321) + ByteAt(plane, p - 320) + ByteAt(plane, p - 319) + ByteAt(plane, p - 1) +
                    ByteAt(plane, p + 1) + ByteAt(plane, p + 319) + ByteAt(plane, p + 320) + ByteAt(plane, p + 321);
    return sum >> 3;
}

void ClearRow(std::uint8_t* plane, int row) {
    for (int x = 0; x < planeWidth; ++x) plane[planeWidth * row + x] = 0;
}

}  // namespace

void ClearPlane(std::uint8_t* plane) {
    for (int p = 0; p < planeSize; ++p) plane[p] = 0;
}

void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow) {
    const int wd = dstWeight & 0xFF;
    const int ws = srcWeight & 0xFF;
    for (int p = planeWidth * firstRow; p < planeWidth * endRow; ++p) {
        // Each term is shifted on its own, so the sum is at most 508 before the clamp.
        const int sum = ((dst[p] * wd) >> 8) + ((src[p] * ws) >> 8);
        dst[p] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
}

void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow) {
    ClearRow(dst, firstRow);
    // Each group reads the bytes as they stand when it is reached: in place, the rows above and the byte
    // before the group already hold blurred values.
    for (long group = planeWidth * (firstRow + 1L); group < planeWidth * (endRow - 1L); group += groupSize) {
        std::uint8_t means[groupSize];
        for (int k = 0; k < groupSize; ++k) means[k] = static_cast<std::uint8_t>(NeighbourMean(src, group + k));
        for (int k = 0; k < groupSize; ++k) dst[group + k] = means[k];
    }
    ClearRow(dst, endRow - 1);
}

void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane) {
    for (int r = 0; r < planeHeight; ++r) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(pixels) + r * pitch);
        for (int c = 0; c < planeWidth; ++c) row[c] = palette[plane[planeWidth * r + c]];
    }
}

void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow) {
    constexpr int rowBytes = planeWidth * 4;
    for (int r = firstRow; r < endRow; ++r) {
        for (int b = 0; b < rowBytes; ++b) {
            const int sum = dst[r * dstPitch + b] + src[r * srcPitch + b];
            dst[r * dstPitch + b] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
        }
    }
}

void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit) {
    for (int y = 1; y < planeHeight - 1; ++y) {
        const std::uint8_t* h = heights + y * planeWidth;
        std::uint8_t* row = lit + (y - 1) * planeWidth;
        for (int x = 0; x < planeWidth; ++x) {
            const int u = ((h[x - 1] - h[x + 1]) >> 2) + (x >> 1) - lightX + 64;
            const int v = ((h[x - planeWidth] - h[x + planeWidth]) >> 2) + (y >> 1) - lightY + 64;
            if (u >= 0 && u <= 255 && v >= 0 && v <= 255) row[x] = lightMap[v * 256 + u];
        }
    }
}

void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1) {
    const std::int32_t k = pulse + 20;
    for (int i = 0; i < count; ++i) {
        std::uint16_t dot[3];
        std::memcpy(dot, dots + 6 * i, sizeof dot);
        const std::int32_t X = (dot[0] - 127) * k;
        const std::int32_t Y = (dot[1] - 127) * k;
        const std::int32_t Z = (dot[2] - 127) * k;
        const std::int32_t Z1 = (turns[0] * Z - turns[1] * Y) >> 8;
        const std::int32_t Y1 = (turns[1] * Z + turns[0] * Y) >> 8;
        const std::int32_t X2 = (turns[2] * X - turns[3] * Z1) >> 8;  // depth
        const std::int32_t Z2 = (turns[3] * X + turns[2] * Z1) >> 8;
        const std::int32_t W = (turns[4] * Z2 - turns[5] * Y1) >> 8;  // screen vertical
        const std::int32_t V = (turns[5] * Z2 + turns[4] * Y1) >> 8;  // screen horizontal
        // About 127, larger on the near side.
        const std::int32_t S = TruncateToInt32((X2 / 200) * 0.75 + 127.0);
        x0[i] = ((S * V) >> 16) + 160;
        y0[i] = ((S * W) >> 16) + 120;
        const std::int32_t L = TruncateToInt32((random[i] + 0.5) * pulse + 255.0);
        x1[i] = StreakEndOffset(L, S, V) + 160;
        y1[i] = StreakEndOffset(L, S, W) + 120;
    }
}

void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY) {
    for (int i = 0; i < count; ++i) {
        std::int32_t sx = 0;
        std::int32_t sy = 0;
        for (int k = 0; k < poleCount; ++k) {
            const std::int32_t dx = x[i] - poleX[k];
            const std::int32_t dy = y[i] - poleY[k];
            const std::int32_t q = (dx * dx + dy * dy) >> 1;
            if (q == 0) continue;
            sx += dx * 65536 / q;
            sy += dy * 65536 / q;
        }
        sumX[i] = sx;
        sumY[i] = sy;
    }
}

constinit const KernelTable kernels{KernelSet::Reference, ClearPlane, BlendPlanes, BlurPlane,     ExpandPlane,
                                    AddRowsSaturated,     LightPlane, ProjectDots, SumPoleFields, DrawFadingLine};

}  // namespace reference

std::int32_t StreakEndOffset(std::int32_t length, std::int32_t scale, std::int32_t v) {
    const std::uint32_t product =
        static_cast<std::uint32_t>(length) * static_cast<std::uint32_t>(scale) * static_cast<std::uint32_t>(v);
    return static_cast<std::int32_t>(product) >> 24;
}
