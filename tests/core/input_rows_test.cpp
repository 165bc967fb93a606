// The main window's input rows and combo: what a choice stores, which command
// carries it, which buttons show checked, and that an index the unit reports
// outside its row is never shown, stored or sent.
#include "app/input_rows.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <utility>

#include "link/command_codes.h"
#include "support/case_name.h"

namespace {

using Bytes = std::initializer_list<std::pair<int, int>>;

struct RowCase {
    const char* what;
    int systemMode;
    Bytes unit;  // ParamBytes the unit reported before the refresh (else AUTO,
                 // COAX and HDMI1 everywhere)
    std::optional<InputCommand> (*act)(InputRows&);
    Bytes stored;  // ParamBytes after the choice; every other byte unchanged
    std::optional<InputCommand> command;
    int checked[kInputRowCount];  // audio, video, second video; -1 none
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.what; }

constexpr InputCommand kMusic{CMD_MUSIC_SETTINGS, 0};
constexpr InputCommand kVideo2{CMD_VIDEO2_INPUT, 0};
constexpr std::nullopt_t kNothing = std::nullopt;

// clang-format off
const RowCase kCases[] = {
    {"KtvHdmi3AlsoPicksTheVideoInput", 0, {{6, 1}, {153, 0}},
     [](InputRows& r) { return r.OnAudioButton(8); },
     {{6, 9}, {153, 2}}, kMusic, {8, 2, 0}},
    {"KtvSameInputSendsNothing", 0, {{6, 3}},
     [](InputRows& r) { return r.OnAudioButton(2); }, {}, kNothing, {2, 0, 0}},
    {"CinemaIgnoresTheAnalogueInputs", 1, {{108, 1}},
     [](InputRows& r) { return r.OnAudioButton(1); }, {}, kNothing, {5, 0, 0}},
    {"CinemaHdmi2AlsoPicksTheVideoInput", 1, {{108, 0}, {154, 0}},
     [](InputRows& r) { return r.OnAudioButton(7); },
     {{108, 3}, {154, 1}}, kMusic, {7, 1, 0}},
    {"AutoOptiLeavesTheVideoRow", 2, {{6, 5}, {108, 0}, {153, 0}, {154, 0}},
     [](InputRows& r) { return r.OnAudioButton(5); },
     {{6, 6}, {108, 1}}, InputCommand{CMD_AUTO_AUDIO_INPUT, 1}, {5, 0, 0}},
    {"AutoHdmi4", 2, {{6, 5}, {108, 0}, {153, 0}, {154, 0}},
     [](InputRows& r) { return r.OnAudioButton(9); },
     {{6, 10}, {108, 5}, {154, 3}}, InputCommand{CMD_AUTO_AUDIO_INPUT, 5}, {9, 3, 0}},
    {"KtvVideoMovesAnHdmiAudioInput", 0, {{6, 7}, {153, 0}},
     [](InputRows& r) { return r.OnVideoButton(2); },
     {{6, 9}, {153, 2}}, kMusic, {8, 2, 0}},
    {"KtvVideoLeavesAnAnalogueAudioInput", 0, {{6, 2}, {153, 0}},
     [](InputRows& r) { return r.OnVideoButton(1); },
     {{153, 1}}, kMusic, {1, 1, 0}},
    {"CinemaVideoMovesAnHdmiAudioInput", 1, {{108, 2}, {154, 0}},
     [](InputRows& r) { return r.OnVideoButton(3); },
     {{108, 5}, {154, 3}}, kMusic, {9, 3, 0}},
    {"AutoVideoSetsBothSets", 2, {{6, 8}, {108, 3}, {153, 1}, {154, 1}},
     [](InputRows& r) { return r.OnVideoButton(0); },
     {{108, 2}, {153, 0}, {154, 0}}, InputCommand{CMD_AUTO_VIDEO_INPUT, 0}, {6, 0, 0}},
    {"KtvSecondVideo", 0, {{94, 0}},
     [](InputRows& r) { return r.OnVideo2Button(3); }, {{94, 3}}, kVideo2, {0, 0, 3}},
    {"CinemaSecondVideo", 1, {{95, 1}},
     [](InputRows& r) { return r.OnVideo2Button(2); }, {{95, 2}}, kVideo2, {4, 0, 2}},
    {"AutoHasNoSecondVideo", 2, {{95, 1}, {94, 1}},
     [](InputRows& r) { return r.OnVideo2Button(2); }, {}, kNothing, {4, 0, 0}},
    // The unit's own indexes, out of their rows: nothing checked, kept as
    // they are, nothing sent by the refresh's forced redraw.
    {"KtvIndexesOutOfTheirRows", 0, {{6, 0}, {153, 9}, {94, 7}},
     [](InputRows&) { return std::optional<InputCommand>(); }, {}, kNothing, {-1, -1, -1}},
    {"KtvAudioPastHdmi4", 0, {{6, 11}, {153, 3}, {94, 3}},
     [](InputRows&) { return std::optional<InputCommand>(); }, {}, kNothing, {-1, 3, 3}},
    {"CinemaIndexesOutOfTheirRows", 1, {{108, 6}, {154, 4}, {95, 200}},
     [](InputRows&) { return std::optional<InputCommand>(); }, {}, kNothing, {-1, -1, -1}},
    {"AutoIndexesOutOfTheirRows", 2, {{108, 200}, {154, 250}},
     [](InputRows&) { return std::optional<InputCommand>(); }, {}, kNothing, {-1, -1, 0}},
    // The auto kind keeps KTV input = cinema input + 5; a unit that says
    // otherwise is shown, not rewritten.
    {"AutoRefreshKeepsDisagreeingBytes", 2, {{6, 2}, {108, 1}, {153, 0}, {154, 3}},
     [](InputRows& r) { return r.SelectA(true); }, {}, kNothing, {5, 3, 0}},
    // Entering auto from an analogue KTV input leaves a negative auto index.
    {"AutoNegativeIndexChecksAndSendsNothing", 2, {{6, 2}, {108, 0}},
     [](InputRows& r) {
         r.SetRequested(kInputAudio, kInputAuto, 2 - 5);
         r.SelectA(true);
         return r.SelectA(false);
     },
     {}, kNothing, {-1, 0, 0}},
    {"ComboWithoutSelectionStoresNothing", 0, {{6, 2}},
     [](InputRows& r) { return r.OnComboPick(-1); }, {}, kNothing, {1, 0, 0}},
    {"ComboPastItsListStoresNothing", 0, {{6, 2}},
     [](InputRows& r) { return r.OnComboPick(9); }, {}, kNothing, {1, 0, 0}},
    {"ComboKtvPickShowsTheInput", 0, {{6, 2}, {153, 0}},
     [](InputRows& r) { return r.OnComboPick(7); }, {{6, 8}}, kMusic, {7, 0, 0}},
    {"ComboCinemaPickShowsTheInput", 1, {{108, 0}, {154, 0}},
     [](InputRows& r) { return r.OnComboPick(4); }, {{108, 4}}, kMusic, {8, 0, 0}},
    {"ComboAutoPickShowsTheInput", 2, {{6, 5}, {108, 0}},
     [](InputRows& r) { return r.OnComboPick(1); }, {{108, 1}}, kMusic, {5, 0, 0}},
    {"ComboSamePickSendsNothing", 1, {{108, 2}},
     [](InputRows& r) { return r.OnComboPick(2); }, {}, kNothing, {6, 0, 0}},
};
// clang-format on

class InputRowsCase : public ::testing::TestWithParam<RowCase> {};

}  // namespace

