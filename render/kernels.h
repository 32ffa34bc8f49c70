// The pixel kernels that every effect draws with: whole-plane clear, blend, blur and palette expansion,
// the saturating row add of compositing, the fading line, and the shared helpers.
#pragma once

#include <cstdint>

// A plane is 320x240 intensity bytes, row-major with a stride of 320.
constexpr int planeWidth = 320;
constexpr int planeHeight = 240;
constexpr int planeSize = planeWidth * planeHeight;

void ClearPlane(std::uint8_t* plane);
// Rows [firstRow, endRow): dst = min(255, (dst*wd >> 8) + (src*ws >> 8)), weights taken & 0xFF.
void BlendPlanes(std::uint8_t* dst, const std::uint8_t* src, int dstWeight, int srcWeight, int firstRow, int endRow);
// Mean of the eight linear neighbours, in groups of eight bytes; dst may be src (in place).
void BlurPlane(std::uint8_t* dst, const std::uint8_t* src, int firstRow, int endRow);
// Each plane byte becomes its palette entry in 32-bit surface memory with the given row pitch in bytes.
void ExpandPlane(const std::uint32_t* palette, void* pixels, long pitch, const std::uint8_t* plane);
// Rows [firstRow, endRow) of 1280 bytes each: dst = min(255, dst + src) per byte, each with its own pitch.
void AddRowsSaturated(std::uint8_t* dst, long dstPitch, const std::uint8_t* src, long srcPitch, int firstRow,
                      int endRow);

// Lights a relief through a 256x256 light map. For rows y = 1..238 and columns x = 0..319 of `heights`,
// with the slopes read through the flat plane (a row's ends borrow from the rows beside it),
// u = ((h[p-1] - h[p+1]) >> 2) + (x >> 1) - lightX + 64 and v = ((h[p-320] - h[p+320]) >> 2) + (y >> 1) - lightY + 64;
// where both lie in 0..255, byte x of row y - 1 of `lit` becomes lightMap[v * 256 + u], elsewhere it
// keeps its value. lightX and lightY must lie within -16384..16383.
void LightPlane(const std::uint8_t* heights, const std::uint8_t* lightMap, int lightX, int lightY, std::uint8_t* lit);

// For each of `count` points, the fields of the poles summed, in 1/256 pixel: with dx, dy the point
// less a pole and q = (dx*dx + dy*dy) >> 1, each pole adds dx * 65536 / q and dy * 65536 / q, the
// quotients truncated toward zero; a pole with q = 0 adds nothing. Every |dx| and |dy| must be at most
// 32767; a term is then at most 65536 in size.
void SumPoleFields(const std::int32_t* x, const std::int32_t* y, int count, const std::int32_t* poleX,
                   const std::int32_t* poleY, int poleCount, std::int32_t* sumX, std::int32_t* sumY);

// The streaks of the dot cube. Dot i is six bytes at dots + 6i: x, y and z as 16-bit little-endian
// values 0..255 (centre 127), the layout of the cube's own dots. They are scaled by pulse + 20 (pulse 0..1000), turned
// by the fixed-point turns (sine, cosine pairs scaled by 255: about x, then y, then z), and projected to a streak from
// (x0, y0) towards (x1, y1) whose length follows random[i] (0..1) and pulse. The arithmetic is exactly the cube's own;
// the sets differ only in how many dots they take at a time.
void ProjectDots(const std::uint8_t* dots, int count, const std::int32_t turns[6], std::int32_t pulse,
                 const double* random, std::int32_t* x0, std::int32_t* y0, std::int32_t* x1, std::int32_t* y1);
// One coordinate of a streak's end relative to the screen centre, as ProjectDots takes it: the low
// 32 bits of length * scale * v, read as signed, >> 24. The wrap is intended; the result is -128..127.
std::int32_t StreakEndOffset(std::int32_t length, std::int32_t scale, std::int32_t v);

void DrawFadingLine(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1, std::int32_t intensity,
                    std::int32_t step, std::uint8_t* plane);

// Which implementation of the kernels above runs. The fast ones give identical results.
// In order of the instructions they need, each set needing those of the sets before it; AVX512 needs
// the byte permutes (VBMI) too.
enum class KernelSet { Reference, SSE2, AVX2, AVX512 };
KernelSet BestKernelSet();  // the fastest this processor runs
KernelSet CurrentKernelSet();
void UseKernelSet(KernelSet set);  // a set the processor lacks falls back to the best it has
const char* KernelSetName(KernelSet set);
