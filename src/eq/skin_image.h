#pragma once
// 32-bit pictures of the skinned controls and the equaliser graphs, and the
// integer alpha blend that puts one over another.
//
// A picture is width x height pixels, rows top-down with no padding; each pixel
// is a 32-bit word 0xAARRGGBB, so the bytes in memory are B, G, R, A (the layout
// of a top-down 32-bit DIB and of QImage::Format_RGB32). The alpha byte is
// straight coverage, 0 transparent to 255 opaque.
#include <cstddef>
#include <cstdint>
#include <vector>

// A picture as the drawing code reads it: a skin, a composite or a marker
// copy. It does not own its pixels.
struct SkinImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint32_t* pixels = nullptr;

    bool Empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    const std::uint32_t* Row(int y) const {
        return pixels + static_cast<std::ptrdiff_t>(y) * width;
    }
};

// A picture that is drawn into: a composite being built, a control's surface,
// a graph's canvas. It does not own its pixels either.
struct SkinCanvas {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t* pixels = nullptr;

    bool Empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    std::uint32_t* Row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * width; }
    operator SkinImage() const { return SkinImage{width, height, pixels}; }
};

// Pixel memory owned together with its records: the composites a control
// builds once at set-up and the surface it paints into.
class SkinBuffer {
public:
    SkinBuffer() = default;
    SkinBuffer(int width, int height, std::uint32_t fill = 0) { Reset(width, height, fill); }
    SkinBuffer(const SkinBuffer& other) : pixels_(other.pixels_) { Rebind(other.canvas_); }
    SkinBuffer& operator=(const SkinBuffer& other);
    SkinBuffer(SkinBuffer&& other) noexcept;
    SkinBuffer& operator=(SkinBuffer&& other) noexcept;

    // Negative sizes count as 0.
    void Reset(int width, int height, std::uint32_t fill = 0);
    SkinCanvas& Canvas() { return canvas_; }
    const SkinImage& Image() const { return image_; }
    bool Empty() const { return image_.Empty(); }

private:
    void Rebind(const SkinCanvas& shape);

    std::vector<std::uint32_t> pixels_;
    SkinCanvas canvas_;
    SkinImage image_;
};

// One source pixel over one destination pixel: each colour channel becomes
// (d * (256 - a) + s * a + 128) >> 8 with a the source's alpha; the
// destination's alpha byte is kept. Note a = 255 keeps 1/256 of d, so 255 over
// 0 gives 254, not 255.
constexpr std::uint32_t BlendPixel(std::uint32_t d, std::uint32_t s) {
    const std::uint32_t a = s >> 24;
    const std::uint32_t keep = 256 - a;
    std::uint32_t out = d & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t dc = (d >> shift) & 0xFF;
        const std::uint32_t sc = (s >> shift) & 0xFF;
        out |= (((dc * keep + sc * a + 128) >> 8) & 0xFF) << shift;
    }
    return out;
}

// Control side (buttons and sliders): blends min(destination, source) width x
// height with its top-left at (x, y) of the destination. Whatever falls outside
// the destination on any edge is left out.
void AlphaBlit(const SkinCanvas& dst, const SkinImage& src, int x, int y);

// Engine side (equaliser graphs): blends width x height of the source at (x, y).
// An image reaching the right or bottom edge loses its last column or row there
// (x + width >= destination width gives destination width - x - 1); parts
// left of or above the destination, and beyond the source, are left out.
void AlphaBlit(const SkinCanvas& dst, const SkinImage& src, int x, int y, int width, int height);

// Every pixel, alpha included, set to value.
void FillImage(const SkinCanvas& dst, std::uint32_t value);

// The source's pixels, alpha included, copied unblended into the top-left of
// the destination over min(sizes).
void CopyImage(const SkinCanvas& dst, const SkinImage& src);

// Rows first .. last (inclusive, clipped to both) copied unblended from the
// source into the same rows of the destination; the two have one width.
void CopyRows(const SkinCanvas& dst, const SkinImage& src, int first, int last);

// Columns first .. last (inclusive, clipped to both) of every row copied
// unblended from the source into the destination; the two have one size.
void CopyColumns(const SkinCanvas& dst, const SkinImage& src, int first, int last);

// The disabled look of a slider: every colour channel c becomes
// (c * 160 + 96 * 160 + 128) >> 8, alpha unchanged.
void DimImage(const SkinCanvas& img);

// Records stored back to back as skin art: int32 LE width, int32 LE height,
// then width x height pixels as little-endian 32-bit words. The whole blob is
// checked before anything is kept: false (and out untouched) for a short or
// trailing record, a negative size or a size that does not fit. The pixels are
// decoded into storage, and out's records point into it.
bool ParseSkinRecords(const unsigned char* data, std::size_t size,
                      std::vector<std::uint32_t>& storage, std::vector<SkinImage>& out);
