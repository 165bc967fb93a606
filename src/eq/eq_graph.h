#pragma once
// The canvas of one equaliser graph: the response engine with its axis, the
// empty graph (level lines labelled "%3ddb", the logarithmic frequency grid
// with its labels, the double frame), the band markers, and the selected
// band's label beside its marker. The EQ pages and the boost page each own
// one; what the mouse means on it (a frequency per column, a gain per row, a
// marker's hit box) is answered here too, so every graph reads alike.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <cstdint>
#include <memory>
#include <vector>

#include "eq/resp.h"
#include "eq/skin_catalogue.h"

class EqGraph {
public:
    // A graph of width x height pixels with +24 dB at row top, the markers of
    // the given page and, as the table's last entry, its bypass overlay.
    EqGraph(int width, int height, int top, MarkerPage markers);
    ~EqGraph();
    EqGraph(const EqGraph&) = delete;
    EqGraph& operator=(const EqGraph&) = delete;

    CResp& Resp() { return *resp_; }
    const CResp& Resp() const { return *resp_; }
    const QImage& Canvas() const { return canvasImage_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // How a pass filter's label reads: its frequency one line lower, or its
    // frequency and slope name further left.
    enum class PassLabel { kFrequency, kFrequencyAndSlope };
    // Writes the label of bands[band] beside its marker ("%dhz", "%0.1fdb",
    // "q=%0.1f" for a PEQ band or a shelf); nothing for a band without one.
    void DrawBandLabel(const EqBand* bands, int count, int band, PassLabel pass, bool lowPass48Db);

    // The frequency column x (graph coordinates) stands for, truncated to
    // whole hertz and not clamped.
    float FrequencyAt(int x) const;
    // The gain x10 row y stands for, truncated and held within -24..24 dB.
    int GainAt(int y) const;
    // The centre of a band's marker (graph coordinates); false when the band
    // has no marker on the graph.
    bool MarkerCentre(const EqBand* bands, int count, int band, QPoint* centre) const;
    // The point (graph coordinates) lies on the band's marker.
    bool MarkerContains(const EqBand* bands, int count, int band, QPoint point) const;

private:
    void DrawBackground();

    int width_;
    int height_;
    std::unique_ptr<CResp> resp_;
    std::vector<std::uint32_t> canvasPixels_;
    std::vector<std::uint32_t> backgroundPixels_;
    QImage canvasImage_;
    QFont axisFont_;
    QFont bandFont_;
};
