// Main of the page benchmarks: the windows run as in the window tests.
#include <benchmark/benchmark.h>

#include "support/offscreen_app.h"

int main(int argc, char** argv) {
    testsupport::OffscreenApp app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
