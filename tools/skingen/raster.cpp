#include "raster.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace skingen {

namespace {

constexpr int kSamples = 4;  // per axis

struct Glyph {
    char c;
    std::array<const char*, kFontRows> rows;
};

// Five columns by seven rows; '#' lit.
constexpr Glyph kFont[] = {
    {' ', {"     ", "     ", "     ", "     ", "     ", "     ", "     "}},
    {'0', {" ### ", "#   #", "#   #", "#   #", "#   #", "#   #", " ### "}},
    {'1', {"  #  ", " ##  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'2', {" ### ", "#   #", "    #", "   # ", "  #  ", " #   ", "#####"}},
    {'3', {"#####", "   # ", "  #  ", "   # ", "    #", "#   #", " ### "}},
    {'4', {"   # ", "  ## ", " # # ", "#  # ", "#####", "   # ", "   # "}},
    {'5', {"#####", "#    ", "#### ", "    #", "    #", "#   #", " ### "}},
    {'6', {"  ## ", " #   ", "#    ", "#### ", "#   #", "#   #", " ### "}},
    {'7', {"#####", "    #", "   # ", "  #  ", " #   ", " #   ", " #   "}},
    {'8', {" ### ", "#   #", "#   #", " ### ", "#   #", "#   #", " ### "}},
    {'9', {" ### ", "#   #", "#   #", " ####", "    #", "   # ", " ##  "}},
    {'A', {" ### ", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'B', {"#### ", "#   #", "#   #", "#### ", "#   #", "#   #", "#### "}},
    {'E', {"#####", "#    ", "#    ", "#### ", "#    ", "#    ", "#####"}},
    {'H', {"#   #", "#   #", "#   #", "#####", "#   #", "#   #", "#   #"}},
    {'I', {" ### ", "  #  ", "  #  ", "  #  ", "  #  ", "  #  ", " ### "}},
    {'L', {"#    ", "#    ", "#    ", "#    ", "#    ", "#    ", "#####"}},
    {'P', {"#### ", "#   #", "#   #", "#### ", "#    ", "#    ", "#    "}},
    {'Q', {" ### ", "#   #", "#   #", "#   #", "# # #", "#  # ", " ## #"}},
    {'S', {" ####", "#    ", "#    ", " ### ", "    #", "    #", "#### "}},
    {'Y', {"#   #", "#   #", " # # ", "  #  ", "  #  ", "  #  ", "  #  "}},
};
constexpr int kGlyphColumns = 5;

const Glyph* Find(char c) {
    for (const Glyph& g : kFont) {
        if (g.c == c) return &g;
    }
    return nullptr;
}

bool Lit(const Glyph* g, int col, int row) {
    if (!g || col < 0 || col >= kGlyphColumns || row < 0 || row >= kFontRows) return false;
    return g->rows[row][col] == '#';
}

int Advance(bool bold) { return kGlyphColumns + (bold ? 1 : 0) + 1; }

Rgba Mix(Rgba a, Rgba b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

std::uint32_t Byte(float v) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
    return [=](double x, double y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        const double cx = std::clamp(x, x0 + radius, x1 - radius);
        const double cy = std::clamp(y, y0 + radius, y1 - radius);
        const double dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= radius * radius;
    };
}

Shape Circle(double cx, double cy, double radius) {
    return [=](double x, double y) {
        const double dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= radius * radius;
    };
}

Shape Segment(double x0, double y0, double x1, double y1, double hw) {
    return [=](double x, double y) {
        const double vx = x1 - x0, vy = y1 - y0;
        const double len2 = vx * vx + vy * vy;
        double t = len2 > 0 ? ((x - x0) * vx + (y - y0) * vy) / len2 : 0.0;
        t = std::clamp(t, 0.0, 1.0);
        const double dx = x - (x0 + t * vx), dy = y - (y0 + t * vy);
        return dx * dx + dy * dy <= hw * hw;
    };
}

Shape Union(Shape a, Shape b) {
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Shape Text(std::string_view text, double x, double y, double scale, bool bold) {
    std::vector<const Glyph*> glyphs;
    for (char c : text) glyphs.push_back(Find(c));
    return [=](double px, double py) {
        const double u = (px - x) / scale;
        const double v = (py - y) / scale;
        if (u < 0 || v < 0) return false;
        const int row = static_cast<int>(v);
        const int cell = static_cast<int>(u);
        const auto index = static_cast<std::size_t>(cell / Advance(bold));
        if (index >= glyphs.size()) return false;
        const int col = cell % Advance(bold);
        const Glyph* g = glyphs[index];
        return Lit(g, col, row) || (bold && Lit(g, col - 1, row));
    };
}

double TextWidth(std::string_view text, double scale, bool bold) {
    if (text.empty()) return 0;
    return (static_cast<double>(text.size()) * Advance(bold) - 1) * scale;
}

Paint Solid(Rgba c) {
    return [c](double, double) { return c; };
}

Paint VerticalGradient(Rgba top, Rgba bottom, double y0, double y1) {
    return [=](double, double y) {
        const double t = y1 > y0 ? std::clamp((y - y0) / (y1 - y0), 0.0, 1.0) : 0.0;
        return Mix(top, bottom, static_cast<float>(t));
    };
}

Paint HorizontalGradient(Rgba left, Rgba right, double x0, double x1) {
    return [=](double x, double) {
        const double t = x1 > x0 ? std::clamp((x - x0) / (x1 - x0), 0.0, 1.0) : 0.0;
        return Mix(left, right, static_cast<float>(t));
    };
}

Canvas::Canvas(int width, int height)
    : width_(width),
      height_(height),
      px_(static_cast<std::size_t>(width) * height, Rgba{0, 0, 0, 0}) {}

void Canvas::Fill(const Shape& shape, const Paint& paint) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    if (shape(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
                }
            }
            if (hits == 0) continue;
            const Rgba src = paint(x + 0.5, y + 0.5);
            const float a = src.a * static_cast<float>(hits) / (kSamples * kSamples);
            Rgba& d = px_[static_cast<std::size_t>(y) * width_ + x];
            const float outA = a + d.a * (1 - a);
            if (outA <= 0) continue;
            auto over = [&](float s, float dc) { return (s * a + dc * d.a * (1 - a)) / outA; };
            d = Rgba{over(src.r, d.r), over(src.g, d.g), over(src.b, d.b), outA};
        }
    }
}

std::vector<std::uint32_t> Canvas::Pixels() const {
    std::vector<std::uint32_t> out;
    out.reserve(px_.size());
    for (const Rgba& p : px_) {
        out.push_back(Byte(p.a) << 24 | Byte(p.r) << 16 | Byte(p.g) << 8 | Byte(p.b));
    }
    return out;
}

}  // namespace skingen
