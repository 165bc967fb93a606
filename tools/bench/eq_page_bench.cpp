// One band drag on the 17-band Music page: from the mouse-move event the page
// receives to its redrawn canvas (the stored band, the posted command, the
// summed curve, the render and the label).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>

#include "model/param_image.h"
#include "pages/dlg_music.h"
#include "platform/window.h"

namespace {

class NullMain : public platform::Window {};

void BM_MusicPageBandDrag(benchmark::State& state) {
    NullMain main;
    ParamImage image;
    InitParamImage(image);
    CDlgMusic page(&main);
    page.resize(1096, 605);
    page.Wire(&image);
    page.LoadFromImage();
    page.SetGraphState(2);
    page.EnsureSelection();
    page.RedrawCurve();
    QPoint marker;
    page.MarkerCentre(7, &marker);
    page.OnLButtonDown(marker);
    int step = 0;
    for (auto _ : state) {
        // Back and forth across a few pixels, so every move changes the band.
        const QPointF at(marker.x() + (step % 40) - 20, marker.y() + (step % 20) - 10);
        ++step;
        QMouseEvent move(QEvent::MouseMove, at, page.mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&page, &move);
        benchmark::DoNotOptimize(page.Canvas().constBits());
        // The posted commands would pile up; the main window drops them.
        if (step % 256 == 0) platform::MessageQueue::Drain();
    }
    platform::MessageQueue::Drain();
}
BENCHMARK(BM_MusicPageBandDrag)->Unit(benchmark::kMicrosecond);

}  // namespace