TEST_P(InputRowsCase, StoresShowsAndNamesItsCommand) {
    const RowCase& c = GetParam();
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(c.systemMode);
    for (auto [index, value] : Bytes{{6, 1}, {108, 0}, {153, 0}, {154, 0}, {94, 0}, {95, 0}})
        image.ParamBytes[index] = static_cast<std::uint8_t>(value);
    for (auto [index, value] : c.unit) image.ParamBytes[index] = static_cast<std::uint8_t>(value);
    InputRows rows(image);
    // The refresh: indexes loaded, every row redrawn, nothing stored or sent.
    rows.Load();
    const auto unit = image.ParamBytes;
    EXPECT_EQ(rows.SelectA(true), std::nullopt);
    EXPECT_EQ(rows.SelectB(true), std::nullopt);
    EXPECT_EQ(rows.SelectC(true), std::nullopt);
    ASSERT_EQ(image.ParamBytes, unit);

    EXPECT_EQ(c.act(rows), c.command);
    auto expected = unit;
    for (auto [index, value] : c.stored) expected[index] = static_cast<std::uint8_t>(value);
    EXPECT_EQ(image.ParamBytes, expected);
    EXPECT_EQ(rows.CheckedButton(kInputAudio), c.checked[0]);
    EXPECT_EQ(rows.CheckedButton(kInputVideo), c.checked[1]);
    EXPECT_EQ(rows.CheckedButton(kInputVideo2), c.checked[2]);
}

INSTANTIATE_TEST_SUITE_P(Choices, InputRowsCase, ::testing::ValuesIn(kCases),
                         testsupport::CaseName<RowCase>);

TEST(InputRows, AnAutoRefreshGivesTheKtvRowTheCinemaInputPlusFour) {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[kSystemModeByte] = 2;
    image.ParamBytes[108] = 3;
    InputRows rows(image);
    rows.Load();
    EXPECT_EQ(rows.Requested(kInputAudio, kInputKtv), 7);
    EXPECT_EQ(rows.Requested(kInputAudio, kInputCinema), 3);
    EXPECT_EQ(rows.Requested(kInputAudio, kInputAuto), 3);
}

TEST(InputRows, AnyKindBeyondCinemaIsAuto) {
    for (int mode : {2, 3, 255}) EXPECT_EQ(InputRows::KindOf(mode), kInputAuto) << mode;
    EXPECT_EQ(InputRows::KindOf(0), kInputKtv);
    EXPECT_EQ(InputRows::KindOf(1), kInputCinema);
}
