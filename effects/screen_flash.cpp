// The flash: a colour whose strength falls from 1 to 0 over 75 / fadeRate ms, filled over the surface.
#include "effects/screen_flash.h"

DWORD FlashFill(std::uint8_t red, std::uint8_t green, std::uint8_t blue, float strength) {
    const auto scaled = [strength](std::uint8_t v) {
        return static_cast<DWORD>(static_cast<std::int32_t>(v * static_cast<double>(strength)) & 0xFF);
    };
    return scaled(red) << 16 | scaled(green) << 8 | scaled(blue);
}

int ScreenFlash::Init() {
    width = 320;
    height = 240;
    return CreateOwnSurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                            DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, "ScreenFlash> CreateSurface FAILED");
}

int ScreenFlash::Render(std::int32_t time) {
    const float oneSeventyFifth = 0.013333334f;
    const std::int32_t elapsed = TimeSince(time, startTime);
    const double strength = 1.0 - static_cast<double>(elapsed) * static_cast<double>(fadeRate) * oneSeventyFifth;
    if (strength > 1.0) return 0;
    const float x = static_cast<float>(strength);
    if (x < 0) return 0;

    DDBLTFX fill{};
    fill.dwSize = sizeof fill;
    fill.dwFillColor = FlashFill(red, green, blue, x);
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill);
    return 1;
}
