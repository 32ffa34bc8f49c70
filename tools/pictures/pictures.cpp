// Makes data/relief_a.bin and data/relief_b.bin: the two 320x240 height pictures of the opening scene.
//   pictures OUTPUT_DIR
#include "tools/common/datafile.h"
#include "tools/common/lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int width = 320;
constexpr int height = 240;

struct Point {
    double x, y;
};

class HeightMap {
public:
    HeightMap() : values(width * height, 0.0) {}
    double& At(int x, int y) { return values[y * width + x]; }
    std::vector<std::uint8_t> Bytes() const {
        std::vector<std::uint8_t> out(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) out[i] = datafile::ToByte(values[i]);
        return out;
    }

private:
    std::vector<double> values;
};

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

double SmoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// The smaller of a and b, with the corner where they meet rounded over a width of k.
double SoftMin(double a, double b, double k) {
    const double h = std::max(k - std::fabs(a - b), 0.0) / k;
    return std::min(a, b) - h * h * k / 4.0;
}

// Smooth value noise in -1..1 with features `period` pixels apart; the lattice values come from a hash,
// so the noise is the same everywhere.
class ValueNoise {
public:
    ValueNoise(std::uint32_t seedValue, double featureSize) : seed(seedValue), period(featureSize) {}
    double At(double x, double y) const {
        const double fx = x / period, fy = y / period;
        const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
        const double tx = SmoothStep(fx - ix), ty = SmoothStep(fy - iy);
        const double top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
        const double bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
        return top + (bottom - top) * ty;
    }

private:
    double Lattice(int x, int y) const {
        std::uint32_t h =
            seed ^ (static_cast<std::uint32_t>(x) * 0x9E3779B1u) ^ (static_cast<std::uint32_t>(y) * 0x85EBCA77u);
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
        h *= 0x297A2D39u;
        h ^= h >> 15;
        return static_cast<double>(h >> 8) / 8388608.0 - 1.0;
    }
    std::uint32_t seed;
    double period;
};

// Seeds of a jittered grid with one extra row and column all round, so that the cells at the picture's
// edge are closed too; each has its own bulge.
struct Pebbles {
    std::vector<Point> seeds;
    std::vector<double> bulge;
    double cellArea;
};

Pebbles SowPebbles(int columns, int rows) {
    datafile::Random random(0x51A7E5u);
    const double cellW = static_cast<double>(width) / columns, cellH = static_cast<double>(height) / rows;
    Pebbles pebbles{{}, {}, cellW * cellH};
    for (int r = -1; r <= rows; ++r) {
        for (int c = -1; c <= columns; ++c) {
            pebbles.seeds.push_back(
                {(c + 0.5 + random.Between(-0.38, 0.38)) * cellW, (r + 0.5 + random.Between(-0.38, 0.38)) * cellH});
            pebbles.bulge.push_back(random.Between(30.0, 70.0));
        }
    }
    return pebbles;
}

std::size_t NearestSeed(const std::vector<Point>& seeds, Point p) {
    std::size_t nearest = 0;
    double best = 1e30;
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        const double d = Length(p.x - seeds[i].x, p.y - seeds[i].y);
        if (d < best) {
            best = d;
            nearest = i;
        }
    }
    return nearest;
}

// Distance from p, in the cell of seed `own`, to the cell's outline: the nearest of the bisectors with
// the other seeds, softly so that the pebble's corners come out round.
double SeamDistance(const std::vector<Point>& seeds, std::size_t own, Point p) {
    const double ox = p.x - seeds[own].x, oy = p.y - seeds[own].y;
    double seam = 1e30;
    for (std::size_t i = 0; i < seeds.size(); ++i) {
        if (i == own) continue;
        const double dx = p.x - seeds[i].x, dy = p.y - seeds[i].y;
        const double apart = Length(seeds[i].x - seeds[own].x, seeds[i].y - seeds[own].y);
        seam = SoftMin(seam, (dx * dx + dy * dy - ox * ox - oy * oy) / (2.0 * apart), 10.0);
    }
    return seam;
}

// Picture A: rounded pebbles, as if set in mortar. Each pebble is the cell of one seed (a Voronoi
// cell); it rounds off over `rim` pixels towards the seams, its middle bulges a little, and a faint
// grain keeps it from looking like plastic.
HeightMap PebbleRelief() {
    const Pebbles pebbles = SowPebbles(8, 6);
    const ValueNoise grain(0x3C6EF372u, 6.0);
    const double rim = 12.0;
    HeightMap map;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Point p{x + 0.5, y + 0.5};
            const std::size_t own = NearestSeed(pebbles.seeds, p);
            const double t = std::min(SeamDistance(pebbles.seeds, own, p) / rim, 1.0);
            const double shoulder = 1.0 - (1.0 - t) * (1.0 - t);
            const double dx = p.x - pebbles.seeds[own].x, dy = p.y - pebbles.seeds[own].y;
            const double dome = pebbles.bulge[own] * std::max(0.0, 1.0 - (dx * dx + dy * dy) / pebbles.cellArea);
            map.At(x, y) = 25.0 + shoulder * (130.0 + dome) + 14.0 * grain.At(x, y);
        }
    }
    return map;
}

