#include "art.h"

#include <cmath>
#include <string>

namespace skingen {

namespace {

// The frame is grey (strip 0xC8C8C8, top band 0xDCDCDC, pages 0xF0F0F0); the
// one accent is the blue of the page group captions.
constexpr Rgba kWhite = Rgb(255, 255, 255);
constexpr Rgba kAccentTop = Rgb(84, 148, 250);
constexpr Rgba kAccentBottom = Rgb(34, 98, 218);
constexpr Rgba kAccentEdge = Rgb(22, 66, 160);
constexpr Rgba kPassTop = Rgb(46, 176, 112);
constexpr Rgba kPassBottom = Rgb(16, 122, 70);

struct Face {
    Rgba border, top, bottom;
};

constexpr Face kLight{Rgb(120, 120, 120), Rgb(253, 253, 253), Rgb(222, 222, 222)};
constexpr Face kLightPressed{Rgb(96, 96, 96), Rgb(204, 204, 204), Rgb(230, 230, 230)};
constexpr Face kLightChecked{Rgb(30, 80, 176), Rgb(222, 235, 254), Rgb(170, 201, 250)};
constexpr Face kLightCheckedPressed{Rgb(24, 66, 156), Rgb(152, 188, 244), Rgb(198, 220, 252)};
constexpr Face kDark{Rgb(52, 52, 52), Rgb(128, 128, 128), Rgb(86, 86, 86)};
constexpr Face kDarkPressed{Rgb(40, 40, 40), Rgb(70, 70, 70), Rgb(102, 102, 102)};
constexpr Face kAccent{kAccentEdge, kAccentTop, kAccentBottom};
constexpr Face kAccentPressed{Rgb(16, 52, 132), Rgb(30, 86, 196), Rgb(60, 124, 234)};

// A rounded rectangle with a one-pixel border and a shaded face.
void Panel(Canvas& c, double x0, double y0, double x1, double y1, double radius, const Face& f) {
    c.Fill(RoundRect(x0, y0, x1, y1, radius), f.border);
    c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, std::max(radius - 1, 0.0)),
           VerticalGradient(f.top, f.bottom, y0 + 1, y1 - 1));
}

void Button(Canvas& c, const Face& f, double radius = 3) {
    Panel(c, 0, 0, c.Width(), c.Height(), radius, f);
}

// Engraved grip lines across the middle of a thumb.
void Grips(Canvas& c, bool vertical, Rgba line, Rgba light) {
    const double cx = c.Width() / 2.0, cy = c.Height() / 2.0;
    for (int k = -1; k <= 1; ++k) {
        if (vertical) {  // lines across a vertical slider's thumb run horizontally
            const double y = std::floor(cy) + 3 * k;
            c.Fill(RoundRect(cx - 6, y - 1, cx + 6, y, 0), line);
            c.Fill(RoundRect(cx - 6, y, cx + 6, y + 1, 0), light);
        } else {
            const double x = std::floor(cx) + 3 * k;
            c.Fill(RoundRect(x - 1, cy - 5, x, cy + 5, 0), line);
            c.Fill(RoundRect(x, cy - 5, x + 1, cy + 5, 0), light);
        }
    }
}

void Thumb(Canvas& c, bool vertical, bool focused) {
    if (focused) {
        Button(c, kAccent);
        Grips(c, vertical, Rgb(24, 70, 168), Rgb(196, 218, 255));
    } else {
        Button(c, kLight);
        Grips(c, vertical, Rgb(140, 140, 140), kWhite);
    }
}

