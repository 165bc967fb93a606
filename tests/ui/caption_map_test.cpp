// The whole caption map: every caption the language switch sets, on the
// main window and every page, from the UI text table, in both languages and
// both kinds for the captions that read differently outside KTV. The map is
// written here from the captions' own list, apart from the pages' tables.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>
#include <span>
#include <string>

#include "app/main_dialog.h"
#include "eq/band_panel.h"
#include "model/ui_text.h"
#include "pages/eq_page.h"
#include "platform/settings.h"
#include "system/dlg_sys.h"

namespace {

// A control's caption: its row, or its KTV row and its cinema and auto row.
struct Cap {
    int id;
    int row;
    int other = -1;
};

// clang-format off
constexpr Cap kMain[] = {
    {1001, 0}, {1372, 2, 211}, {1373, 3}, {1374, 4}, {1820, 201}, {1821, 202}, {1834, 203},
    {1860, 204}, {1861, 205}, {1862, 206}, {1822, 33}, {1826, 35}, {1827, 36},
    {1545, 5}, {1808, 6}, {1809, 7}, {1811, 8}, {1810, 16}, {1546, 17}, {1812, 13},
    {1813, 14}, {1815, 15}, {1814, 219},
};
constexpr Cap kEqFull[] = {
    {2009, 213}, {2010, 22}, {2011, 21}, {2012, 19}, {2013, 20}, {2021, 115}, {2022, 114},
    {2016, 117}, {2017, 116},
};
constexpr Cap kEqEffect[] = {
    {2009, 213}, {2010, 22}, {2011, 21}, {2012, 19}, {2013, 20}, {2022, 114}, {2017, 116},
};
constexpr Cap kMusic[] = {
    {1079, 23}, {1072, 24}, {1382, 28}, {1383, 29}, {1384, 30}, {1385, 31}, {1388, 32},
    {1555, 37}, {1561, 196}, {1560, 197},
};
constexpr Cap kMic[] = {
    {1092, 23}, {1542, 24}, {1392, 41}, {1397, 46}, {1399, 47}, {1400, 48}, {1401, 49},
    {1739, 199}, {1872, 6},
};
constexpr Cap kReverb[] = {
    {1494, 23}, {1542, 24}, {1541, 54}, {1467, 55}, {1468, 56}, {1469, 57}, {1471, 58},
    {1472, 59}, {1476, 62}, {1475, 52},
};
// The four rows that follow the echo type are those of the mono type.
constexpr Cap kEcho[] = {
    {1494, 23}, {1542, 24}, {1543, 64}, {1467, 192}, {1465, 66}, {1466, 68}, {1469, 69},
    {1471, 70}, {1468, 67}, {1470, 194}, {1474, 74}, {1472, 75}, {1475, 80}, {1473, 81},
};
constexpr Cap kMasterSurround[] = {
    {1326, 23}, {1538, 24}, {1542, 90}, {1402, 217}, {1406, 218}, {1412, 83, 243},
    {1414, 84, 244}, {1241, 189}, {1248, 190}, {1539, 91}, {1404, 85}, {1407, 102},
    {1405, 103}, {1403, 55}, {1416, 87}, {1548, 65}, {1549, 89}, {1541, 92}, {1408, 107},
    {1409, 108}, {1410, 109}, {1411, 110}, {1240, 111}, {1853, 207}, {1854, 208},
    {1855, 209}, {1856, 210}, {1930, 250}, {1931, 251},
};
constexpr Cap kSurroundOnly[] = {{1413, 246}, {1415, 247}, {1247, 248}, {1255, 249}};
constexpr Cap kCentreSubwoofer[] = {
    {1326, 23}, {1538, 24}, {1542, 90}, {1402, 96}, {1412, 97, 245}, {1241, 98}, {1539, 91},
    {1404, 85}, {1407, 102}, {1405, 103}, {1403, 55}, {1416, 87}, {1548, 65}, {1549, 89},
    {1541, 92}, {1408, 107}, {1409, 108}, {1410, 109}, {1411, 110}, {1240, 111}, {1930, 252},
};
constexpr Cap kCentreOnly[] = {{1853, 207}, {1854, 208}, {1855, 209}, {1856, 210}};
constexpr Cap kSystem[] = {
    {1591, 144}, {1463, 143}, {1308, 145}, {1309, 146}, {1316, 147}, {1311, 191},
    {1377, 156}, {1313, 148}, {1314, 149}, {1315, 150}, {1477, 151}, {1476, 152},
    {1386, 38, 212}, {1387, 39}, {1395, 44}, {1396, 45}, {1470, 50}, {1557, 159},
    {1808, 160}, {1809, 161}, {1559, 162}, {1392, 162}, {1810, 167}, {1811, 33},
    {1388, 165}, {1389, 166}, {1390, 163}, {1391, 164}, {1574, 171}, {1575, 172},
    {1576, 173}, {1813, 174}, {1812, 175}, {1582, 176}, {1583, 177}, {1584, 178},
    {1814, 180}, {1815, 181}, {1816, 181}, {1581, 182}, {1589, 182}, {1590, 183},
    {1558, 184}, {1833, 168}, {1832, 169}, {1837, 85}, {1841, 103}, {1845, 170},
    {1464, 195}, {1993, 255}, {1819, 253}, {1820, 254},
};
constexpr Cap kCalibration[] = {
    {1924, 220}, {1925, 221}, {1926, 222}, {1874, 224}, {1880, 225}, {1884, 226},
    {1888, 227}, {1892, 228}, {1896, 229}, {1900, 230}, {1903, 231}, {1906, 232},
    {1909, 233}, {1912, 234}, {1915, 235}, {1923, 223}, {1916, 242}, {1917, 236},
    {1918, 237}, {1919, 238}, {1920, 239}, {1921, 240}, {1922, 241},
};
// clang-format on

// Hidden in every layout, with no value behind them, and not built: the
// output pages' Output, Mixer and Comp group boxes and the captions of their
// right-channel mixer row; the reverb page's effect-to-mixer caption.
struct Unbuilt {
    PageTableSlot slot;
    int id;
};
constexpr Unbuilt kUnbuilt[] = {
    {kTableMaster, 1542}, {kTableMaster, 1539}, {kTableMaster, 1541}, {kTableMaster, 1407},
    {kTableMaster, 1416}, {kTableMaster, 1549}, {kTableSurl, 1542},   {kTableSurl, 1539},
    {kTableSurl, 1541},   {kTableSurl, 1407},   {kTableSurl, 1416},   {kTableSurl, 1549},
    {kTableCout, 1542},   {kTableCout, 1539},   {kTableCout, 1541},   {kTableCout, 1407},
    {kTableCout, 1416},   {kTableCout, 1549},   {kTableSW, 1542},     {kTableSW, 1539},
    {kTableSW, 1541},     {kTableSW, 1407},     {kTableSW, 1416},     {kTableSW, 1549},
    {kTableFX, 1475},
};
bool IsUnbuilt(PageTableSlot slot, int id) {
    for (const Unbuilt& u : kUnbuilt)
        if (u.slot == slot && u.id == id) return true;
    return false;
}

struct PageMap {
    PageTableSlot slot;  // kPageTableSize: the main window
    std::span<const Cap> caps;
};
const PageMap kMap[] = {
    {kPageTableSize, kMain},
    {kTableMusic, kEqFull},
    {kTableMusic, kMusic},
    {kTableMic, kEqFull},
    {kTableMic, kMic},
    {kTableFX, kEqEffect},
    {kTableFX, kReverb},
    {kTableEcho, kEqEffect},
    {kTableEcho, kEcho},
    {kTableMaster, kEqFull},
    {kTableMaster, kMasterSurround},
    {kTableSurl, kEqFull},
    {kTableSurl, kMasterSurround},
    {kTableSurl, kSurroundOnly},
    {kTableCout, kEqFull},
    {kTableCout, kCentreSubwoofer},
    {kTableCout, kCentreOnly},
    {kTableSW, kEqFull},
    {kTableSW, kCentreSubwoofer},
    {kTableSys, kSystem},
    {kTableCal, kCalibration},
};

// Each band panel's Bypass boxes, all captioned with row 256.
struct Bypass {
    PageTableSlot slot;
    int boxes;
};
constexpr Bypass kBypasses[] = {{kTableMusic, 15}, {kTableMic, 15},    {kTableFX, 5},
                                {kTableEcho, 5},   {kTableMaster, 10}, {kTableSurl, 10},
                                {kTableCout, 7},   {kTableSW, 5}};

struct State {
    int language;
    int kind;
};
void PrintTo(const State& s, std::ostream* os) {
    *os << (s.language ? "Chinese" : "English") << (s.kind ? "Cinema" : "Ktv");
}

class CaptionMap : public ::testing::TestWithParam<State> {
protected:
    void SetUp() override {
        platform::WriteSettingInt(kLangSettingName, GetParam().language);
        dlg = std::make_unique<CQuavixDlg>(QDir(folder.path()).filePath("param_dir").toStdString());
        dlg->OnInitDialog();
        platform::MessageQueue::Drain();
        // The kind as a block read brings it, then a language switch.
        dlg->Image().ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(GetParam().kind);
        dlg->Image().ParamBytes[85] = 0;  // mono echo
        dlg->RefreshAllPages();
        dlg->SendMessage(WM_SET_LANGUAGE, 1, GetParam().language);
        platform::MessageQueue::Drain();
    }
    platform::Window* Window(PageTableSlot slot) {
        return slot == kPageTableSize ? static_cast<platform::Window*>(dlg.get()) : dlg->Page(slot);
    }

