#pragma once
// The skin art compiled into the program, by use. The pictures are drawn by
// tools/skingen at build time, each at the size this table gives it; a record
// of another size is not handed out.
#include <array>
#include <cstddef>
#include <span>

#include "eq/skin_image.h"

enum class SkinId : int {
    // Horizontal sliders of the channel pages and the system page.
    kSliderTrack,
    kSliderLit,
    kSliderThumb,
    kSliderThumbFocused,
    // Vertical volume sliders of the main window.
    kMainSliderTrack,
    kMainSliderLit,
    kMainSliderThumb,
    kMainSliderThumbFocused,
    // Vertical band sliders of the boost page.
    kBandSliderTrack,
    kBandSliderLit,
    kBandSliderThumb,
    kBandSliderThumbFocused,
    // Check boxes (Large / Small, the mic EQ link, the calibration channels).
    kCheckBox,
    kCheckBoxChecked,
    // Radio buttons (link, mode kind, language, input rows, system page groups).
    kRadio,
    kRadioChecked,
    // Polarity and sign buttons: one image for every state, "+" or "-" over it.
    kPolarity,
    // Toggles under the main sliders and the boost page's type buttons.
    kToggle,
    kTogglePressed,
    kToggleChecked,
    kToggleCheckedPressed,
    // Mic 1 / Mic 2 and the boost page's target buttons.
    kSelector,
    kSelectorChecked,
    // The main window's Connect button.
    kConnect,
    kConnectPressed,
    kConnectChecked,
    kConnectCheckedPressed,
    // The main window's page buttons.
    kPageButton,
    kPageButtonPressed,
    kPageButtonChecked,
    kPageButtonCheckedPressed,
    // Band markers of the equaliser graphs, numbered from 1 by band.
    kMarkerBand1,
    kMarkerBand2,
    kMarkerBand3,
    kMarkerBand4,
    kMarkerBand5,
    kMarkerBand6,
    kMarkerBand7,
    kMarkerBand8,
    kMarkerBand9,
    kMarkerBand10,
    kMarkerBand11,
    kMarkerBand12,
    kMarkerBand13,
    kMarkerBand14,
    kMarkerBand15,
    kMarkerLowPass,
    kMarkerHighPass,
    // The words EQ IS BYPASS, over a graph whose equaliser is bypassed.
    kBypassOverlay,
    kCount
};

struct SkinSpec {
    SkinId id;
    const char* name;
    int width;
    int height;
};

inline constexpr int kMarkerBandCount = 15;

