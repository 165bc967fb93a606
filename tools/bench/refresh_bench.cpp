// The main window's whole-image refresh (a block read, a mode recall, a PC
// mode load, a language switch and a kind switch each run one) in each mode
// kind, and a switch from the System page to each output page, which
// refreshes the page before it shows, in the two kinds that offer the output
// pages. Neither may freeze the window.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/main_dialog.h"
#include "model/param_image.h"
#include "platform/window.h"

namespace {

// The shown main window, its link pointed at a loopback port nobody connects
// to (no Connect is pressed here).
class ShownMain {
public:
    ShownMain() {
        LinkConfig link;
        link.tcpAddress = "127.0.0.1";
        link.tcpPort = 9;
        dlg_ = std::make_unique<CQuavixDlg>(
            QDir(folder_.path()).filePath("param_dir").toStdString(), link);
        dlg_->OnInitDialog();
        dlg_->show();
        platform::MessageQueue::Drain();
    }
    CQuavixDlg& operator*() { return *dlg_; }
    CQuavixDlg* operator->() { return dlg_.get(); }

    // The kind the image and the window are in.
    void UseKind(int kind) {
        dlg_->Image().ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(kind);
        dlg_->RefreshAllPages();
        platform::MessageQueue::Drain();
    }

private:
    QTemporaryDir folder_;
    std::unique_ptr<CQuavixDlg> dlg_;
};

constexpr const char* kKindNames[] = {"KTV", "cinema", "auto"};

void BM_RefreshAllPages(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    state.SetLabel(kKindNames[kind]);
    ShownMain dlg;
    dlg.UseKind(kind);
    for (auto _ : state) {
        dlg->RefreshAllPages();
        // Whatever the refresh posted would pile up between runs.
        state.PauseTiming();
        platform::MessageQueue::Drain();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RefreshAllPages)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// System to the page (timed) and back (not timed).
void BM_SwitchToOutputPage(benchmark::State& state) {
    const int page = static_cast<int>(state.range(0));
    const int kind = static_cast<int>(state.range(1));
    static constexpr const char* kPageNames[] = {"Master", "Surround", "Centre", "Subwoofer"};
    state.SetLabel(std::string(kPageNames[page - kPageMaster]) + ", " + kKindNames[kind]);
    ShownMain dlg;
    dlg.UseKind(kind);
    dlg->SelectPage(kPageSys);
    for (auto _ : state) {
        dlg->SelectPage(page);
        state.PauseTiming();
        dlg->SelectPage(kPageSys);
        platform::MessageQueue::Drain();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SwitchToOutputPage)
    ->ArgsProduct({{kPageMaster, kPageSurl, kPageCout, kPageSW}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
