// The angle tables, the one random generator and the sign helper shared by all effects.
#pragma once

#include <cstdint>

constexpr int trigTableSize = 7200;  // two turns in tenths of a degree
extern std::int32_t cosTable[trigTableSize];
extern std::int32_t sinTable[trigTableSize];

void BuildTrigTables();

// Both advance the same generator. Random01Wide gives the product r * 3.0518509e-05f before it is
// rounded to single precision, which is how the dot cube uses it.
float Random01();
double Random01Wide();

int Sign(float x);
