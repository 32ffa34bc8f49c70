// Field lines of ten wandering poles: a fading line from every grid point along the summed field.
#include "effects/magnetic_field.h"

#include "effects/field_colours.h"
#include "render/tables.h"

namespace {

struct PoleAxis {
    const std::int32_t* table;
    double multiplier;  // 0: the index is t itself
};

// Each pole's x and y follow one table at their own rate, so the paths never repeat together.
const PoleAxis poleXAxes[poleCount] = {
    {cosTable, 0.0},
    {sinTable, 0.8333333333333334},
    {sinTable, 0.5882352941176471},
    {cosTable, 0.625},
    {sinTable, 0.7142857142857143},
    {cosTable, 2.5},
    {sinTable, 1.3},
    {sinTable, 1.3},
    {cosTable, 0.7142857142857143},
    {cosTable, 0.5263157894736842},
};
const PoleAxis poleYAxes[poleCount] = {
    {sinTable, 0.6666666666666666}, {cosTable, 1.3}, {sinTable, 1.3}, {sinTable, 1.8}, {sinTable, 2.5},
    {sinTable, 0.6666666666666666}, {cosTable, 1.3}, {cosTable, 1.6}, {sinTable, 1.2}, {sinTable, 0.9090909090909091},
};

std::int32_t AxisValue(const PoleAxis& axis, std::int32_t t) {
    // The scaled time exceeds 32 bits after some 10 days; 64 bits keep the index in the table.
    const std::int64_t scaled = axis.multiplier == 0.0 ? t : static_cast<std::int64_t>(t * axis.multiplier);
    return axis.table[scaled % 3600];
}

constexpr std::int32_t gridStep = 10;  // pixels between grid points
constexpr int gridColumns = planeWidth / gridStep;
constexpr int gridRows = planeHeight / gridStep;
constexpr int gridPoints = gridColumns * gridRows;

// The grid points column by column, the order their lines are drawn in.
struct Grid {
    std::int32_t x[gridPoints];
    std::int32_t y[gridPoints];
};

constexpr Grid MakeGrid() {
    Grid grid{};
    for (int i = 0; i < gridPoints; ++i) {
        grid.x[i] = gridStep * (i / gridRows);
        grid.y[i] = gridStep * (i % gridRows);
    }
    return grid;
}

constexpr Grid grid = MakeGrid();

}  // namespace

void PolePositions(std::int32_t t, std::int32_t poleX[poleCount], std::int32_t poleY[poleCount]) {
    for (int k = 0; k < poleCount; ++k) {
        // Table range -255..255 gives x in -9..330 and y in -7..247.
        poleX[k] = static_cast<std::int32_t>(AxisValue(poleXAxes[k], t) * 0.6666666666666666 + 160.0);
        poleY[k] = (AxisValue(poleYAxes[k], t) >> 1) + 120;
    }
}

void DrawFieldLine(std::int32_t x, std::int32_t y, std::int32_t sumX, std::int32_t sumY, std::uint8_t* canvas) {
    DrawFadingLine(x, y, x + (sumX >> 8), y + (sumY >> 8), 64, 2, canvas);
}

int MagneticField::Init() {
    width = 320;
    height = 240;
    endTime = never;
    return CreateOwnSurface(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                            DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, "MagneticField> CreateSurface FAILED");
}

int MagneticField::Render(std::int32_t time) {
    const std::int32_t t = ActiveEffectTime(time, startTime, endTime);
    if (t < 0) return 0;
    BuildTintPalette(palette, DriftTint(t));

    std::int32_t poleX[poleCount], poleY[poleCount];
    PolePositions(t, poleX, poleY);
    // All the divisions first, in one pass over the grid; |dx| <= 330 and |dy| <= 247.
    std::int32_t sumX[gridPoints], sumY[gridPoints];
    SumPoleFields(grid.x, grid.y, gridPoints, poleX, poleY, poleCount, sumX, sumY);
    // Column by column: later lines overwrite earlier ones where they cross.
    for (int i = 0; i < gridPoints; ++i) DrawFieldLine(grid.x[i], grid.y[i], sumX[i], sumY[i], canvas);
    return FinishFrame(224, 255);
}
