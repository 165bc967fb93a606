#include "pages/dlg_echo.h"

#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "link/command_codes.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "platform/controls.h"

namespace {

constexpr int kTypeByte = 85;
constexpr unsigned kCode = CMD_ECHO_SETTINGS;

// The right delay and right predelay in stereo: a position of 0..100 shown
// as -50%..50% around the centre.
constexpr LabelFormat kCentred{"", -50, 1.0, 0, "%"};

constexpr int kRightDelayId = 1226;
constexpr int kRightPredelayId = 1233;

// Three columns of rows, each a caption above its slider, value label and
// polarity button. Column and line place a row.
struct EchoSlider {
    SliderRow row;
    int captionId;
    int column, line;
    int polarityId;  // 0: none
};
// The right delay and right predelay rows start in the mono layout; LayOut
// moves them to the type's field, range and label.
// clang-format off
constexpr EchoSlider kSliders[] = {
    {{1228, 1229, 0, 100, SliderField::Word(31), label_formats::kMs, kCode}, 1469, 0, 0, 0},
    {{1220, 1221, 1, 500, SliderField::Word(30), label_formats::kMs, kCode}, 1465, 0, 1, 0},
    {{1224, 1225, 0, 100, SliderField::Level(86), label_formats::kPlain, kCode}, 1467, 0, 2, 1852},
    {{1222, 1223, 0, 90, SliderField::Byte(87), label_formats::kPercent, kCode}, 1466, 0, 3, 0},
    {{kRightPredelayId, 1237, 0, 100, SliderField::Word(33), label_formats::kMs, kCode}, 1472, 1, 0, 0},
    {{kRightDelayId, 1227, 1, 500, SliderField::Word(32), label_formats::kMs, kCode}, 1468, 1, 1, 0},
    {{1232, 1235, 0, 100, SliderField::Level(91), label_formats::kPlain, kCode}, 1473, 1, 2, 1854},
    {{1218, 1219, 0, 100, SliderField::Level(88), label_formats::kPlain, kCode}, 1470, 2, 2, 1853},
    {{1234, 1239, 0, 90, SliderField::Byte(89), label_formats::kPercent, kCode}, 1474, 2, 3, 0},
    // Liveliness: kept, refreshed and sent, never shown.
    {{1230, 1231, 20, 99, SliderField::Byte(90), label_formats::kPlain, kCode}, 1471, 2, 0, 0},
};
// clang-format on
constexpr int kLivelinessId = 1230;

// Captions that do not follow the type.
constexpr PageCaption kFixedCaptions[] = {
    {1468, 67}, {1470, 194}, {1474, 74}, {1472, 75}, {1475, 80}, {1473, 81}, {1471, 70}, {1543, 64},
};
constexpr int kTypeCaptionId = 1475;
constexpr int kGroupId = 1543;

// The right-channel groups the type shows or hides.
constexpr int kRightLevelGroup[] = {1470, 1219, 1218, 1853};
constexpr int kRightDelayGroup[] = {1468, 1227, kRightDelayId};
constexpr int kRightPredelayGroup[] = {1472, 1237, kRightPredelayId};
constexpr int kRightRepeatGroup[] = {1474, 1239, 1234};

// What each type shows and where its right delay and predelay live.
constexpr int kLeftCaptionIds[4] = {1465, 1466, 1467, 1469};
struct EchoLayout {
    bool rightLevel, rightDelay, rightPredelay, rightRepeat;
    SliderField delay, predelay;  // of 1226 and 1233
    int delayMin, delayMax;       // of 1226; 1233 keeps 0..100
    LabelFormat rightLabel;       // of 1226 and 1233
    int leftCaptionRows[4];       // of kLeftCaptionIds
};
// clang-format off
constexpr EchoLayout kLayouts[CDlgEcho::kEchoTypeCount] = {
    // mono
    {false, false, false, false, SliderField::Word(32), SliderField::Word(33), 1, 500,
     label_formats::kMs, {66, 68, 192, 69}},
    // stereo
    {false, true, true, false, SliderField::Byte(92), SliderField::Byte(93), 0, 100,
     kCentred, {76, 68, 192, 69}},
    // dual
    {true, true, true, true, SliderField::Word(32), SliderField::Word(33), 1, 500,
     label_formats::kMs, {76, 78, 193, 79}},
};
// clang-format on

// The values an offline type change loads, the same for every type: level
// 100 inverted, repeat 60%, right level 100 inverted, right repeat 60%,
// liveliness 40, direct 0, right delay and predelay at the centre; delay
// 200 ms, predelay 0, right delay 200 ms, right predelay 0.
constexpr int kDefaultsFirstByte = 86;
constexpr std::uint8_t kDefaultBytes[] = {228, 60, 228, 60, 40, 0, 50, 50};
constexpr int kDefaultsFirstWord = 30;
constexpr std::uint16_t kDefaultWords[] = {200, 0, 200, 0};

constexpr int kColumnX[] = {380, 620, 860};
constexpr int kLineY[] = {4, 62, 120, 178};
constexpr int kCaptionWidth = 230;
constexpr int kCaptionHeight = 18;
constexpr int kSliderDy = 20;
constexpr int kLabelDx = 140;
constexpr int kLabelWidth = 50;
constexpr int kPolarityDx = 194;

}  // namespace

