#include "eq/skin_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// A rectangle of the destination and the source point that lands on its
// top-left, both already inside their images.
struct Span {
    int dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

// Places width x height of the source at (x, y) and cuts away whatever lies
// outside either image. 64-bit sums: callers may pass any int.
Span Clip(const SkinCanvas& dst, const SkinImage& src, int x, int y, int width, int height) {
    Span s;
    if (dst.Empty() || src.Empty() || width <= 0 || height <= 0) return s;
    const std::int64_t x0 = std::max<std::int64_t>(x, 0);
    const std::int64_t y0 = std::max<std::int64_t>(y, 0);
    const std::int64_t sx = x0 - x;
    const std::int64_t sy = y0 - y;
    const std::int64_t x1 =
        std::min({std::int64_t{x} + width, std::int64_t{dst.width}, x0 + (src.width - sx)});
    const std::int64_t y1 =
        std::min({std::int64_t{y} + height, std::int64_t{dst.height}, y0 + (src.height - sy)});
    if (x1 <= x0 || y1 <= y0) return s;
    s.dx = static_cast<int>(x0);
    s.dy = static_cast<int>(y0);
    s.sx = static_cast<int>(sx);
    s.sy = static_cast<int>(sy);
    s.w = static_cast<int>(x1 - x0);
    s.h = static_cast<int>(y1 - y0);
    return s;
}

void Blend(const SkinCanvas& dst, const SkinImage& src, const Span& s) {
    for (int row = 0; row < s.h; ++row) {
        std::uint32_t* d = dst.Row(s.dy + row) + s.dx;
        const std::uint32_t* p = src.Row(s.sy + row) + s.sx;
        for (int col = 0; col < s.w; ++col) d[col] = BlendPixel(d[col], p[col]);
    }
}

void Copy(const SkinCanvas& dst, const SkinImage& src, const Span& s) {
    for (int row = 0; row < s.h; ++row) {
        std::memcpy(dst.Row(s.dy + row) + s.dx, src.Row(s.sy + row) + s.sx,
                    static_cast<std::size_t>(s.w) * sizeof(std::uint32_t));
    }
}

std::uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

SkinBuffer& SkinBuffer::operator=(const SkinBuffer& other) {
    if (this != &other) {
        pixels_ = other.pixels_;
        Rebind(other.canvas_);
    }
    return *this;
}

SkinBuffer::SkinBuffer(SkinBuffer&& other) noexcept : pixels_(std::move(other.pixels_)) {
    Rebind(other.canvas_);
    other.pixels_.clear();
    other.canvas_ = SkinCanvas{};
    other.image_ = SkinImage{};
}

SkinBuffer& SkinBuffer::operator=(SkinBuffer&& other) noexcept {
    if (this != &other) {
        pixels_ = std::move(other.pixels_);
        Rebind(other.canvas_);
        other.pixels_.clear();
        other.canvas_ = SkinCanvas{};
        other.image_ = SkinImage{};
    }
    return *this;
}

void SkinBuffer::Reset(int width, int height, std::uint32_t fill) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    Rebind(SkinCanvas{width, height, nullptr});
}

void SkinBuffer::Rebind(const SkinCanvas& shape) {
    canvas_ = SkinCanvas{shape.width, shape.height, pixels_.empty() ? nullptr : pixels_.data()};
    image_ = canvas_;
}

void AlphaBlit(const SkinCanvas& dst, const SkinImage& src, int x, int y) {
    Blend(dst, src,
          Clip(dst, src, x, y, std::min(dst.width, src.width), std::min(dst.height, src.height)));
}

void AlphaBlit(const SkinCanvas& dst, const SkinImage& src, int x, int y, int width, int height) {
    // An image reaching the right or bottom edge is drawn one column or row
    // short, as the graphs have always been drawn.
    if (std::int64_t{x} + width >= dst.width)
        width = static_cast<int>(std::int64_t{dst.width} - x - 1);
    if (std::int64_t{y} + height >= dst.height)
        height = static_cast<int>(std::int64_t{dst.height} - y - 1);
    Blend(dst, src, Clip(dst, src, x, y, width, height));
}

void FillImage(const SkinCanvas& dst, std::uint32_t value) {
    if (dst.Empty()) return;
    std::fill_n(dst.pixels, static_cast<std::size_t>(dst.width) * dst.height, value);
}

void CopyImage(const SkinCanvas& dst, const SkinImage& src) {
    Copy(dst, src, Clip(dst, src, 0, 0, dst.width, dst.height));
}

void CopyRows(const SkinCanvas& dst, const SkinImage& src, int first, int last) {
    first = std::max(first, 0);
    if (last < first) return;
    const std::int64_t rows = std::int64_t{last} - first + 1;
    Copy(dst, src,
         Clip(dst, src, 0, first, dst.width,
              static_cast<int>(std::min<std::int64_t>(rows, dst.height))));
}

void CopyColumns(const SkinCanvas& dst, const SkinImage& src, int first, int last) {
    first = std::max(first, 0);
    if (last < first) return;
    const std::int64_t cols = std::int64_t{last} - first + 1;
    Copy(dst, src,
         Clip(dst, src, first, 0, static_cast<int>(std::min<std::int64_t>(cols, dst.width)),
              dst.height));
}

void DimImage(const SkinCanvas& img) {
    if (img.Empty()) return;
    const std::size_t n = static_cast<std::size_t>(img.width) * img.height;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = img.pixels[i];
        std::uint32_t out = p & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const std::uint32_t c = (p >> shift) & 0xFF;
            out |= ((c * 160 + 96 * 160 + 128) >> 8) << shift;
        }
        img.pixels[i] = out;
    }
}

bool ParseSkinRecords(const unsigned char* data, std::size_t size,
                      std::vector<std::uint32_t>& storage, std::vector<SkinImage>& out) {
    if (data == nullptr && size != 0) return false;
    // First pass: every header and every pixel run must fit before anything is kept.
    struct Shape {
        std::int32_t w, h;
        std::size_t at, count;
    };
    std::vector<Shape> shapes;
    std::size_t total = 0;
    std::size_t pos = 0;
    while (pos < size) {
        if (size - pos < 8) return false;
        const auto w = static_cast<std::int32_t>(ReadLe32(data + pos));
        const auto h = static_cast<std::int32_t>(ReadLe32(data + pos + 4));
        pos += 8;
        if (w < 0 || h < 0) return false;
        const std::uint64_t count = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
        if (count > (size - pos) / 4) return false;
        shapes.push_back({w, h, pos, static_cast<std::size_t>(count)});
        pos += static_cast<std::size_t>(count) * 4;
        total += static_cast<std::size_t>(count);
    }

    std::vector<std::uint32_t> pixels(total);
    std::size_t next = 0;
    for (const Shape& s : shapes) {
        for (std::size_t i = 0; i < s.count; ++i) pixels[next + i] = ReadLe32(data + s.at + 4 * i);
        next += s.count;
    }
    storage = std::move(pixels);
    out.clear();
    next = 0;
    for (const Shape& s : shapes) {
        out.push_back(SkinImage{s.w, s.h, s.count ? storage.data() + next : nullptr});
        next += s.count;
    }
    return true;
}
