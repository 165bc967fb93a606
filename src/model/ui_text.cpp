#include "model/ui_text.h"

#include <array>
#include <iterator>
#include <span>

#include "model/param_image.h"
#include "model/value_label.h"

namespace {

struct UiTextRow {
    const char* english;
    const char* chinese;
};

constexpr UiTextRow kUiTextTable[] = {
#include "ui_text_table.inc"
};
static_assert(std::size(kUiTextTable) == kUiTextRows);

// Indexed by PassSlope. The subwoofer page's low-pass record uses the twin.
constexpr std::array<const char*, kFilterTypeCount> FilterTypeNames = {
    "flat", "bs12db", "bw12db", "bs18db", "bw18db", "bs24db", "bw24db", "LR24db",
};
constexpr std::array<const char*, kFilterTypeCount> FilterTypeNames48 = {
    "flat", "bs12db", "bw12db", "bs18db", "bw18db", "bs24db", "bw24db", "48db",
};

// A combo's items in both languages, one pair per item.
constexpr UiTextRow kCrossoverTypes[] = {
    {"flat", "直通"},
    {"bessel_12db", "贝赛尔12db"},
    {"butter_12db", "巴特沃斯12db"},
    {"bessel_18db", "贝赛尔18db"},
    {"butter_18db", "巴特沃斯18db"},
    {"bessel_24db", "贝赛尔24db"},
    {"butter_24db", "巴特沃斯24db"},
    {"LR_24db", "林奎茨24db"},
};
constexpr UiTextRow kCrossoverType48 = {"butter_48db", "巴特沃斯48db"};

constexpr UiTextRow kFilterTypes[] = {{"PEQ", "参量均衡"}, {"LS", "低架"}, {"HS", "高架"}};

constexpr UiTextRow kKtvInputs[] = {
    {"Analog Auto", "模拟自动"},
    {"VOD", "VOD"},
    {"AUX", "AUX"},
    {"BGM", "BGM"},
    {"COAX", "同轴"},
    {"OPTI", "光纤"},
    {"HDMI1", "HDMI1"},
    {"HDMI2", "HDMI2"},
    {"HDMI3", "HDMI3"},
};
constexpr UiTextRow kCinemaInputs[] = {
    {"COAX", "同轴"}, {"OPTI", "光纤"}, {"HDMI1", "HDMI1"}, {"HDMI2", "HDMI2"}, {"HDMI3", "HDMI3"},
};

constexpr UiTextRow kReverbTypes[] = {{"hall", "厅堂"}, {"room", "房间"}, {"plate", "板房"}};
constexpr UiTextRow kEchoTypes[] = {{"mono", "单回声"}, {"stereo", "立体声"}, {"dual", "双回声"}};

constexpr UiTextRow kPeqPrefix = {"PEQ", "参量均衡"};
constexpr UiTextRow kLastMode = {"Last Mode", "上次调用的模式"};
constexpr UiTextRow kUserModePrefix = {"User Mode ", "模式"};
constexpr int kUserModes = 10;

// By FileResult.
constexpr UiTextRow kFileResults[] = {
    {" \t   Save OK\t\t  ", " \t   存储成功 \t   "},
    {" \t   Save fail\t   ", " \t   存储失败 \t   "},
    {" \t   Load OK\t\t  ", " \t   加载成功 \t   "},
    {" \t   Load fail\t   ", " \t   加载失败 \t  "},
    {" \t   Loaded, not sent: the unit's mode slot is invalid\t   ",
     " \t   已加载，未发送：设备的模式编号无效 \t   "},
};

constexpr UiTextRow kNotConnected = {"Not connected to the equipment", "未连接设备"};
constexpr UiTextRow kNotSent = {"Not sent: ", "未发送："};
constexpr UiTextRow kLineFull = {"the equipment is busy, too many requests are waiting",
                                 "设备忙，等待的请求过多"};

bool ValidLanguage(int language) {
    return language == kLanguageEnglish || language == kLanguageChinese;
}

const char* Pick(const UiTextRow& row, int language) {
    return language == kLanguageChinese ? row.chinese : row.english;
}

std::vector<std::string> Items(std::span<const UiTextRow> list, int language) {
    std::vector<std::string> items;
    if (!ValidLanguage(language)) return items;
    items.reserve(list.size());
    for (const UiTextRow& row : list) items.emplace_back(Pick(row, language));
    return items;
}

// prefix + 1 .. prefix + count, as the "%d" fillers print them.
void AppendNumbered(std::vector<std::string>& items, const char* prefix, int count) {
    for (int n = 1; n <= count; ++n) items.push_back(prefix + std::to_string(n));
}

}  // namespace

const char* UiText(int language, int row) {
    if (!ValidLanguage(language) || row < 0 || row >= kUiTextRows) return "";
    return Pick(kUiTextTable[row], language);
}

const char* FilterTypeName(int slope, bool subwooferLowPass48) {
    if (slope < 0 || slope >= kFilterTypeCount) return "";
    return (subwooferLowPass48 ? FilterTypeNames48
                               : FilterTypeNames)[static_cast<std::size_t>(slope)];
}

