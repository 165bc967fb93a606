#include "eq/skin_image.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using testsupport::CaseName;

constexpr std::uint32_t kGuard = 0x5A5A5A5A;

// A destination with guard words before and after its pixels, so that a write
// outside the picture shows.
struct Guarded {
    static constexpr int kPad = 64;
    std::vector<std::uint32_t> words;
    SkinCanvas image;

    Guarded(int w, int h, std::uint32_t fill)
        : words(static_cast<std::size_t>(w * h + 2 * kPad), kGuard) {
        image = SkinCanvas{w, h, words.data() + kPad};
        FillImage(image, fill);
    }
    std::uint32_t At(int x, int y) const { return image.Row(y)[x]; }
    bool GuardsIntact() const {
        for (int i = 0; i < kPad; ++i) {
            if (words[i] != kGuard || words[words.size() - 1 - i] != kGuard) return false;
        }
        return true;
    }
};

// A source whose every pixel is distinct: opaque, colour = 0x10000 * x + y,
// so a blit of it (255 over 0 gives 254) is checked pixel for pixel.
SkinBuffer Numbered(int w, int h) {
    SkinBuffer b(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) b.Canvas().Row(y)[x] = 0xFF000000u | (x + 1) << 16 | (y + 1);
    }
    return b;
}

std::uint32_t OpaqueOverBlack(std::uint32_t s) { return BlendPixel(0xFF000000u, s); }

}  // namespace

struct BlendCase {
    const char* what;
    std::uint32_t d, s, expected;
};

class BlendTest : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendTest, MatchesTheIntegerFormula) {
    const BlendCase& c = GetParam();
    EXPECT_EQ(BlendPixel(c.d, c.s), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlendTest,
    ::testing::Values(
        BlendCase{"alpha 0 leaves the destination", 0x12345678, 0x00FFFFFF, 0x12345678},
        // (0 * 1 + 255 * 255 + 128) >> 8 = 254: full alpha keeps 1/256 of d.
        BlendCase{"alpha 255, 255 over 0 gives 254", 0x00000000, 0xFFFFFFFF, 0x00FEFEFE},
        BlendCase{"alpha 128, 255 over 0 gives 128", 0x00000000, 0x80FFFFFF, 0x00808080},
        BlendCase{"alpha 255, 0 over 255 keeps 1", 0x00FFFFFF, 0xFF000000, 0x00010101},
        BlendCase{"destination alpha stays", 0xC0000000, 0xFFFFFFFF, 0xC0FEFEFE},
        BlendCase{"channels blend apart", 0x00102030, 0x40F08010, 0x00483828}),
    CaseName<BlendCase>);

TEST(AlphaBlitControl, BlendsTheSmallerSizeAtTheOrigin) {
    Guarded dst(8, 6, 0xFF000000);
    const SkinBuffer src = Numbered(3, 2);
    AlphaBlit(dst.image, src.Image(), 2, 1);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 3;
            const std::uint32_t want =
                inside ? OpaqueOverBlack(src.Image().Row(y - 1)[x - 2]) : 0xFF000000u;
            EXPECT_EQ(dst.At(x, y), want) << x << "," << y;
        }
    }
}

struct ClipCase {
    const char* what;
    int x, y;
};

class AlphaBlitControlClip : public ::testing::TestWithParam<ClipCase> {};

// Whatever origin a caller passes, only the part over the destination is
// drawn, each pixel from its own source pixel, and nothing outside is touched.
TEST_P(AlphaBlitControlClip, DrawsOnlyWhatLiesOverTheDestination) {
    const ClipCase& c = GetParam();
    Guarded dst(10, 8, 0xFF000000);
    const SkinBuffer src = Numbered(4, 5);
    AlphaBlit(dst.image, src.Image(), c.x, c.y);
    EXPECT_TRUE(dst.GuardsIntact()) << c.what;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 10; ++x) {
            const int sx = x - c.x, sy = y - c.y;
            const bool inside = sx >= 0 && sx < 4 && sy >= 0 && sy < 5;
            const std::uint32_t want =
                inside ? OpaqueOverBlack(src.Image().Row(sy)[sx]) : 0xFF000000u;
            ASSERT_EQ(dst.At(x, y), want) << c.what << " at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Origins, AlphaBlitControlClip,
                         ::testing::Values(ClipCase{"left of the destination", -2, 1},
                                           ClipCase{"above the destination", 3, -3},
                                           ClipCase{"beyond the top-left corner", -3, -4},
                                           ClipCase{"over the right edge", 8, 2},
                                           ClipCase{"over the bottom edge", 1, 6},
                                           ClipCase{"wholly outside", -4, 20}),
                         CaseName<ClipCase>);