// Sine of `angle` radians from its Taylor series after reducing the angle to -pi/2..pi/2, so that the
// pictures do not depend on the C library's sin.
double Sine(double angle) {
    const double pi = 3.14159265358979323846;
    double a = angle - 2.0 * pi * std::floor(angle / (2.0 * pi) + 0.5);
    if (a > pi / 2.0) a = pi - a;
    if (a < -pi / 2.0) a = -pi - a;
    const double a2 = a * a;
    double term = a, sum = a;
    for (int n = 1; n <= 10; ++n) {
        term = -term * a2 / ((2.0 * n) * (2.0 * n + 1.0));
        sum += term;
    }
    return sum;
}

double Cosine(double angle) { return Sine(angle + 3.14159265358979323846 / 2.0); }

// Signed distances, positive inside a shape. A shape is a function of the pixel centre.
double CircleDepth(Point p, Point centre, double radius) { return radius - Length(p.x - centre.x, p.y - centre.y); }

double SegmentDistance(Point p, Point a, Point b) {
    const double abx = b.x - a.x, aby = b.y - a.y;
    const double t = std::clamp(((p.x - a.x) * abx + (p.y - a.y) * aby) / (abx * abx + aby * aby), 0.0, 1.0);
    return Length(p.x - a.x - t * abx, p.y - a.y - t * aby);
}

double PolygonDepth(Point p, const std::vector<Point>& corners) {
    double distance = 1e30;
    bool inside = false;
    for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
        const Point a = corners[j], b = corners[i];
        distance = std::min(distance, SegmentDistance(p, a, b));
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
    return inside ? distance : -distance;
}

double BoxDepth(Point p, double left, double top, double right, double bottom, double round) {
    const double qx = std::fabs(p.x - (left + right) / 2.0) - ((right - left) / 2.0 - round);
    const double qy = std::fabs(p.y - (top + bottom) / 2.0) - ((bottom - top) / 2.0 - round);
    const double outside = Length(std::max(qx, 0.0), std::max(qy, 0.0));
    return round - outside - std::min(std::max(qx, qy), 0.0);
}

// Lays a feature over the map: where its depth reaches `bevel` the surface is at the feature's level;
// across the rim it rises from what lies below, steepest at the outline, like a rounded edge. The light
// lookup shifts by a quarter of the height step between a pixel's neighbours, so rims of 1-7 pixels with
// steps of 40-130 give shifts of about 5-20 light-map pixels: clear relief without tearing.
template <typename Shape, typename Level>
void LayShaped(HeightMap& map, double bevel, Shape depthAt, Level levelAt) {
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Point p{x + 0.5, y + 0.5};
            const double depth = depthAt(p);
            if (depth <= 0.0) continue;
            double& h = map.At(x, y);
            const double t = std::min(depth / bevel, 1.0);
            h += (levelAt(p) - h) * (1.0 - (1.0 - t) * (1.0 - t));
        }
    }
}

template <typename Shape>
void Lay(HeightMap& map, double level, double bevel, Shape depthAt) {
    LayShaped(map, bevel, depthAt, [level](Point) { return level; });
}

struct Gear {
    Point centre;
    int teeth;
    double pitchRadius;
    double phase;  // angle of the first tooth, radians
};

// The gear's outline: trapezoidal teeth one module above and below the pitch circle.
std::vector<Point> GearOutline(const Gear& gear) {
    const double pi = 3.14159265358979323846;
    const double module = 2.0 * gear.pitchRadius / gear.teeth;
    const double tip = gear.pitchRadius + module, root = gear.pitchRadius - 1.2 * module;
    const double pitch = 2.0 * pi / gear.teeth;
    const double profile[][2] = {{-0.5, root}, {-0.31, root}, {-0.17, tip}, {0.17, tip}, {0.31, root}};
    std::vector<Point> corners;
    for (int k = 0; k < gear.teeth; ++k) {
        for (const auto& corner : profile) {
            const double angle = gear.phase + (k + corner[0]) * pitch;
            corners.push_back({gear.centre.x + corner[1] * Cosine(angle), gear.centre.y + corner[1] * Sine(angle)});
        }
    }
    return corners;
}

