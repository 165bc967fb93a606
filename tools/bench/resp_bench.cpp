// One redraw of an equaliser graph: the masked sum of a page's bands and the
// render of curve, selected band and markers. The widest graph (2048 columns)
// with the 17 bands of the music and microphone pages, and a 600-column graph
// with the 7 bands of the reverb and echo pages.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "eq/resp.h"

namespace {

constexpr int kGraphHeight = 290;

// 15 peaking bands, then the low-pass and the high-pass record.
const EqBand kMusicBands[17] = {
    {0, 0, 31, 14, 30},   {0, 0, 50, 7, -45},    {0, 0, 80, 20, 60},    {0, 0, 125, 43, -30},
    {0, 0, 200, 10, 15},  {0, 0, 315, 30, -60},  {0, 0, 500, 14, 45},   {0, 0, 800, 100, -120},
    {0, 1, 1250, 7, 30},  {0, 0, 2000, 14, -15}, {0, 0, 3150, 43, 90},  {0, 2, 5000, 10, -45},
    {0, 0, 8000, 14, 60}, {0, 0, 12500, 7, -30}, {0, 0, 16000, 20, 45}, {6, 3, 18000, 7, 0},
    {7, 4, 40, 7, 0},
};

// 5 peaking bands, low-pass, high-pass.
const EqBand kReverbBands[7] = {
    {0, 0, 100, 14, 30},   {0, 0, 400, 10, -60}, {0, 0, 1600, 43, 90}, {0, 0, 4000, 7, -30},
    {0, 0, 10000, 14, 45}, {4, 3, 12000, 7, 0},  {3, 4, 120, 7, 0},
};

struct Graph {
    explicit Graph(int width)
        : canvasPixels(static_cast<size_t>(width) * kGraphHeight),
          background(canvasPixels.size(), 0x00F0F0F0),
          marker(24 * 24, 0xC0FF4020) {
        resp.SetUpAxis(width, kGraphHeight, 20);
        resp.canvas = {width, kGraphHeight, canvasPixels.data()};
        resp.images[0] = {width, kGraphHeight, background.data()};
        for (int i = 1; i <= 19; ++i) resp.images[i] = {24, 24, marker.data()};
        resp.selectedBand = 3;
    }

    CResp resp;
    std::vector<uint32_t> canvasPixels;
    std::vector<uint32_t> background;
    std::vector<uint32_t> marker;
};

void Redraw(benchmark::State& state, int width, const EqBand* bands, int count) {
    Graph graph(width);
    for (auto _ : state) {
        graph.resp.SumBandsMasked(count, bands, 0xFFFF);
        graph.resp.Render(bands, count);
        benchmark::DoNotOptimize(graph.canvasPixels.data());
        benchmark::ClobberMemory();
    }
}

void BM_Redraw17Bands2048Columns(benchmark::State& state) { Redraw(state, 2048, kMusicBands, 17); }
BENCHMARK(BM_Redraw17Bands2048Columns)->Unit(benchmark::kMicrosecond);

void BM_Redraw7Bands600Columns(benchmark::State& state) { Redraw(state, 600, kReverbBands, 7); }
BENCHMARK(BM_Redraw7Bands600Columns)->Unit(benchmark::kMicrosecond);

// The sum alone, to tell the maths from the drawing.
void BM_Sum17Bands2048Columns(benchmark::State& state) {
    Graph graph(2048);
    for (auto _ : state) {
        graph.resp.SumBandsMasked(17, kMusicBands, 0xFFFF);
        benchmark::DoNotOptimize(graph.resp.sumCurve);
    }
}
BENCHMARK(BM_Sum17Bands2048Columns)->Unit(benchmark::kMicrosecond);

}  // namespace
