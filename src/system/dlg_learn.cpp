#include "system/dlg_learn.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "eq/my_btn.h"
#include "eq/skin_catalogue.h"
#include "link/command_builder.h"
#include "link/command_codes.h"
#include "model/ui_text.h"
#include "platform/controls.h"
#include "platform/prompts.h"
#include "platform/text_fit.h"
#include "system/learn_codes.h"
#include "system/link_query.h"
#include "model/learn_table_file.h"

namespace {

// The slots in columns of eight, each a function button and its code edit.
constexpr int kMargin = 12;
constexpr int kRowsPerColumn = 8;
constexpr int kColumnPitch = 214;
constexpr int kRowPitch = 32;
constexpr int kButtonWidth = 65;  // the selector picture's size
constexpr int kButtonHeight = 26;
constexpr int kEditLeft = 70;
constexpr int kEditWidth = 136;
constexpr int kEditHeight = 22;
constexpr int kColumns = (kLearnVisibleSlots + kRowsPerColumn - 1) / kRowsPerColumn;
constexpr int kBottomY = kMargin + kRowsPerColumn * kRowPitch + 8;
constexpr int kClientWidth = kMargin + kColumns * kColumnPitch - 8 + kMargin;
constexpr int kClientHeight = kBottomY + kButtonHeight + kMargin;
constexpr std::uint32_t kBackground = 0xF0F0F0;

struct Command {
    int id;
    const char* caption;
    int x, width;
};
constexpr Command kCommands[] = {
    {CDlgLearn::kLoadId, "从电脑加载", 300, 110},
    {CDlgLearn::kSaveId, "存储到电脑", 420, 110},
    {CDlgLearn::kDownloadId, "存储到设备", 540, 110},
    {CDlgLearn::kClearAllId, "清除所有", 660, 110},
};

constexpr const char* kTableFilter = "文件(*.dat);;All Files(*.*)";
constexpr const char* kTableSuffix = "dat";
constexpr const char* kClearAllQuestion = "确定清除所有?";
// The learn dialog's boxes have a single blank as their caption.
constexpr const char* kCaption = " ";

// Every text a code edit can show is no wider than its widest hex digit
// repeated for the longest code.
std::vector<std::string> WidestCodeTexts() {
    std::vector<std::string> texts;
    for (const char digit : std::string("0123456789abcdef"))
        texts.emplace_back(2 * kLearnCodeMaxLength, digit);
    return texts;
}

}  // namespace

CDlgLearn::CDlgLearn(platform::Window* owner, ParamImage& image)
    : platform::Dialog(owner), owner_(owner), image_(image) {
    setObjectName("CDlgLearn");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(kCaption);
    setFixedSize(kClientWidth, kClientHeight);

    const std::vector<std::string> widestCodes = WidestCodeTexts();
    for (int slot = kLearnFirstSlot; slot <= kLearnLastSlot; ++slot) {
        const int i = slot - 1;
        const int x = kMargin + (i / kRowsPerColumn) * kColumnPitch;
        const int y = kMargin + (i % kRowsPerColumn) * kRowPitch;
        const bool shown = slot <= kLearnVisibleSlots;

        auto* button = new CMyBtn(this, ButtonId(slot), this);
        button->setGeometry(x, y, kButtonWidth, kButtonHeight);
        button->Setup(SelectorSkins(), CMyBtn::Flags(CMyBtn::kLookPush, CMyBtn::kAlignCentre),
                      kBackground, kBackground, kBackground);
        button->setText(QString::fromStdString(LearnFunctionName(slot)));
        button->setVisible(shown);
        connect(button, &QAbstractButton::clicked, this, [this, slot] { OnLearnItem(slot); });

        auto* edit = new QLineEdit(this);
        edit->setGeometry(x + kEditLeft, y + (kButtonHeight - kEditHeight) / 2, kEditWidth,
                          kEditHeight);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        platform::SetWidestTexts(edit, widestCodes);
        edit->setVisible(shown);
        AddControl(EditId(slot), edit);
    }

    auto* label = new QLabel(QString::fromUtf8("波特率"), this);
    label->setGeometry(kMargin, kBottomY, 60, kButtonHeight);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddControl(kBaudLabelId, label);
    baud_ = new QComboBox(this);
    baud_->setGeometry(kMargin + 66, kBottomY + 2, 100, kEditHeight);
    for (std::uint32_t rate : kLearnBaudRates) baud_->addItem(QString::number(rate));
    AddControl(kBaudComboId, baud_);
    platform::OnUserSelect(baud_, [this](int selection) { OnBaudSelChange(selection); });

    for (const Command& c : kCommands) {
        auto* button = new QPushButton(QString::fromUtf8(c.caption), this);
        button->setAutoDefault(false);
        button->setGeometry(c.x, kBottomY, c.width, kButtonHeight);
        AddControl(c.id, button);
    }
    const auto onClick = [this](int id, void (CDlgLearn::*handler)()) {
        platform::OnUserClick(ControlAs<QPushButton>(id), [this, handler] { (this->*handler)(); });
    };
    onClick(kLoadId, &CDlgLearn::OnLoad);
    onClick(kSaveId, &CDlgLearn::OnSave);
    onClick(kDownloadId, &CDlgLearn::OnDownload);
    onClick(kClearAllId, &CDlgLearn::OnClearAll);
}