// The groove a thumb runs in. The thumb is drawn at the track's left (or top)
// edge and may be narrower than the track, so the groove follows the thumb's
// centre line, not the track's.
void Groove(Canvas& c, bool vertical, int thumbAcross, double from, double to, bool lit) {
    const double mid = thumbAcross / 2.0;
    const double x0 = vertical ? mid - 3 : from, x1 = vertical ? mid + 3 : to;
    const double y0 = vertical ? from : mid - 3, y1 = vertical ? to : mid + 3;
    if (lit) {
        c.Fill(RoundRect(x0, y0, x1, y1, 3), kAccentEdge);
        c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 2),
               vertical ? HorizontalGradient(kAccentTop, kAccentBottom, x0, x1)
                        : VerticalGradient(kAccentTop, kAccentBottom, y0, y1));
    } else {
        const Rgba deep = Rgb(184, 184, 184), shallow = Rgb(224, 224, 224);
        c.Fill(RoundRect(x0, y0, x1, y1, 3), Rgb(146, 146, 146));
        c.Fill(RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, 2),
               vertical ? HorizontalGradient(deep, shallow, x0, x1)
                        : VerticalGradient(deep, shallow, y0, y1));
    }
}

// A short mark beside the groove of the boost page's band slider: its ends
// and the 0 dB point.
void Tick(Canvas& c, double y, int thumbAcross) {
    const double mid = thumbAcross / 2.0;
    c.Fill(RoundRect(mid - 13, y - 0.5, mid - 6, y + 0.5, 0), Rgb(150, 150, 150));
    c.Fill(RoundRect(mid + 6, y - 0.5, mid + 13, y + 0.5, 0), Rgb(150, 150, 150));
}

void CheckBox(Canvas& c, bool checked) {
    if (checked) {
        c.Fill(RoundRect(1, 1, 15, 15, 2.5), kAccentEdge);
        c.Fill(RoundRect(2, 2, 14, 14, 1.5), VerticalGradient(kAccentTop, kAccentBottom, 2, 14));
        c.Fill(Union(Segment(4.2, 8.2, 6.8, 10.8, 1.1), Segment(6.8, 10.8, 11.8, 5.2, 1.1)),
               kWhite);
    } else {
        c.Fill(RoundRect(1, 1, 15, 15, 2.5), Rgb(118, 118, 118));
        c.Fill(RoundRect(2, 2, 14, 14, 1.5), VerticalGradient(Rgb(236, 236, 236), kWhite, 2, 14));
    }
}

void Radio(Canvas& c, bool checked) {
    c.Fill(Circle(8, 8, 7), checked ? kAccentEdge : Rgb(118, 118, 118));
    c.Fill(Circle(8, 8, 6), VerticalGradient(Rgb(236, 236, 236), kWhite, 2, 14));
    if (checked) c.Fill(Circle(8, 8, 3.5), VerticalGradient(kAccentTop, kAccentBottom, 4.5, 11.5));
}

// A round marker with white text: the band number, LP or HP.
void Marker(Canvas& c, const std::string& label, Rgba top, Rgba bottom) {
    c.Fill(Circle(12, 12, 11.5), Rgb(0, 0, 0, 0.28f));
    c.Fill(Circle(12, 12, 10.5), kWhite);
    c.Fill(Circle(12, 12, 9.2), VerticalGradient(top, bottom, 3, 21));
    const double w = TextWidth(label, 1, true);
    c.Fill(Text(label, std::floor(12 - w / 2), 8, 1, true), kWhite);
}

void BypassOverlay(Canvas& c) {
    const double w = c.Width(), h = c.Height();
    c.Fill(RoundRect(0, 0, w, h, 8), Rgb(128, 20, 20, 0.92f));
    c.Fill(RoundRect(2, 2, w - 2, h - 2, 6),
           VerticalGradient(Rgb(216, 62, 62, 0.88f), Rgb(172, 30, 30, 0.88f), 2, h - 2));
    constexpr double kScale = 3;
    const std::string words = "EQ IS BYPASS";
    const double tw = TextWidth(words, kScale, false);
    c.Fill(Text(words, std::floor((w - tw) / 2), std::floor((h - kFontRows * kScale) / 2), kScale,
                false),
           kWhite);
}

}  // namespace

