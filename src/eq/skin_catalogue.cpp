#include "eq/skin_catalogue.h"

#include <vector>

#include "eq/skin_art.h"

namespace {

struct Catalogue {
    std::vector<std::uint32_t> pixels;
    std::array<SkinImage, kSkinCount> images{};
};

// Decoded once, on first use, into memory of our own, so that a record can be
// handed out as a SkinImage whatever the host's byte order. A record whose size
// is not the catalogue's stays empty.
const Catalogue& Loaded() {
    static const Catalogue catalogue = [] {
        Catalogue c;
        std::vector<SkinImage> records;
        if (!ParseSkinRecords(kSkinArt, kSkinArtSize, c.pixels, records)) return c;
        for (std::size_t i = 0; i < kSkinCount && i < records.size(); ++i) {
            if (records[i].width == kSkinCatalogue[i].width &&
                records[i].height == kSkinCatalogue[i].height) {
                c.images[i] = records[i];
            }
        }
        return c;
    }();
    return catalogue;
}

const SkinImage* P(SkinId id) { return &Skin(id); }

ButtonSkins FourStates(SkinId first) {
    const int f = static_cast<int>(first);
    return {P(first), P(static_cast<SkinId>(f + 1)), P(static_cast<SkinId>(f + 2)),
            P(static_cast<SkinId>(f + 3)), nullptr};
}

ButtonSkins Pair(SkinId unchecked, SkinId checked) {
    return {P(unchecked), P(unchecked), P(checked), P(checked), nullptr};
}

// What each equaliser page's marker table holds.
struct MarkerLayout {
    MarkerPage page;
    int peqBands;
    bool passFilters;  // a low-pass and a high-pass record follow the PEQ bands
    int entries;       // the bypass overlay included
};

constexpr MarkerLayout kMarkerLayouts[] = {
    {MarkerPage::kSubwoofer, 5, true, 20}, {MarkerPage::kSurround, 10, true, 20},
    {MarkerPage::kMusic, 15, true, 20},    {MarkerPage::kMic, 15, true, 27},
    {MarkerPage::kMaster, 10, true, 20},   {MarkerPage::kReverb, 5, true, 20},
    {MarkerPage::kEcho, 5, true, 20},      {MarkerPage::kCentre, 7, true, 20},
    {MarkerPage::kBoost, 5, false, 20},
};
constexpr std::size_t kMarkerPages = std::size(kMarkerLayouts);
constexpr std::size_t kMostMarkerEntries = 27;

struct MarkerTables {
    std::array<std::array<const SkinImage*, kMostMarkerEntries>, kMarkerPages> entries{};
};

const MarkerTables& Tables() {
    static const MarkerTables tables = [] {
        MarkerTables t;
        for (std::size_t p = 0; p < kMarkerPages; ++p) {
            const MarkerLayout& m = kMarkerLayouts[p];
            auto& row = t.entries[p];
            for (int i = 0; i < m.entries - 1; ++i) {
                SkinId id = SkinId::kMarkerBand1;
                if (i < m.peqBands) {
                    id = MarkerBand(i + 1);
                } else if (m.passFilters && i == m.peqBands) {
                    id = SkinId::kMarkerLowPass;
                } else if (m.passFilters && i == m.peqBands + 1) {
                    id = SkinId::kMarkerHighPass;
                }
                row[i] = P(id);
            }
            row[m.entries - 1] = P(SkinId::kBypassOverlay);
        }
        return t;
    }();
    return tables;
}

}  // namespace

const SkinImage& Skin(SkinId id) {
    static const SkinImage kNone{};
    const auto i = static_cast<std::size_t>(id);
    if (i >= kSkinCount) return kNone;
    return Loaded().images[i];
}

ButtonSkins CheckBoxSkins() { return Pair(SkinId::kCheckBox, SkinId::kCheckBoxChecked); }
ButtonSkins RadioSkins() { return Pair(SkinId::kRadio, SkinId::kRadioChecked); }
ButtonSkins PolaritySkins() { return Pair(SkinId::kPolarity, SkinId::kPolarity); }
ButtonSkins ToggleSkins() { return FourStates(SkinId::kToggle); }
ButtonSkins SelectorSkins() { return Pair(SkinId::kSelector, SkinId::kSelectorChecked); }
ButtonSkins ConnectSkins() { return FourStates(SkinId::kConnect); }
ButtonSkins PageButtonSkins() { return FourStates(SkinId::kPageButton); }

SliderSkins PageSliderSkins() {
    return {P(SkinId::kSliderTrack), P(SkinId::kSliderLit), P(SkinId::kSliderThumb),
            P(SkinId::kSliderThumbFocused)};
}

SliderSkins MainSliderSkins() {
    return {P(SkinId::kMainSliderTrack), P(SkinId::kMainSliderLit), P(SkinId::kMainSliderThumb),
            P(SkinId::kMainSliderThumbFocused)};
}

SliderSkins BandSliderSkins() {
    return {P(SkinId::kBandSliderTrack), P(SkinId::kBandSliderLit), P(SkinId::kBandSliderThumb),
            P(SkinId::kBandSliderThumbFocused)};
}

std::span<const SkinImage* const> MarkerImageTable(MarkerPage page) {
    for (std::size_t p = 0; p < kMarkerPages; ++p) {
        if (kMarkerLayouts[p].page == page) {
            return {Tables().entries[p].data(),
                    static_cast<std::size_t>(kMarkerLayouts[p].entries)};
        }
    }
    return {};
}
