#include "eq/eq_graph.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <string>

#include "eq/band_entry.h"
#include "model/param_image.h"
#include "model/ui_text.h"

namespace {

// Graph colours, 0x00RRGGBB.
constexpr std::uint32_t kGraphBackground = 0xF0F0F0F0;
constexpr std::uint32_t kGridColour = 0xA6A6A6;
constexpr std::uint32_t kFrameColour = 0x505050;
const QColor kAxisTextColour(0x78, 0x78, 0x78);
const QColor kBandTextColour(250, 0, 0);

// A marker's hit box reaches this far from its centre.
constexpr int kMarkerReach = 12;

constexpr int kGridFrequencies[] = {20,   30,   40,   50,   60,   70,   80,    90,   100,  200,
                                    300,  400,  500,  600,  700,  800,  900,   1000, 2000, 3000,
                                    4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};
bool LabelledFrequency(int f) {
    static constexpr int kLabelled[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
    return std::find(std::begin(kLabelled), std::end(kLabelled), f) != std::end(kLabelled);
}

// The graph's fonts: Courier New (or the platform's fixed-pitch face) whose
// character cell, not its em, is this many pixels high, as the unit's graphs
// were laid out for.
QFont GraphFont(int cellHeight) {
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    int size = cellHeight;
    font.setPixelSize(size);
    while (size > 6 && QFontMetrics(font).height() > cellHeight) font.setPixelSize(--size);
    return font;
}

// "%3ddb": the level right-aligned in three places.
std::string LevelLabel(int db) {
    std::string s = FormatIntegerEntry(db);
    if (s.size() < 3) s.insert(0, 3 - s.size(), ' ');
    return s + "db";
}

}  // namespace

EqGraph::EqGraph(int width, int height, int top, MarkerPage markers)
    : width_(std::clamp(width, 1, CResp::kMaxColumns)),
      height_(std::max(height, 1)),
      resp_(std::make_unique<CResp>()) {
    const int w = width_;
    const int h = height_;
    canvasPixels_.assign(static_cast<std::size_t>(w) * h, kGraphBackground);
    backgroundPixels_.assign(canvasPixels_.size(), kGraphBackground);
    canvasImage_ =
        QImage(reinterpret_cast<uchar*>(canvasPixels_.data()), w, h, w * 4, QImage::Format_RGB32);
    axisFont_ = GraphFont(16);
    bandFont_ = GraphFont(14);

    CResp& r = *resp_;
    r.SetUpAxis(w, h, top);
    r.canvas = SkinCanvas{w, h, canvasPixels_.data()};
    DrawBackground();
    r.images[0] = SkinImage{w, h, backgroundPixels_.data()};
    const auto table = MarkerImageTable(markers);
    const int n = std::min<int>(static_cast<int>(table.size()), CResp::kImageCount - 1);
    for (int i = 0; i < n; ++i) {
        if (table[static_cast<std::size_t>(i)]) r.images[1 + i] = *table[i];
    }
    // The table's last entry is the EQ IS BYPASS picture.
    r.overlayImage = n;
}

EqGraph::~EqGraph() = default;

void EqGraph::DrawBackground() {
    const CResp& r = *resp_;
    const int w = width_;
    const int h = height_;
    std::uint32_t* px = backgroundPixels_.data();
    auto setPixel = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && x < w && y >= 0 && y < h) px[y * w + x] = c;
    };
    QImage image(reinterpret_cast<uchar*>(px), w, h, w * 4, QImage::Format_RGB32);
    std::vector<int> levelRows;
    std::vector<int> gridColumns;
    {
        QPainter p(&image);
        p.setFont(axisFont_);
        p.setPen(kAxisTextColour);
        float yf = static_cast<float>(r.yTop);
        const float step = static_cast<float>((r.yBottom - r.yTop) * 0.125);
        for (int k = 0; k < 9; ++k) {
            const int y = static_cast<int>(yf);
            p.drawText(QRect(QPoint(2, y - 8), QPoint(r.xStart - 1, y + 11)),
                       Qt::AlignLeft | Qt::AlignTop,
                       QString::fromStdString(LevelLabel(24 - 6 * k)));
            levelRows.push_back(y);
            yf += step;
        }
        for (int f : kGridFrequencies) {
            const int x = static_cast<int>(
                std::trunc(std::log10(static_cast<double>(f)) * r.pxPerDecade + 0.5 + r.xOffset));
            if (x <= 0 || x >= w) continue;
            gridColumns.push_back(x);
            if (!LabelledFrequency(f)) continue;
            const std::string label =
                f < 1000 ? FormatIntegerEntry(f) + "hz" : FormatIntegerEntry(f / 1000) + "khz";
            p.drawText(QRect(QPoint(x - 15, r.yBottom + 5), QPoint(x + 24, r.yBottom + 29)),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                       QString::fromStdString(label));
        }
    }
    for (int y : levelRows)
        for (int x = r.xStart; x < w; ++x) setPixel(x, y, kGridColour);
    for (int x : gridColumns)
        for (int y = r.yTop; y < r.yBottom; ++y) setPixel(x, y, kGridColour);
    for (int y = r.yTop; y < r.yBottom; ++y) {
        for (int x : {r.xStart, r.xStart + 1, w - 2, w - 1}) setPixel(x, y, kFrameColour);
    }
    for (int x = r.xStart; x <= w - 2; ++x) {
        for (int y : {r.yTop, r.yTop + 1, r.yBottom - 2, r.yBottom - 1})
            setPixel(x, y, kFrameColour);
    }
    // The empty graph shows until the page first draws a curve.
    std::copy(backgroundPixels_.begin(), backgroundPixels_.end(), canvasPixels_.begin());
}

