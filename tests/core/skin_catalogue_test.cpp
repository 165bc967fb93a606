#include "eq/skin_catalogue.h"

#include <gtest/gtest.h>

#include "support/case_name.h"

#include <cctype>
#include <set>
#include <string>

namespace {

using testsupport::CaseName;

std::uint32_t Alpha(std::uint32_t px) { return px >> 24; }
std::uint32_t PixelAt(const SkinImage& img, int x, int y) { return img.Row(y)[x]; }

}  // namespace

// The art generated at build time arrives whole: every use has a picture of
// its listed size.
TEST(SkinCatalogue, EveryUseHasArtOfItsSize) {
    for (const SkinSpec& spec : kSkinCatalogue) {
        const SkinImage& img = Skin(spec.id);
        EXPECT_FALSE(img.Empty()) << spec.name;
        EXPECT_EQ(img.width, spec.width) << spec.name;
        EXPECT_EQ(img.height, spec.height) << spec.name;
    }
    EXPECT_TRUE(Skin(SkinId::kCount).Empty());
}

// Markers and the overlay are blended over the graph: transparent around the
// shape, solid inside it. Markers differ from one another.
TEST(SkinCatalogue, MarkersAndOverlayAreShapedForBlending) {
    std::set<std::vector<std::uint32_t>> looks;
    for (int n = 1; n <= kMarkerBandCount + 2; ++n) {
        const SkinId id = n <= kMarkerBandCount       ? MarkerBand(n)
                          : n == kMarkerBandCount + 1 ? SkinId::kMarkerLowPass
                                                      : SkinId::kMarkerHighPass;
        const SkinImage& m = Skin(id);
        ASSERT_FALSE(m.Empty());
        EXPECT_EQ(Alpha(PixelAt(m, 0, 0)), 0u) << n;
        EXPECT_EQ(Alpha(PixelAt(m, 23, 23)), 0u) << n;
        EXPECT_EQ(Alpha(PixelAt(m, 12, 6)), 255u) << n;
        looks.insert(std::vector<std::uint32_t>(m.pixels, m.pixels + m.width * m.height));
    }
    EXPECT_EQ(looks.size(), static_cast<std::size_t>(kMarkerBandCount + 2));

    const SkinImage& overlay = Skin(SkinId::kBypassOverlay);
    ASSERT_FALSE(overlay.Empty());
    EXPECT_EQ(Alpha(PixelAt(overlay, 0, 0)), 0u);
    EXPECT_GT(Alpha(PixelAt(overlay, 20, 21)), 200u);
    // The words are white on the overlay's red.
    int white = 0;
    for (int i = 0; i < overlay.width * overlay.height; ++i) {
        if ((overlay.pixels[i] & 0xFFFFFF) == 0xFFFFFF) ++white;
    }
    EXPECT_GT(white, 500);
}

struct TableCase {
    const char* what;
    MarkerPage page;
    int peqBands;
    bool passFilters;
    std::size_t entries;
};

class MarkerTables : public ::testing::TestWithParam<TableCase> {};

TEST_P(MarkerTables, BandsThenPassFiltersThenTheOverlayLast) {
    const TableCase& c = GetParam();
    const auto table = MarkerImageTable(c.page);
    ASSERT_EQ(table.size(), c.entries);
    for (int i = 0; i < c.peqBands; ++i) EXPECT_EQ(table[i], &Skin(MarkerBand(i + 1))) << i;
    if (c.passFilters) {
        EXPECT_EQ(table[c.peqBands], &Skin(SkinId::kMarkerLowPass));
        EXPECT_EQ(table[c.peqBands + 1], &Skin(SkinId::kMarkerHighPass));
    }
    EXPECT_EQ(table.back(), &Skin(SkinId::kBypassOverlay));
    // Pages copy every entry's pixels: none may be missing.
    for (const SkinImage* e : table) {
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(e->Empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, MarkerTables,
    ::testing::Values(TableCase{"subwoofer", MarkerPage::kSubwoofer, 5, true, 20},
                      TableCase{"surround", MarkerPage::kSurround, 10, true, 20},
                      TableCase{"music", MarkerPage::kMusic, 15, true, 20},
                      TableCase{"mic", MarkerPage::kMic, 15, true, 27},
                      TableCase{"master", MarkerPage::kMaster, 10, true, 20},
                      TableCase{"reverb", MarkerPage::kReverb, 5, true, 20},
                      TableCase{"echo", MarkerPage::kEcho, 5, true, 20},
                      TableCase{"centre", MarkerPage::kCentre, 7, true, 20},
                      TableCase{"boost", MarkerPage::kBoost, 5, false, 20}),
    CaseName<TableCase>);

TEST(SkinCatalogue, SetsHandOutTheirUsesImages) {
    const SliderSkins main = MainSliderSkins();
    EXPECT_EQ(main.track, &Skin(SkinId::kMainSliderTrack));
    EXPECT_EQ(main.focusedThumb, &Skin(SkinId::kMainSliderThumbFocused));
    const ButtonSkins page = PageButtonSkins();
    EXPECT_EQ(page[3], &Skin(SkinId::kPageButtonCheckedPressed));
    EXPECT_EQ(page[4], nullptr);
    const ButtonSkins radio = RadioSkins();
    EXPECT_EQ(radio[1], &Skin(SkinId::kRadio));
    EXPECT_EQ(radio[3], &Skin(SkinId::kRadioChecked));
}