std::optional<Canvas> Draw(const SkinSpec& spec) {
    Canvas c(spec.width, spec.height);
    const double w = spec.width, h = spec.height;
    switch (spec.id) {
        // Horizontal: the 22-pixel thumb over a 24-pixel track, travel 0..116.
        case SkinId::kSliderTrack:
        case SkinId::kSliderLit:
            Groove(c, false, 22, 3, w - 3, spec.id == SkinId::kSliderLit);
            break;
        case SkinId::kSliderThumb:
        case SkinId::kSliderThumbFocused:
            Thumb(c, false, spec.id == SkinId::kSliderThumbFocused);
            break;
        // Main window: the 22-pixel thumb in a 24-pixel track, travel 0..131.
        case SkinId::kMainSliderTrack:
        case SkinId::kMainSliderLit:
            Groove(c, true, 22, 3, h - 3, spec.id == SkinId::kMainSliderLit);
            break;
        case SkinId::kMainSliderThumb:
        case SkinId::kMainSliderThumbFocused:
            Thumb(c, true, spec.id == SkinId::kMainSliderThumbFocused);
            break;
        // Boost page: the thumb's top travels 10..95, so its centre 18.5..103.5.
        case SkinId::kBandSliderTrack:
        case SkinId::kBandSliderLit:
            Groove(c, true, 34, 12, 110, spec.id == SkinId::kBandSliderLit);
            if (spec.id == SkinId::kBandSliderTrack) {
                for (double y : {18.5, 61.0, 103.5}) Tick(c, y, 34);
            }
            break;
        case SkinId::kBandSliderThumb:
        case SkinId::kBandSliderThumbFocused:
            Thumb(c, true, spec.id == SkinId::kBandSliderThumbFocused);
            break;
        case SkinId::kCheckBox:
        case SkinId::kCheckBoxChecked:
            CheckBox(c, spec.id == SkinId::kCheckBoxChecked);
            break;
        case SkinId::kRadio:
        case SkinId::kRadioChecked:
            Radio(c, spec.id == SkinId::kRadioChecked);
            break;
        case SkinId::kPolarity:
            Button(c, kLight);
            break;
        case SkinId::kToggle:
        case SkinId::kSelector:
        case SkinId::kConnect:
            Button(c, kLight);
            break;
        case SkinId::kTogglePressed:
        case SkinId::kConnectPressed:
            Button(c, kLightPressed);
            break;
        case SkinId::kToggleChecked:
        case SkinId::kSelectorChecked:
        case SkinId::kConnectChecked:
            Button(c, kLightChecked);
            break;
        case SkinId::kToggleCheckedPressed:
        case SkinId::kConnectCheckedPressed:
            Button(c, kLightCheckedPressed);
            break;
        // Page buttons carry a light caption (0xF0F0F0) on a dark face.
        case SkinId::kPageButton:
            Button(c, kDark, 4);
            break;
        case SkinId::kPageButtonPressed:
            Button(c, kDarkPressed, 4);
            break;
        case SkinId::kPageButtonChecked:
            Button(c, kAccent, 4);
            break;
        case SkinId::kPageButtonCheckedPressed:
            Button(c, kAccentPressed, 4);
            break;
        case SkinId::kMarkerLowPass:
            Marker(c, "LP", kPassTop, kPassBottom);
            break;
        case SkinId::kMarkerHighPass:
            Marker(c, "HP", kPassTop, kPassBottom);
            break;
        case SkinId::kBypassOverlay:
            BypassOverlay(c);
            break;
        default: {
            const int band = static_cast<int>(spec.id) - static_cast<int>(SkinId::kMarkerBand1) + 1;
            if (band < 1 || band > kMarkerBandCount) return std::nullopt;
            Marker(c, std::to_string(band), kAccentTop, kAccentBottom);
            break;
        }
    }
    return c;
}

}  // namespace skingen