TEST(AlphaBlitControl, SourceLargerThanDestinationIsCut) {
    Guarded dst(3, 2, 0xFF000000);
    const SkinBuffer src = Numbered(5, 4);
    AlphaBlit(dst.image, src.Image(), 0, 0);
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(2, 1), OpaqueOverBlack(src.Image().Row(1)[2]));
}

TEST(AlphaBlitEngine, AnImageEndingOnTheRightEdgeLosesItsLastColumn) {
    Guarded dst(10, 8, 0xFF000000);
    const SkinBuffer src = Numbered(4, 3);
    // x + width = 10 = destination width: drawn 3 columns wide.
    AlphaBlit(dst.image, src.Image(), 6, 1, 4, 3);
    EXPECT_EQ(dst.At(8, 1), OpaqueOverBlack(src.Image().Row(0)[2]));
    EXPECT_EQ(dst.At(9, 1), 0xFF000000u);
    // One column short of the edge: drawn whole.
    Guarded whole(10, 8, 0xFF000000);
    AlphaBlit(whole.image, src.Image(), 5, 1, 4, 3);
    EXPECT_EQ(whole.At(8, 1), OpaqueOverBlack(src.Image().Row(0)[3]));
}

TEST(AlphaBlitEngine, AnImageEndingOnTheBottomEdgeLosesItsLastRow) {
    Guarded dst(10, 8, 0xFF000000);
    const SkinBuffer src = Numbered(4, 3);
    AlphaBlit(dst.image, src.Image(), 1, 5, 4, 3);
    EXPECT_EQ(dst.At(1, 6), OpaqueOverBlack(src.Image().Row(1)[0]));
    EXPECT_EQ(dst.At(1, 7), 0xFF000000u);
}

// An overlay wider than the canvas is centred at a negative x; a marker of a
// band below about 14 Hz sits left of column 0. Both are cut at the left edge
// and still lose the last column at the right.
TEST(AlphaBlitEngine, ANegativeOriginIsCutAtTheLeftAndTop) {
    Guarded dst(6, 5, 0xFF000000);
    const SkinBuffer src = Numbered(9, 4);
    AlphaBlit(dst.image, src.Image(), (6 - 9) / 2 - 1, -1, 9, 4);  // origin (-2, -1)
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(0, 0), OpaqueOverBlack(src.Image().Row(1)[2]));
    EXPECT_EQ(dst.At(4, 2), OpaqueOverBlack(src.Image().Row(3)[6]));
    EXPECT_EQ(dst.At(5, 0), 0xFF000000u);  // the last column stays unpainted
    EXPECT_EQ(dst.At(0, 3), 0xFF000000u);  // rows past the source
}

TEST(AlphaBlitEngine, NeverReadsPastTheSource) {
    Guarded dst(20, 20, 0xFF000000);
    const SkinBuffer src = Numbered(3, 3);
    AlphaBlit(dst.image, src.Image(), 2, 2, 10, 10);
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(4, 4), OpaqueOverBlack(src.Image().Row(2)[2]));
    EXPECT_EQ(dst.At(5, 2), 0xFF000000u);
    EXPECT_EQ(dst.At(2, 5), 0xFF000000u);
}

TEST(AlphaBlit, EmptyImagesDrawNothing) {
    Guarded dst(4, 4, 0xFF000000);
    AlphaBlit(dst.image, SkinImage{}, 0, 0);
    AlphaBlit(dst.image, SkinImage{}, 0, 0, 3, 3);
    SkinCanvas none;
    const SkinBuffer src = Numbered(2, 2);
    AlphaBlit(none, src.Image(), 0, 0);
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(0, 0), 0xFF000000u);
}

TEST(SkinCopies, CopyImageIsRawOverTheSmallerSize) {
    Guarded dst(4, 3, 0x11111111);
    SkinBuffer src(2, 5, 0x00ABCDEF);  // alpha 0: a blend would leave dst alone
    CopyImage(dst.image, src.Image());
    EXPECT_TRUE(dst.GuardsIntact());
    EXPECT_EQ(dst.At(1, 2), 0x00ABCDEFu);
    EXPECT_EQ(dst.At(2, 0), 0x11111111u);
}

TEST(SkinCopies, RowsAndColumnsAreInclusiveAndClipped) {
    Guarded rows(3, 4, 0);
    SkinBuffer lit(3, 4, 7);
    CopyRows(rows.image, lit.Image(), 2, 100);
    EXPECT_EQ(rows.At(0, 1), 0u);
    EXPECT_EQ(rows.At(0, 2), 7u);
    EXPECT_EQ(rows.At(2, 3), 7u);
    EXPECT_TRUE(rows.GuardsIntact());

    Guarded cols(5, 2, 0);
    CopyColumns(cols.image, lit.Image(), -3, 1);
    EXPECT_EQ(cols.At(1, 1), 7u);
    EXPECT_EQ(cols.At(2, 0), 0u);
    EXPECT_TRUE(cols.GuardsIntact());
}