void LayGear(HeightMap& map, const Gear& gear, double level, int holes, bool emblem) {
    const double pi = 3.14159265358979323846;
    const std::vector<Point> outline = GearOutline(gear);
    const double module = 2.0 * gear.pitchRadius / gear.teeth;
    const double rimInner = gear.pitchRadius - 1.2 * module - 0.16 * gear.pitchRadius;
    const double hub = 0.36 * gear.pitchRadius;
    const double holeRadius = (rimInner - hub) * 0.42;
    const double holeOrbit = (rimInner + hub) / 2.0;
    std::vector<Point> holeCentres;
    for (int i = 0; i < holes; ++i) {
        const double angle = gear.phase + 2.0 * pi * (i + 0.5) / holes;
        holeCentres.push_back({gear.centre.x + holeOrbit * Cosine(angle), gear.centre.y + holeOrbit * Sine(angle)});
    }
    // The face rises a little towards the middle, so the light slides over it.
    const double tip = gear.pitchRadius + module;
    LayShaped(
        map, 7.0,
        [&](Point p) {
            double depth = PolygonDepth(p, outline);
            for (const Point& c : holeCentres) depth = std::min(depth, -CircleDepth(p, c, holeRadius));
            return depth;
        },
        [&](Point p) {
            const double dx = p.x - gear.centre.x, dy = p.y - gear.centre.y;
            return level + 20.0 * (1.0 - (dx * dx + dy * dy) / (tip * tip));
        });
    if (emblem) {
        // A raised boss with the demo's Q cut into it.
        const double boss = hub * 1.15;
        Lay(map, level + 55.0, 6.0, [&](Point p) { return CircleDepth(p, gear.centre, boss); });
        const double half = 0.11 * boss;
        const double side = 1.12 * boss;
        const lettering::Placement place{gear.centre.x - side / 2.0 + half,
                                         gear.centre.y - side / 2.0 + half,
                                         (side - 2.0 * half) / 100.0,
                                         (side - 2.0 * half) / 100.0,
                                         half,
                                         0.3 * side};
        const lettering::GlyphField q(*lettering::FindGlyph('Q'), place);
        Lay(map, level, 2.5, [&](Point p) { return q.Depth(p.x, p.y); });
        return;
    }
    // A raised hub ring around the axle.
    Lay(map, level + 45.0, 3.5,
        [&](Point p) { return std::min(CircleDepth(p, gear.centre, hub), -CircleDepth(p, gear.centre, hub * 0.45)); });
    Lay(map, level - 60.0, 3.5, [&](Point p) { return CircleDepth(p, gear.centre, hub * 0.45 - 1.0); });
}

// Copper traces on a board: random walks over a grid of nodes that turn by 45 degrees at most and never
// touch each other, each ending in a round pad.
struct Board {
    std::vector<std::vector<Point>> traces;
};

Board RouteTraces(datafile::Random& random, const std::vector<std::pair<int, int>>& starts,
                  std::vector<std::uint8_t>& taken, int columns, int rows, double spacing, int extra) {
    static const int stepX[8] = {1, 1, 0, -1, -1, -1, 0, 1};
    static const int stepY[8] = {0, 1, 1, 1, 0, -1, -1, -1};
    auto free = [&](int c, int r) { return c >= 0 && r >= 0 && c < columns && r < rows && !taken[r * columns + c]; };
    // The neighbourhood of a node must be free too, so that traces keep one node of clearance.
    auto clear = [&](int c, int r, int fromC, int fromR) {
        for (int j = -1; j <= 1; ++j)
            for (int i = -1; i <= 1; ++i) {
                const int nc = c + i, nr = r + j;
                if (std::abs(nc - fromC) <= 1 && std::abs(nr - fromR) <= 1) continue;
                if (nc >= 0 && nr >= 0 && nc < columns && nr < rows && taken[nr * columns + nc]) return false;
            }
        return free(c, r);
    };
    Board board;
    std::vector<std::pair<int, int>> queue = starts;
    for (int i = 0; i < extra; ++i)
        queue.push_back({static_cast<int>(random.Next() % columns), static_cast<int>(random.Next() % rows)});
    for (std::size_t n = 0; n < queue.size(); ++n) {
        int c = queue[n].first, r = queue[n].second;
        const bool fromPin = n < starts.size();
        if (!fromPin && !clear(c, r, -9, -9)) continue;
        int direction = fromPin ? (c < columns / 2 ? 4 : 0) : static_cast<int>(random.Next() % 8);
        std::vector<std::pair<int, int>> path{{c, r}};
        const int length = 4 + static_cast<int>(random.Next() % 14);
        for (int step = 0; step < length; ++step) {
            if (step > 1 && random.Unit() < 0.3) direction = (direction + (random.Next() % 2 ? 1 : 7)) % 8;
            const int nc = c + stepX[direction], nr = r + stepY[direction];
            if (!clear(nc, nr, c, r)) break;
            // Diagonal steps must not cross another diagonal step through the same square.
            if (direction % 2 && taken[r * columns + nc] && taken[nr * columns + c]) break;
            taken[r * columns + c] = 1;
            c = nc;
            r = nr;
            path.push_back({c, r});
        }
        if (path.size() < 3) continue;
        taken[r * columns + c] = 1;
        std::vector<Point> points;
        for (const auto& node : path) points.push_back({(node.first + 0.5) * spacing, (node.second + 0.5) * spacing});
        board.traces.push_back(points);
    }
    return board;
}

