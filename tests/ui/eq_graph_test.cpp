// The graph canvas every EQ page and the boost page draw on: the selected
// band's label beside its marker.
#include "eq/eq_graph.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <utility>
#include <vector>

#include "model/eq_band.h"

namespace {

constexpr int kWidth = 1096;
constexpr int kHeight = 290;
constexpr int kTop = 20;

// The rows that hold the label's red ink, as runs [first, last].
std::vector<std::pair<int, int>> InkRuns(const QImage& canvas) {
    std::vector<std::pair<int, int>> runs;
    for (int y = 0; y < canvas.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < canvas.width() && !ink; ++x) {
            const QRgb c = canvas.pixel(x, y);
            ink = qRed(c) > 200 && qGreen(c) < 140 && qBlue(c) < 140;
        }
        if (!ink) continue;
        if (!runs.empty() && runs.back().second == y - 1)
            runs.back().second = y;
        else
            runs.emplace_back(y, y);
    }
    return runs;
}

// The three lines of a band's label (frequency, gain, Q) stand apart, each
// whole, below a raised marker and above a lowered one, clear of the 24-px
// marker picture.
TEST(EqGraphLabel, ThreeLinesStandApartBesideTheMarker) {
    const struct {
        const char* what;
        std::int16_t gain;
        bool below;
    } cases[] = {
        {"raised", 60, true}, {"flat", 0, false},      {"lowered", -120, false},
        {"top", 240, true},   {"bottom", -240, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EqGraph graph(kWidth, kHeight, kTop, MarkerPage::kMusic);
        EqBand band{0, kBandTypePeq, 1000, 45, c.gain};
        QPoint marker;
        ASSERT_TRUE(graph.MarkerCentre(&band, 1, 0, &marker));
        graph.DrawBandLabel(&band, 1, 0, EqGraph::PassLabel::kFrequency, false);
        const auto runs = InkRuns(graph.Canvas());
        ASSERT_EQ(runs.size(), 3u);
        for (std::size_t k = 1; k < runs.size(); ++k)
            EXPECT_GT(runs[k].first, runs[k - 1].second + 1) << "line " << k;
        if (c.below)
            EXPECT_GE(runs.front().first, marker.y() + 12);
        else
            EXPECT_LE(runs.back().second, marker.y() - 12);
    }
}

}  // namespace