std::vector<std::string> CrossoverTypeItems(int language, bool with48) {
    std::vector<std::string> items = Items(kCrossoverTypes, language);
    if (with48 && !items.empty()) items.back() = Pick(kCrossoverType48, language);
    return items;
}

std::vector<std::string> FilterTypeItems(int language) { return Items(kFilterTypes, language); }

std::vector<std::string> PeqListItems(int language, int count) {
    std::vector<std::string> items;
    if (ValidLanguage(language)) AppendNumbered(items, Pick(kPeqPrefix, language), count);
    return items;
}

std::vector<std::string> ModeListItems(int language) {
    std::vector<std::string> items;
    if (!ValidLanguage(language)) return items;
    items.emplace_back(Pick(kLastMode, language));
    AppendNumbered(items, Pick(kUserModePrefix, language), kUserModes);
    return items;
}

std::vector<std::string> InputComboItems(int language, int systemMode) {
    return systemMode == 0 ? Items(kKtvInputs, language) : Items(kCinemaInputs, language);
}

std::vector<std::string> ReverbTypeItems(int language) { return Items(kReverbTypes, language); }

std::vector<std::string> EchoTypeItems(int language) { return Items(kEchoTypes, language); }

const char* FileResultText(FileResult result, int language) {
    const auto index = static_cast<std::size_t>(result);
    if (index >= std::size(kFileResults)) return "";
    return Pick(kFileResults[index], language);
}

namespace {

std::string RefusalText(const char* placeEnglish, const char* placeChinese, int band,
                        const UiTextRow& field, const LabelFormat& format, int value, int min,
                        int max, int language) {
    const bool chinese = language == kLanguageChinese;
    std::string text =
        Pick(kFileResults[static_cast<std::size_t>(FileResult::kSaveFailed)], language);
    text += "\n";
    text += chinese ? placeChinese : placeEnglish;
    if (band >= 0) {
        const std::string number = std::to_string(band + 1);
        text += chinese ? " 第" + number + "段" : " band " + number;
    }
    text += ": ";
    text += Pick(field, language);
    text += " " + FormatValueLabel(format, value);
    text += chinese ? ", 超出范围 " : ", outside ";
    text += FormatValueLabel(format, min) + " .. " + FormatValueLabel(format, max);
    return text;
}

}  // namespace

std::string BandRefusalText(const char* placeEnglish, const char* placeChinese, int band,
                            const BandFieldCheck& check, int language) {
    struct FieldText {
        UiTextRow name;
        LabelFormat format;
    };
    static constexpr LabelFormat kTenths{"", 0, 0.1, 1, ""};
    static constexpr LabelFormat kTenthsDb{"", 0, 0.1, 1, " dB"};
    static constexpr LabelFormat kHz{"", 0, 1.0, 0, " Hz"};
    // By BandField, kNone first.
    static constexpr FieldText kFields[] = {
        {{"", ""}, {}},          {{"slope", "斜率"}, {}},
        {{"type", "类型"}, {}},  {{"frequency", "频率"}, kHz},
        {{"Q", "Q值"}, kTenths}, {{"gain", "增益"}, kTenthsDb},
    };
    const auto index = static_cast<std::size_t>(check.field);
    if (index == 0 || index >= std::size(kFields)) return "";
    const FieldText& field = kFields[index];
    return RefusalText(placeEnglish, placeChinese, band, field.name, field.format, check.value,
                       check.min, check.max, language);
}

std::string ValueRefusalText(const char* placeEnglish, const char* placeChinese,
                             const char* fieldEnglish, const char* fieldChinese, int value, int min,
                             int max, int language) {
    return RefusalText(placeEnglish, placeChinese, -1, UiTextRow{fieldEnglish, fieldChinese}, {},
                       value, min, max, language);
}

const char* NotConnectedText(int language) { return Pick(kNotConnected, language); }

std::string LineFullText(int language) {
    return std::string(Pick(kNotSent, language)) + Pick(kLineFull, language);
}

std::string UploadRefusalText(UploadRefusal why, int powerOnMode, int language) {
    std::string text = Pick(kNotSent, language);
    switch (why) {
        case UploadRefusal::kUploadRunning:
            text += Pick({"an upload to the equipment is still running", "正在向设备上传模式"},
                         language);
            break;
        case UploadRefusal::kBlockReadDue:
            text += Pick({"the equipment is sending its parameters", "设备正在发送参数"}, language);
            break;
        case UploadRefusal::kLineFull:
            return LineFullText(language);
        case UploadRefusal::kPowerOnMode:
            text += Pick({"System: Power Mode ", "系统: 上电模式 "}, language);
            text += std::to_string(powerOnMode);
            text += Pick({", outside 0 .. ", ", 超出范围 0 .. "}, language);
            text += std::to_string(kMaxPowerOnMode);
            break;
    }
    return text;
}

int LanguageFromStored(std::optional<int> stored, int defaultValue) {
    return stored.value_or(defaultValue) != 0 ? kLanguageChinese : kLanguageEnglish;
}
