#pragma once
// A small anti-aliased rasteriser for the skin art: shapes are point tests,
// sampled 4 x 4 per pixel, and painted "over" in straight-alpha floating point.
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace skingen {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 1;  // 0..1, straight alpha
};

// 8-bit channels, opaque unless alpha is given.
constexpr Rgba Rgb(int r, int g, int b, float a = 1.0f) {
    return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, a};
}

using Shape = std::function<bool(double x, double y)>;
using Paint = std::function<Rgba(double x, double y)>;

Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
Shape Circle(double cx, double cy, double radius);
// A stroke of half-width hw along the segment, with round ends.
Shape Segment(double x0, double y0, double x1, double y1, double hw);
Shape Union(Shape a, Shape b);

// Text in the built-in 5 x 7 font with its top-left at (x, y), each font cell
// scale pixels; bold widens every stroke by one cell to the right.
Shape Text(std::string_view text, double x, double y, double scale, bool bold);
// Width in pixels of Text with the same arguments.
double TextWidth(std::string_view text, double scale, bool bold);
constexpr int kFontRows = 7;

Paint Solid(Rgba c);
// From top at y0 to bottom at y1 (left at x0 to right at x1).
Paint VerticalGradient(Rgba top, Rgba bottom, double y0, double y1);
Paint HorizontalGradient(Rgba left, Rgba right, double x0, double x1);

class Canvas {
public:
    Canvas(int width, int height);  // fully transparent

    int Width() const { return width_; }
    int Height() const { return height_; }

    void Fill(const Shape& shape, const Paint& paint);
    void Fill(const Shape& shape, Rgba colour) { Fill(shape, Solid(colour)); }

    // 0xAARRGGBB words, rows top-down.
    std::vector<std::uint32_t> Pixels() const;

private:
    int width_;
    int height_;
    std::vector<Rgba> px_;
};

}  // namespace skingen
