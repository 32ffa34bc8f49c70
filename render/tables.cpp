// The angle tables, the demo's one random generator and the sign helper.
#include "render/tables.h"

#include <bit>
#include <cmath>

std::int32_t cosTable[trigTableSize];
std::int32_t sinTable[trigTableSize];

namespace {

// Kept unsigned so that the recurrence wraps modulo 2^32 as intended; never reseeded.
std::uint32_t randomState = 1;

// The single-precision value nearest to pi/180, a little below it, so quarter turns fall just short.
constexpr float radiansPerDegree = 0.017453292f;
static_assert(__builtin_bit_cast(std::uint32_t, radiansPerDegree) == 0x3C8EFA35u);

// The single-precision value nearest to 1/32767.
constexpr float inverseRandomRange = 3.0518509e-05f;
static_assert(__builtin_bit_cast(std::uint32_t, inverseRandomRange) == 0x38000100u);

}  // namespace

void BuildTrigTables() {
    for (int i = 0; i < trigTableSize; ++i) {
        // Tenths of a degree, in double precision throughout.
        const double angle = (i * static_cast<double>(radiansPerDegree)) * 0.1;
        sinTable[i] = static_cast<std::int32_t>(255.0 * std::sin(angle));
        cosTable[i] = static_cast<std::int32_t>(255.0 * std::cos(angle));
    }
}

double Random01Wide() {
    randomState = randomState * 214013u + 2531011u;
    const std::uint32_t r = (randomState >> 16) & 0x7FFFu;
    // Exact in double: a 15-bit integer times a 24-bit mantissa.
    return r * static_cast<double>(inverseRandomRange);
}

float Random01() { return static_cast<float>(Random01Wide()); }

int Sign(float x) {
    if (x > 0.0f) return 1;
    if (x == 0.0f) return 0;
    return -1;
}
