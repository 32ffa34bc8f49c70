// Float to 32-bit integer conversion, truncating toward zero. A value outside the int32 range gives
// 0x80000000, what the x86 conversion instruction gives, instead of undefined behaviour.
#pragma once

#include <cstdint>

constexpr std::int32_t TruncateToInt32(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}