void EqGraph::DrawBandLabel(const EqBand* bands, int count, int band, PassLabel pass,
                            bool lowPass48Db) {
    int mx = 0, my = 0;
    if (!resp_->MarkerPosition(bands, count, band, &mx, &my)) return;
    const EqBand& b = bands[band];
    const int lx = mx - 16;
    const bool raised = static_cast<float>(b.gain / 10.0) > 0.0f;
    const int ly = raised ? my + 12 : my - 42;
    QPainter p(&canvasImage_);
    p.setFont(bandFont_);
    p.setPen(kBandTextColour);
    const int ascent = p.fontMetrics().ascent();
    auto text = [&](int x, int y, const std::string& s) {
        p.drawText(QPoint(x, y + ascent), QString::fromStdString(s));
    };
    if (b.type < kBandTypeLowPass) {
        // Three lines a whole character cell apart, so none covers the next;
        // the block starts under a raised marker's picture and ends on top
        // of a lowered one's.
        constexpr int kMarkerHalf = 12;
        const int step = p.fontMetrics().height();
        const int top = raised ? my + kMarkerHalf : my - kMarkerHalf - 3 * step;
        text(lx, top, FormatIntegerEntry(b.frequency) + "hz");
        text(lx, top + step, FormatTenthsEntry(b.gain) + "db");
        text(lx, top + 2 * step, "q=" + FormatTenthsEntry(b.q));
    } else if (pass == PassLabel::kFrequency) {
        text(lx, ly + 10, FormatIntegerEntry(b.frequency) + "hz");
    } else {
        text(lx - 20, ly, FormatIntegerEntry(b.frequency) + "hz");
        text(lx - 20, ly + 15, FilterTypeName(b.slope, lowPass48Db && b.type == kBandTypeLowPass));
    }
}

float EqGraph::FrequencyAt(int x) const {
    const CResp& r = *resp_;
    const float decades = static_cast<float>(x - r.xOffset) / r.pxPerDecade;
    return std::trunc(std::pow(10.0f, decades));
}

int EqGraph::GainAt(int y) const {
    const CResp& r = *resp_;
    const float db = static_cast<float>(r.yBottom - y) / r.pxPerDb - 24.0f;
    return static_cast<int>(std::clamp(std::trunc(db * 10.0f), -240.0f, 240.0f));
}

bool EqGraph::MarkerCentre(const EqBand* bands, int count, int band, QPoint* centre) const {
    int mx = 0, my = 0;
    if (!resp_->MarkerPosition(bands, count, band, &mx, &my)) return false;
    if (centre) *centre = QPoint(mx, my);
    return true;
}

bool EqGraph::MarkerContains(const EqBand* bands, int count, int band, QPoint point) const {
    QPoint c;
    if (!MarkerCentre(bands, count, band, &c)) return false;
    return point.x() >= c.x() - kMarkerReach && point.x() < c.x() + kMarkerReach &&
           point.y() >= c.y() - kMarkerReach && point.y() < c.y() + kMarkerReach;
}
