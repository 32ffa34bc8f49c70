// The blurs' steps at the plane's ends: the first step of a band touching row 0 reaches one byte
// before the plane and the last one of a band touching row 239 one byte after it; those steps read
// from a copy with zeros outside the plane instead.
#pragma once

#include <cstdint>

#include "render/kernels.h"

template <long vectorBytes>
class BlurEdgeWindow {
public:
    static constexpr long reach = planeWidth + 1;

    static bool Near(long position) { return position < reach || position + reach + vectorBytes > planeSize; }

    // The bytes around `position`, zero outside the plane; the result points at `position`.
    const std::uint8_t* Around(const std::uint8_t* plane, long position) {
        for (long i = 0; i < static_cast<long>(sizeof(bytes_)); ++i) {
            const long p = position - reach + i;
            bytes_[i] = p < 0 || p >= planeSize ? 0 : plane[p];
        }
        return bytes_ + reach;
    }

private:
    std::uint8_t bytes_[2 * reach + vectorBytes];
};