// Picture B: machinery on a circuit board. Bevelled gears in mesh, the big one with a Q on its hub, sit
// over raised copper traces with round pads and a chip.
HeightMap MachineRelief() {
    HeightMap map;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) map.At(x, y) = 20.0;

    // The board: nodes 8 pixels apart; the chip covers a block of them and its pins start traces.
    constexpr double spacing = 8.0;
    constexpr int columns = width / 8, rows = height / 8;
    std::vector<std::uint8_t> taken(columns * rows, 0);
    const int chipLeft = 28, chipTop = 16, chipRight = 33, chipBottom = 25;  // in nodes, inclusive
    std::vector<std::pair<int, int>> pins;
    for (int r = chipTop; r <= chipBottom; ++r)
        for (int c = chipLeft; c <= chipRight; ++c) taken[r * columns + c] = 1;
    for (int r = chipTop + 1; r < chipBottom; r += 2) {
        pins.push_back({chipLeft - 1, r});
        pins.push_back({chipRight + 1, r});
    }
    datafile::Random random(0xC1C01u);
    const Board board = RouteTraces(random, pins, taken, columns, rows, spacing, 600);
    Lay(map, 62.0, 1.5, [&](Point p) {
        double depth = -1e30;
        for (const auto& trace : board.traces) {
            for (std::size_t i = 0; i + 1 < trace.size(); ++i)
                depth = std::max(depth, 1.8 - SegmentDistance(p, trace[i], trace[i + 1]));
            depth = std::max(depth, CircleDepth(p, trace.back(), 4.2));
            depth = std::max(depth, CircleDepth(p, trace.front(), 4.2));
        }
        return depth;
    });
    Lay(map, 10.0, 1.2, [&](Point p) {
        double depth = -1e30;
        for (const auto& trace : board.traces) {
            depth = std::max(depth, CircleDepth(p, trace.back(), 1.8));
            depth = std::max(depth, CircleDepth(p, trace.front(), 1.8));
        }
        return depth;
    });
    const double left = chipLeft * spacing - 2.0, top = chipTop * spacing + 2.0;
    const double right = (chipRight + 1) * spacing + 2.0, bottom = (chipBottom + 1) * spacing - 2.0;
    Lay(map, 80.0, 1.2, [&](Point p) {
        double depth = -1e30;
        for (const auto& pin : pins) {
            const double y = (pin.second + 0.5) * spacing;
            depth = std::max(depth, BoxDepth(p, left - 6.0, y - 2.5, right + 6.0, y + 2.5, 0.5));
        }
        return depth;
    });
    Lay(map, 125.0, 3.0, [&](Point p) { return BoxDepth(p, left, top, right, bottom, 2.0); });
    Lay(map, 100.0, 2.0, [&](Point p) { return CircleDepth(p, {left + 9.0, top + 9.0}, 3.5); });

    const double pi = 3.14159265358979323846;
    const double module = 6.0;
    const Gear big{{100.0, 118.0}, 24, 72.0, 0.0};
    // Each further gear meshes with the big one along the given direction: the tooth gap faces the big
    // gear's tooth there.
    auto Mesh = [&](double direction, int teeth) {
        const double radius = module * teeth / 2.0;
        const double distance = big.pitchRadius + radius + 1.5;
        return Gear{{big.centre.x + distance * Cosine(direction), big.centre.y + distance * Sine(direction)},
                    teeth,
                    radius,
                    direction + pi + pi / teeth + (direction - big.phase) * big.teeth / teeth};
    };
    const Gear small = Mesh(-0.55, 12);
    const Gear tiny = Mesh(0.95, 9);
    LayGear(map, big, 150.0, 6, true);
    LayGear(map, small, 185.0, 5, false);
    LayGear(map, tiny, 185.0, 4, false);
    return map;
}

}  // namespace

int main(int argc, char** argv) {
    const char* dir = datafile::OutputDir(argc, argv, "pictures");
    if (!dir) return 2;
    const bool ok = datafile::Write(dir, "relief_a.bin", PebbleRelief().Bytes()) &&
                    datafile::Write(dir, "relief_b.bin", MachineRelief().Bytes());
    return ok ? 0 : 1;
}