int CDlgLearn::DoModal() {
    ShowBaudIndex();
    ShowCodes();
    return RunModal();
}

void CDlgLearn::ShowCode(int slot) {
    const LearnCode* code = LearnCodeOf(image_, slot);
    if (!code) return;
    platform::SetEditText(ControlAs<QLineEdit>(EditId(slot)), LearnCodeText(*code));
}

void CDlgLearn::ShowCodes() {
    for (int slot = kLearnFirstSlot; slot <= kLearnLastSlot; ++slot) ShowCode(slot);
}

void CDlgLearn::ShowBaudIndex() {
    const int index = image_.BaudIndex;
    platform::SetComboSelection(baud_, index >= 0 && index < baud_->count() ? index : -1);
}

void CDlgLearn::OnLearnItem(int slot) {
    if (owner_) owner_->PostMessage(WM_LEARN_ITEM, static_cast<WPARAM>(slot), 0);
}

void CDlgLearn::OnBaudSelChange(int selection) {
    // A combo left without a selection keeps the rate the unit listens at.
    if (selection < 0 || selection >= static_cast<int>(kLearnBaudRates.size())) return;
    image_.BaudIndex = selection;
}

void CDlgLearn::OnLoad() {
    const std::optional<std::string> path =
        platform::CurrentPrompts().OpenFileName(this, kTableFilter, kTableSuffix);
    if (!path) return;
    if (!LoadLearnTableFile(std::filesystem::u8path(*path), image_)) {
        platform::MessageBox(this, FileResultText(FileResult::kLoadFailed, kLanguageChinese),
                             kCaption);
        return;
    }
    ShowBaudIndex();
    ShowCodes();
}

void CDlgLearn::OnSave() {
    const std::optional<std::string> path =
        platform::CurrentPrompts().SaveFileName(this, kTableFilter, kTableSuffix);
    if (!path) return;
    const bool saved = SaveLearnTableFile(std::filesystem::u8path(*path), image_);
    platform::MessageBox(
        this,
        FileResultText(saved ? FileResult::kSaved : FileResult::kSaveFailed, kLanguageChinese),
        kCaption);
}

void CDlgLearn::OnDownload() {
    // A closed link drops the request unsent: say so rather than post it.
    if (!ConnectedOrSaySo(this, linkConnected_, image_.Language, kCaption)) return;
    if (owner_) owner_->PostMessage(WM_SEND_COMMAND, CMD_LEARN_TABLE, 0);
}

void CDlgLearn::OnClearAll() {
    if (platform::MessageBox(this, kClearAllQuestion, kCaption, platform::MbType::YesNo) != IDYES)
        return;
    for (LearnCode& code : image_.LearnCodes) code.fill(0);
    ShowCodes();
}