TEST(SkinCopies, DimKeepsAlphaAndPullsTowardGrey) {
    SkinBuffer img(2, 1);
    img.Canvas().pixels[0] = 0x80FF0000;
    img.Canvas().pixels[1] = 0x00000080;
    DimImage(img.Canvas());
    // (c * 160 + 96 * 160 + 128) >> 8: 255 -> 219, 0 -> 60, 128 -> 140.
    EXPECT_EQ(img.Image().pixels[0], 0x80DB3C3Cu);
    EXPECT_EQ(img.Image().pixels[1], 0x003C3C8Cu);
}

TEST(SkinBufferTest, CopiesAndMovesKeepTheirOwnPixels) {
    SkinBuffer a(2, 2, 1);
    SkinBuffer b = a;
    b.Canvas().pixels[0] = 9;
    EXPECT_EQ(a.Image().pixels[0], 1u);
    EXPECT_NE(a.Image().pixels, b.Image().pixels);

    SkinBuffer c = std::move(b);
    EXPECT_EQ(c.Image().pixels[0], 9u);
    EXPECT_TRUE(b.Empty());
    a = c;
    EXPECT_EQ(a.Image().pixels[0], 9u);
    EXPECT_NE(a.Image().pixels, c.Image().pixels);

    SkinBuffer d;
    d = std::move(c);
    EXPECT_EQ(d.Image().width, 2);
    EXPECT_EQ(d.Image().pixels[0], 9u);
    EXPECT_TRUE(c.Empty());
}

namespace {

void PutLe32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

std::vector<unsigned char> TwoRecords() {
    std::vector<unsigned char> blob;
    PutLe32(blob, 2);
    PutLe32(blob, 1);
    PutLe32(blob, 0xAABBCCDD);
    PutLe32(blob, 0x01020304);
    PutLe32(blob, 1);
    PutLe32(blob, 1);
    PutLe32(blob, 0xFF00FF00);
    return blob;
}

}  // namespace

TEST(SkinRecords, ReadsRecordsBackToBack) {
    const std::vector<unsigned char> blob = TwoRecords();
    // Bytes B, G, R, A in memory.
    EXPECT_EQ(blob[8], 0xDD);
    EXPECT_EQ(blob[11], 0xAA);
    std::vector<std::uint32_t> storage;
    std::vector<SkinImage> images;
    ASSERT_TRUE(ParseSkinRecords(blob.data(), blob.size(), storage, images));
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width, 2);
    EXPECT_EQ(images[0].height, 1);
    EXPECT_EQ(images[0].pixels[0], 0xAABBCCDDu);
    EXPECT_EQ(images[0].pixels[1], 0x01020304u);
    EXPECT_EQ(images[1].pixels[0], 0xFF00FF00u);
}

struct BadBlob {
    const char* what;
    std::vector<unsigned char> bytes;
};

class SkinRecordsRejected : public ::testing::TestWithParam<BadBlob> {};

TEST_P(SkinRecordsRejected, LeaveTheOutputAsItWas) {
    const BadBlob& c = GetParam();
    std::vector<std::uint32_t> storage{42};
    std::vector<SkinImage> images{SkinImage{1, 1, storage.data()}};
    EXPECT_FALSE(ParseSkinRecords(c.bytes.data(), c.bytes.size(), storage, images)) << c.what;
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].pixels, storage.data());
    EXPECT_EQ(storage[0], 42u);
}

namespace {

std::vector<unsigned char> Cut(std::size_t keep) {
    std::vector<unsigned char> b = TwoRecords();
    b.resize(keep);
    return b;
}

std::vector<unsigned char> Header(std::uint32_t w, std::uint32_t h) {
    std::vector<unsigned char> b;
    PutLe32(b, w);
    PutLe32(b, h);
    PutLe32(b, 0);
    return b;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Blobs, SkinRecordsRejected,
    ::testing::Values(BadBlob{"short header", Cut(5)},
                      BadBlob{"second record's pixels cut short", Cut(TwoRecords().size() - 1)},
                      BadBlob{"second header cut short", Cut(16 + 4)},
                      BadBlob{"negative width", Header(0xFFFFFFFF, 1)},
                      BadBlob{"size beyond the blob", Header(0x7FFFFFFF, 0x7FFFFFFF)}),
    CaseName<BadBlob>);