inline constexpr SkinSpec kSkinCatalogue[] = {
    {SkinId::kSliderTrack, "slider track", 135, 24},
    {SkinId::kSliderLit, "slider lit track", 135, 24},
    {SkinId::kSliderThumb, "slider thumb", 19, 22},
    {SkinId::kSliderThumbFocused, "slider focused thumb", 19, 22},
    {SkinId::kMainSliderTrack, "main slider track", 24, 150},
    {SkinId::kMainSliderLit, "main slider lit track", 24, 150},
    {SkinId::kMainSliderThumb, "main slider thumb", 22, 19},
    {SkinId::kMainSliderThumbFocused, "main slider focused thumb", 22, 19},
    {SkinId::kBandSliderTrack, "band slider track", 36, 122},
    {SkinId::kBandSliderLit, "band slider lit track", 36, 122},
    {SkinId::kBandSliderThumb, "band slider thumb", 34, 17},
    {SkinId::kBandSliderThumbFocused, "band slider focused thumb", 34, 17},
    {SkinId::kCheckBox, "check box", 16, 16},
    {SkinId::kCheckBoxChecked, "check box checked", 16, 16},
    {SkinId::kRadio, "radio", 16, 16},
    {SkinId::kRadioChecked, "radio checked", 16, 16},
    {SkinId::kPolarity, "polarity", 20, 20},
    {SkinId::kToggle, "toggle", 23, 23},
    {SkinId::kTogglePressed, "toggle pressed", 23, 23},
    {SkinId::kToggleChecked, "toggle checked", 23, 23},
    {SkinId::kToggleCheckedPressed, "toggle checked pressed", 23, 23},
    {SkinId::kSelector, "selector", 65, 26},
    {SkinId::kSelectorChecked, "selector checked", 65, 26},
    {SkinId::kConnect, "connect", 90, 23},
    {SkinId::kConnectPressed, "connect pressed", 90, 23},
    {SkinId::kConnectChecked, "connect checked", 90, 23},
    {SkinId::kConnectCheckedPressed, "connect checked pressed", 90, 23},
    {SkinId::kPageButton, "page button", 102, 26},
    {SkinId::kPageButtonPressed, "page button pressed", 102, 26},
    {SkinId::kPageButtonChecked, "page button checked", 102, 26},
    {SkinId::kPageButtonCheckedPressed, "page button checked pressed", 102, 26},
    {SkinId::kMarkerBand1, "marker 1", 24, 24},
    {SkinId::kMarkerBand2, "marker 2", 24, 24},
    {SkinId::kMarkerBand3, "marker 3", 24, 24},
    {SkinId::kMarkerBand4, "marker 4", 24, 24},
    {SkinId::kMarkerBand5, "marker 5", 24, 24},
    {SkinId::kMarkerBand6, "marker 6", 24, 24},
    {SkinId::kMarkerBand7, "marker 7", 24, 24},
    {SkinId::kMarkerBand8, "marker 8", 24, 24},
    {SkinId::kMarkerBand9, "marker 9", 24, 24},
    {SkinId::kMarkerBand10, "marker 10", 24, 24},
    {SkinId::kMarkerBand11, "marker 11", 24, 24},
    {SkinId::kMarkerBand12, "marker 12", 24, 24},
    {SkinId::kMarkerBand13, "marker 13", 24, 24},
    {SkinId::kMarkerBand14, "marker 14", 24, 24},
    {SkinId::kMarkerBand15, "marker 15", 24, 24},
    {SkinId::kMarkerLowPass, "marker low-pass", 24, 24},
    {SkinId::kMarkerHighPass, "marker high-pass", 24, 24},
    {SkinId::kBypassOverlay, "bypass overlay", 310, 43},
};

constexpr std::size_t kSkinCount = static_cast<std::size_t>(SkinId::kCount);

constexpr bool CatalogueInIdOrder() {
    if (std::size(kSkinCatalogue) != kSkinCount) return false;
    for (std::size_t i = 0; i < kSkinCount; ++i) {
        if (static_cast<std::size_t>(kSkinCatalogue[i].id) != i) return false;
    }
    return true;
}
static_assert(CatalogueInIdOrder(), "kSkinCatalogue lists every SkinId once, in id order");

constexpr SkinId MarkerBand(int number) {
    return static_cast<SkinId>(static_cast<int>(SkinId::kMarkerBand1) + number - 1);
}

// The picture of one use. Art that failed to load gives an empty record, which
// every drawing routine skips.
const SkinImage& Skin(SkinId id);

// The five images CMyBtn::Setup takes: normal, pressed, checked, checked and
// pressed, background (null: none).
using ButtonSkins = std::array<const SkinImage*, 5>;
ButtonSkins CheckBoxSkins();
ButtonSkins RadioSkins();
ButtonSkins PolaritySkins();
ButtonSkins ToggleSkins();
ButtonSkins SelectorSkins();
ButtonSkins ConnectSkins();
ButtonSkins PageButtonSkins();

// The four images CMySlider::Setup takes.
struct SliderSkins {
    const SkinImage* track;
    const SkinImage* lit;
    const SkinImage* thumb;
    const SkinImage* focusedThumb;
};
SliderSkins PageSliderSkins();
SliderSkins MainSliderSkins();
SliderSkins BandSliderSkins();

// The equaliser pages, each with its own marker table.
enum class MarkerPage {
    kSubwoofer,
    kSurround,
    kMusic,
    kMic,
    kMaster,
    kReverb,
    kEcho,
    kCentre,
    kBoost
};

// Entry i is the marker of band i: numbered for the PEQ bands, then the
// low-pass and the high-pass marker; entries past the page's bands repeat
// marker 1 and are never drawn. The last entry is the bypass overlay. 20
// entries on every page but the microphone page, which has 27.
std::span<const SkinImage* const> MarkerImageTable(MarkerPage page);
