#include "system/dlg_wait.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int kTextId = 1857;
constexpr int kBarId = 1858;
constexpr int kBarStepMs = 100;
constexpr std::size_t kCustomTextMax = 127;  // 128-byte field with its NUL
}  // namespace

std::string WaitBoxText(int mode, int language, const std::string& customText) {
    static const char* const kTexts[3][2] = {
        {"Connectting...", "正在联机..."},
        {"Loading...", "正在加载..."},
        {"Saving...", "正在存储..."},
    };
    if (mode == CDlgWait::kCustom) return customText;
    if (mode < 0 || mode > 2) return {};
    return kTexts[mode][language == 1 ? 1 : 0];
}

CDlgWait::CDlgWait(platform::Window* owner) : platform::Dialog(owner), owner_(owner) {
    setObjectName("CDlgWait");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(300, 90);
    auto* layout = new QVBoxLayout(this);
    text_ = new QLabel(this);
    text_->setAlignment(Qt::AlignCenter);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    AddControl(kTextId, text_);
    AddControl(kBarId, bar_);
}

CDlgWait::~CDlgWait() {
    if (owner_) owner_->PostMessage(WM_LEARN_CANCEL, 1, 0);
}

void CDlgWait::SetCustomText(const std::string& utf8) {
    std::size_t n = std::min(kCustomTextMax, utf8.size());
    // Never cut a multi-byte character in half.
    while (n > 0 && n < utf8.size() && (static_cast<unsigned char>(utf8[n]) & 0xC0) == 0x80) --n;
    customText_ = utf8.substr(0, n);
}

std::string CDlgWait::Text() const { return text_->text().toStdString(); }

int CDlgWait::DoModal() {
    text_->setText(QString::fromStdString(WaitBoxText(mode_, language_, customText_)));
    position_ = 0;
    bar_->setRange(0, 100);
    bar_->setValue(position_);
    SetTimer(TIMER_BUSY_BAR, kBarStepMs);
    const int result = RunModal();
    KillTimer(TIMER_BUSY_BAR);
    return result;
}

void CDlgWait::OnTimer(int id) {
    if (id != TIMER_BUSY_BAR) return;
    position_ = position_ >= 100 ? 0 : position_ + 1;
    bar_->setValue(position_);
}