    QTemporaryDir folder;
    std::unique_ptr<CQuavixDlg> dlg;
};

}  // namespace

TEST_P(CaptionMap, EveryCaptionComesFromItsRow) {
    const State s = GetParam();
    for (const PageMap& page : kMap) {
        platform::Window* w = Window(page.slot);
        for (const Cap& c : page.caps) {
            SCOPED_TRACE("page " + std::to_string(page.slot) + " control " + std::to_string(c.id));
            if (!w->Control(c.id)) {
                if (!IsUnbuilt(page.slot, c.id)) ADD_FAILURE() << "no such control";
                continue;
            }
            const int row = s.kind != 0 && c.other >= 0 ? c.other : c.row;
            EXPECT_EQ(w->ItemText(c.id), UiText(s.language, row));
        }
    }
}

TEST_P(CaptionMap, BandPanelBypassBoxes) {
    const State s = GetParam();
    for (const Bypass& b : kBypasses) {
        auto* page = static_cast<CEqPage*>(dlg->Page(b.slot));
        for (int row = 0; row < b.boxes; ++row)
            EXPECT_EQ(page->Panel()->ItemText(CDlgVS::kBypassId + row), UiText(s.language, 256))
                << b.slot << " " << row;
    }
}

TEST_P(CaptionMap, SystemPageFixedTextsAndListHeaders) {
    const State s = GetParam();
    CPage* sys = dlg->Page(kTableSys);
    EXPECT_EQ(sys->ItemText(CDlgSys::kLearnId), "自定义串口控制");
    auto* list = sys->ControlAs<QTreeWidget>(1827);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->headerItem()->text(0).toStdString(), UiText(s.language, 215));
    EXPECT_EQ(list->headerItem()->text(1).toStdString(), UiText(s.language, 216));
}

INSTANTIATE_TEST_SUITE_P(Languages, CaptionMap,
                         ::testing::Values(State{0, 0}, State{0, 1}, State{1, 0}, State{1, 1}),
                         [](const ::testing::TestParamInfo<State>& info) {
                             return std::string(info.param.language ? "Chinese" : "English") +
                                    (info.param.kind ? "Cinema" : "Ktv");
                         });