CDlgEcho::CDlgEcho(platform::Window* mainWindow) : CEqPage(mainWindow, kEqEcho), sliders_(*this) {
    MapMessage(WM_SLIDER_POS, &CDlgEcho::OnSliderPos);
    // The page's controls are closed during a wait, but an editor asked for
    // just before the pick would still open, and its pass filters (13) would
    // reach the unit after the type request, carrying the old type.
    MapMessage(WM_OPEN_EQ_EDITOR, [this](WPARAM w, LPARAM l) -> LRESULT {
        return AwaitingType() ? 0 : CEqPage::OnOpenEqEditor(w, l);
    });
    AddCaptions(kFixedCaptions);
    CreateGroupBox(this, kGroupId, QRect());
    ShowItem(kGroupId, false);
    for (const EchoSlider& s : kSliders) {
        const int x = kColumnX[s.column];
        const int y = kLineY[s.line];
        const int sliderY = y + kSliderDy;
        CreateSliderRow(
            this, sliders_, s.row,
            {s.captionId, QRect(x, y, kCaptionWidth, kCaptionHeight), QPoint(x, sliderY),
             QRect(x + kLabelDx, sliderY, kLabelWidth, kPageSliderHeight)});
        if (s.polarityId) {
            CreatePolarityButton(this, s.polarityId, QRect(x + kPolarityDx, sliderY + 2, 20, 20),
                                 kPolarityGrey);
            sliders_.AddPolarity(s.polarityId, s.row.field, s.row.command, s.row.argument);
        }
    }
    for (int id : {1471, kLivelinessId, 1231}) ShowItem(id, false);

    const int x = kColumnX[1];
    const int y = kLineY[3];
    auto* caption = new QLabel(this);
    caption->setGeometry(x, y, kCaptionWidth, kCaptionHeight);
    AddControl(kTypeCaptionId, caption);
    auto* combo = new QComboBox(this);
    combo->setGeometry(x, y + kSliderDy, kPageSliderWidth, kPageSliderHeight);
    AddControl(kTypeComboId, combo);
    platform::FillCombo(combo, EchoTypeItems(kLanguageEnglish), -1);
    platform::OnUserSelect(combo, [this](int) { OnEchoType(); });

    LayOut(0);
    SetLanguage(Language());
}

QComboBox* CDlgEcho::TypeCombo() const { return ControlAs<QComboBox>(kTypeComboId); }

LRESULT CDlgEcho::OnSliderPos(WPARAM id, LPARAM pos) {
    // While a type change waits for its answer a change would carry the old
    // type, and reaching the unit after the request it would undo the pick.
    if (!AwaitingType()) sliders_.OnSliderPos(static_cast<int>(id), static_cast<int>(pos));
    return 0;
}

void CDlgEcho::OnEchoType() {
    ParamImage* image = Image();
    const int type = TypeCombo()->currentIndex();
    if (!image || AwaitingType() || type < 0 || type >= kEchoTypeCount) return;
    std::uint8_t& stored = image->ParamBytes[kTypeByte];
    if (type == stored) return;
    if (connected_ && connected_()) {
        // The unit answers with the type and its own values for it, and the
        // answer stores both. Stored now, the type would stand over the old
        // type's values in every refresh, file and command until then.
        awaitedType_ = type;
        typeRequest_ = 0;
        setEnabled(false);
        PostCommand(CMD_ECHO_TYPE, type);
        return;
    }
    stored = static_cast<std::uint8_t>(type);
    std::copy(std::begin(kDefaultBytes), std::end(kDefaultBytes),
              image->ParamBytes.begin() + kDefaultsFirstByte);
    std::copy(std::begin(kDefaultWords), std::end(kDefaultWords),
              image->ParamWords.begin() + kDefaultsFirstWord);
    RefreshFromParams(type);
}

