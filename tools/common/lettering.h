// The demo's one letter style, shared by the font, the logo and the icon: every glyph is a few strokes of
// constant width, drawn with square ends, square or rounded corners, and turned into a depth field.
#pragma once

#include "tools/common/datafile.h"  // the floating-point settings that keep the output exact

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace lettering {

// Stroke centre lines in a design box 100 units high and `width` units wide (y grows downwards).
// Points are "x,y" with an optional mark: r = rounded corner, o = round joint or end,
// x = a long square end that the glyph's box cuts off (for slanted strokes). A trailing z closes the
// stroke; strokes are separated by ';'. Unmarked joints and ends are square.
struct GlyphShape {
    char code;
    int width;
    const char* strokes;
};

inline const GlyphShape glyphShapes[] = {
    {'A', 100, "0,100 0,0r 100,0r 100,100; 0,55 100,55"},
    {'B', 100, "0,0 0,100 100,100r 100,50r 0,50; 0,0 88,0r 88,50r 50,50"},
    {'C', 100, "100,0 0,0r 0,100r 100,100"},
    {'D', 100, "0,0 0,100 100,100r 100,0r z"},
    {'E', 100, "100,0 0,0 0,100 100,100; 0,50 80,50"},
    {'F', 100, "100,0 0,0 0,100; 0,50 80,50"},
    {'G', 100, "100,0 0,0r 0,100r 100,100r 100,55 55,55"},
    {'H', 100, "0,0 0,100; 100,0 100,100; 0,50 100,50"},
    {'I', 0, "0,0 0,100"},
    {'J', 100, "100,0 100,100r 0,100r 0,65"},
    {'K', 100, "0,0 0,100; 100,0x 12,50o 100,100x"},
    {'L', 100, "0,0 0,100 100,100"},
    {'M', 100, "0,100x 0,0o 50,60o 100,0o 100,100x"},
    {'N', 100, "0,100x 0,0o 100,100o 100,0x"},
    {'O', 100, "0,0r 100,0r 100,100r 0,100r z"},
    {'P', 100, "0,100 0,0 100,0r 100,55r 0,55"},
    {'Q', 100, "0,0r 100,0r 100,100r 0,100r z; 58,62o 100,104x"},
    {'R', 100, "0,100 0,0 100,0r 100,52r 0,52; 55,52o 100,100x"},
    {'S', 100, "100,0 0,0r 0,50r 100,50r 100,100r 0,100"},
    {'T', 100, "0,0 100,0; 50,0 50,100"},
    {'U', 100, "0,0 0,100r 100,100r 100,0"},
    {'V', 100, "0,0x 50,100o 100,0x"},
    {'W', 100, "0,0x 25,100o 50,30o 75,100o 100,0x"},
    {'X', 100, "0,0x 100,100x; 100,0x 0,100x"},
    {'Y', 100, "0,0x 50,50o 100,0x; 50,50 50,100"},
    {'Z', 100, "0,0 100,0o 0,100o 100,100"},
    {'0', 100, "0,0r 100,0r 100,100r 0,100r z; 68,32o 32,68o"},
    {'1', 60, "0,18o 42,0o 42,100"},
    {'2', 100, "0,0 100,0r 100,50r 0,50r 0,100 100,100"},
    {'3', 100, "0,0 100,0r 100,100r 0,100; 30,50 100,50"},
    {'4', 100, "0,0 0,62 100,62; 78,20 78,100"},
    {'5', 100, "100,0 0,0 0,50 100,50r 100,100r 0,100"},
    {'6', 100, "100,0 0,0r 0,100r 100,100r 100,50r 0,50"},
    {'7', 100, "0,0 100,0o 38,100x"},
    {'8', 100, "8,0r 92,0r 92,50r 8,50r z; 0,50r 100,50r 100,100r 0,100r z"},
    {'9', 100, "0,100 100,100r 100,0r 0,0r 0,50r 100,50"},
    {'#', 100, "32,0x 22,100x; 82,0x 72,100x; 0,32 100,32; 0,68 100,68"},
};

inline const GlyphShape* FindGlyph(char code) {
    for (const GlyphShape& shape : glyphShapes)
        if (shape.code == code) return &shape;
    return nullptr;
}

// Where a glyph lands, in output pixels: the design box's top-left corner, pixels per design unit
// across and down, the stroke's half width and the radius of rounded corners.
struct Placement {
    double left;
    double top;
    double unitX;
    double unitY;
    double halfWidth;
    double cornerRadius;
};

struct Point {
    double x;
    double y;
};

// How a piece of centre line ends: square (reaching halfWidth past its end point), long square
// (three half widths), or round.
enum class End { Square, Long, Round };

// One glyph as straight pieces in output pixels, with the box that trims its slanted ends.
class GlyphField {
public:
    GlyphField(const GlyphShape& shape, const Placement& place) : half(place.halfWidth) {
        boxLeft = place.left - half;
        boxTop = place.top - half;
        boxRight = place.left + shape.width * place.unitX + half;
        boxBottom = place.top + 100.0 * place.unitY + half;
        const std::string text = shape.strokes;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t stop = text.find(';', start);
            if (stop == std::string::npos) stop = text.size();
            AddStroke(text.substr(start, stop - start), place);
            start = stop + 1;
        }
    }

    // Distance from (x, y) to the glyph's outline: positive inside, negative outside.
    double Depth(double x, double y) const {
        double depth = std::min(std::min(x - boxLeft, boxRight - x), std::min(y - boxTop, boxBottom - y));
        if (depth < -half) return depth;
        double best = -1e9;
        for (const Piece& piece : pieces) best = std::max(best, PieceDepth(piece, x, y));
        return std::min(depth, best);
    }

    double Left() const { return boxLeft; }
    double Right() const { return boxRight; }
    double Top() const { return boxTop; }
    double Bottom() const { return boxBottom; }

private:
    struct Piece {
        Point a;
        Point b;
        double length;
        double ux;
        double uy;
        End endA;
        End endB;
    };

    struct Vertex {
        Point p;
        char mark;
    };

    double Reach(End end) const { return end == End::Long ? 3.0 * half : half; }

    double PieceDepth(const Piece& piece, double x, double y) const {
        const double px = x - piece.a.x;
        const double py = y - piece.a.y;
        const double along = px * piece.ux + py * piece.uy;
        if (along < 0.0 && piece.endA == End::Round) return half - std::sqrt(px * px + py * py);
        if (along > piece.length && piece.endB == End::Round) {
            const double qx = x - piece.b.x;
            const double qy = y - piece.b.y;
            return half - std::sqrt(qx * qx + qy * qy);
        }
        double depth = half - std::fabs(px * piece.uy - py * piece.ux);
        if (piece.endA != End::Round) depth = std::min(depth, along + Reach(piece.endA));
        if (piece.endB != End::Round) depth = std::min(depth, piece.length - along + Reach(piece.endB));
        return depth;
    }

    static End EndOf(char mark) {
        if (mark == 'o' || mark == 'r') return End::Round;
        return mark == 'x' ? End::Long : End::Square;
    }

    void AddPiece(Point a, End endA, Point b, End endB) {
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        if (length <= 0.0) return;
        pieces.push_back({a, b, length, dx / length, dy / length, endA, endB});
    }

    // A rounded corner at v between the neighbours `from` and `to`: a quadratic curve from a point
    // on each side, as far from v as the corner radius allows (at most half of either side).
    void AddCorner(std::vector<std::pair<Point, End>>& line, Point from, Point v, Point to, double radius) {
        const double inX = v.x - from.x, inY = v.y - from.y;
        const double outX = to.x - v.x, outY = to.y - v.y;
        const double inLength = std::sqrt(inX * inX + inY * inY);
        const double outLength = std::sqrt(outX * outX + outY * outY);
        const double r = std::min(radius, 0.5 * std::min(inLength, outLength));
        const Point p0{v.x - r * inX / inLength, v.y - r * inY / inLength};
        const Point p2{v.x + r * outX / outLength, v.y + r * outY / outLength};
        const int steps = 12;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            const double s = 1.0 - t;
            line.push_back(
                {{s * s * p0.x + 2.0 * s * t * v.x + t * t * p2.x, s * s * p0.y + 2.0 * s * t * v.y + t * t * p2.y},
                 End::Round});
        }
    }

    void AddStroke(const std::string& text, const Placement& place) {
        std::vector<Vertex> vertices;
        bool closed = false;
        const char* s = text.c_str();
        while (*s) {
            if (*s == ' ') {
                ++s;
            } else if (*s == 'z') {
                closed = true;
                ++s;
            } else {
                char* end = nullptr;
                const double x = std::strtod(s, &end);
                const double y = std::strtod(end + 1, &end);
                s = end;
                char mark = ' ';
                if (*s == 'r' || *s == 'o' || *s == 'x') mark = *s++;
                vertices.push_back({{place.left + x * place.unitX, place.top + y * place.unitY}, mark});
            }
        }
        const std::size_t n = vertices.size();
        if (n < 2) return;
        std::vector<std::pair<Point, End>> line;
        for (std::size_t i = 0; i < n; ++i) {
            const bool inner = closed || (i > 0 && i + 1 < n);
            if (inner && vertices[i].mark == 'r') {
                AddCorner(line, vertices[(i + n - 1) % n].p, vertices[i].p, vertices[(i + 1) % n].p,
                          place.cornerRadius);
            } else {
                line.push_back({vertices[i].p, EndOf(vertices[i].mark)});
            }
        }
        if (closed) line.push_back(line.front());
        for (std::size_t i = 0; i + 1 < line.size(); ++i)
            AddPiece(line[i].first, line[i].second, line[i + 1].first, line[i + 1].second);
    }

    double half;
    double boxLeft = 0.0;
    double boxTop = 0.0;
    double boxRight = 0.0;
    double boxBottom = 0.0;
    std::vector<Piece> pieces;
};

// Share of the pixel (x, y) that lies inside the glyph, from samples x samples points.
inline double Coverage(const GlyphField& glyph, int x, int y, int samples) {
    int inside = 0;
    for (int j = 0; j < samples; ++j)
        for (int i = 0; i < samples; ++i)
            if (glyph.Depth(x + (i + 0.5) / samples, y + (j + 0.5) / samples) > 0.0) ++inside;
    return static_cast<double>(inside) / (samples * samples);
}

}  // namespace lettering