void CDlgEcho::LayOut(int echoType) {
    if (echoType < 0 || echoType >= kEchoTypeCount) return;
    const EchoLayout& l = kLayouts[echoType];
    laidOutType_ = echoType;
    for (int id : kRightLevelGroup) ShowItem(id, l.rightLevel);
    for (int id : kRightDelayGroup) ShowItem(id, l.rightDelay);
    for (int id : kRightPredelayGroup) ShowItem(id, l.rightPredelay);
    for (int id : kRightRepeatGroup) ShowItem(id, l.rightRepeat);
    sliders_.SetField(kRightDelayId, l.delay);
    sliders_.SetRange(kRightDelayId, l.delayMin, l.delayMax);
    sliders_.SetLabel(kRightDelayId, l.rightLabel);
    sliders_.SetField(kRightPredelayId, l.predelay);
    sliders_.SetLabel(kRightPredelayId, l.rightLabel);
}

// A whole-image refresh during a wait lays out what the image holds, a type
// with its own values, and the page stays closed: the request still goes to
// the unit, and its answer is the unit's word after it.
void CDlgEcho::RefreshFromParams(int echoType) {
    LayOut(echoType);
    platform::SetComboSelection(TypeCombo(), AwaitingType() ? awaitedType_ : echoType);
    sliders_.Load();
    UpdateEchoLabels();
}

void CDlgEcho::OnTypeRequestTaken(int request) {
    if (AwaitingType() && typeRequest_ == 0) typeRequest_ = request;
}

void CDlgEcho::OnTypeRequestRefused() {
    if (AwaitingType() && typeRequest_ == 0) CancelTypeChange();
}

// The page takes input again only once its request was answered, timed out
// after being written, refused, or dropped with the link: every earlier
// request of the page has been written by then, so the first one written
// during a wait is the wait's own.
void CDlgEcho::OnTypeRequestWritten() {
    if (AwaitingType() && !HasTimer(kTypeAnswerTimer)) SetTimer(kTypeAnswerTimer, kTypeAnswerMs);
}

void CDlgEcho::OnTypeAnswer(int echoType, int request) {
    // An earlier request's answer: its type is about to be left, and laid
    // out it would take the old type's input behind the request that waits.
    if (AwaitingType() && (typeRequest_ == 0 || request != typeRequest_)) return;
    EndWait();
    RefreshFromParams(echoType);
}

void CDlgEcho::RefreshLabels() { sliders_.RefreshLabels(); }

void CDlgEcho::UpdateEchoLabels() {
    const EchoLayout& l = kLayouts[laidOutType_];
    for (int k = 0; k < 4; ++k)
        SetItemText(kLeftCaptionIds[k], UiText(Language(), l.leftCaptionRows[k]));
}

void CDlgEcho::EndWait() {
    if (!AwaitingType()) return;
    awaitedType_ = -1;
    typeRequest_ = 0;
    KillTimer(kTypeAnswerTimer);
    setEnabled(true);
}

// The image may hold another type by now (an earlier request's answer, a
// block read): the page shows what it holds.
void CDlgEcho::CancelTypeChange() {
    if (!AwaitingType()) return;
    EndWait();
    if (const ParamImage* image = Image()) RefreshFromParams(image->ParamBytes[kTypeByte]);
}

void CDlgEcho::OnTimer(int id) {
    if (id == kTypeAnswerTimer) CancelTypeChange();
}

void CDlgEcho::LoadFromImage() {
    CEqPage::LoadFromImage();
    if (const ParamImage* image = Image()) RefreshFromParams(image->ParamBytes[kTypeByte]);
}

void CDlgEcho::SetLanguage(int language) {
    CEqPage::SetLanguage(language);
    UpdateEchoLabels();
    QComboBox* combo = TypeCombo();
    platform::FillCombo(combo, EchoTypeItems(Language()), combo->currentIndex());
}
