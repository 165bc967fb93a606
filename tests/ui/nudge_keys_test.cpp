// The nudge keys as the user types them, on the main window and on a page:
// each moves its volume by one, and the one frame that reaches the unit
// carries the new value, its payload worked out here from the image by the
// wire layout.
#include <gtest/gtest.h>

#include <QTest>
#include <cctype>
#include <string>
#include <vector>

#include "eq/my_slider.h"
#include "pages/page.h"
#include "support/connected_main.h"

namespace {

using testsupport::Bytes;

// The unit's payloads of the three volume commands in the KTV kind, each
// followed by its pad byte.
Bytes MusicPayload(const ParamImage& i) {
    Bytes p;
    for (int b : {0, 3, 4, 6, 22, 23, 24, 25, 9, 150, 151, 153})
        p.push_back(i.ParamBytes[static_cast<std::size_t>(b)]);
    p.push_back(0);
    return p;
}
Bytes MicPayload(const ParamImage& i) {
    Bytes p;
    for (int b : {1, 10, 11, 14, 26, 101, 12, 13})
        p.push_back(i.ParamBytes[static_cast<std::size_t>(b)]);
    p.push_back(0);
    return p;
}
Bytes EffectPayload(const ParamImage& i) { return {i.ParamBytes[2], 0}; }

struct NudgeKey {
    char key;
    int volumeByte;  // ParamBytes index in the KTV kind
    int step;
    int sliderId;
    int valueId;
    std::uint8_t code;
    Bytes (*payload)(const ParamImage&);
};

// clang-format off
const NudgeKey kNudgeKeys[] = {
    {'q', 0, +1, 1003, 1076, 0x02, MusicPayload},  {'Q', 0, +1, 1003, 1076, 0x02, MusicPayload},
    {'a', 0, -1, 1003, 1076, 0x02, MusicPayload},  {'A', 0, -1, 1003, 1076, 0x02, MusicPayload},
    {'w', 1, +1, 1004, 1077, 0x05, MicPayload},    {'W', 1, +1, 1004, 1077, 0x05, MicPayload},
    {'s', 1, -1, 1004, 1077, 0x05, MicPayload},    {'S', 1, -1, 1004, 1077, 0x05, MicPayload},
    {'e', 2, +1, 1075, 1078, 0x09, EffectPayload}, {'E', 2, +1, 1075, 1078, 0x09, EffectPayload},
    {'d', 2, -1, 1075, 1078, 0x09, EffectPayload}, {'D', 2, -1, 1075, 1078, 0x09, EffectPayload},
};
// clang-format on

constexpr int kVodGainSliderId = 1061;

enum class Target { kMainWindow, kMusicPage, kMusicPageSlider };

class NudgeKeys : public ::testing::TestWithParam<Target>, public testsupport::ConnectedMain {
protected:
    void SetUp() override {
        Bytes block = blocktest::MakeBlock(7);
        block[kSystemModeByte] = 0;
        block[0] = 41;  // music, its maximum 99
        block[4] = 99;
        block[1] = 30;  // microphone, its maximum 99
        block[11] = 99;
        block[2] = 50;  // effect
        Connect(block);
    }

    QWidget* Receiver() {
        switch (GetParam()) {
            case Target::kMainWindow:
                return dlg.get();
            case Target::kMusicPage:
                return dlg->Page(kTableMusic);
            case Target::kMusicPageSlider:
                // The key goes to the control that has the focus.
                return dlg->Page(kTableMusic)->Control(kVodGainSliderId);
        }
        return nullptr;
    }
};

TEST_P(NudgeKeys, EachKeyMovesItsVolumeByOneAndSendsOneFrame) {
    QWidget* receiver = Receiver();
    ASSERT_NE(receiver, nullptr);
    ParamImage& image = dlg->Image();
    for (const NudgeKey& k : kNudgeKeys) {
        SCOPED_TRACE(std::string(1, k.key));
        const int before = image.ParamBytes[static_cast<std::size_t>(k.volumeByte)];
        const std::size_t mark = Mark();
        const bool upper = std::isupper(static_cast<unsigned char>(k.key)) != 0;
        QTest::keyClick(receiver, k.key, upper ? Qt::ShiftModifier : Qt::NoModifier);
        platform::MessageQueue::Drain();

        const int after = image.ParamBytes[static_cast<std::size_t>(k.volumeByte)];
        EXPECT_EQ(after, before + k.step);
        EXPECT_EQ(dlg->ControlAs<CMySlider>(k.sliderId)->Value(), 99 - after);
        EXPECT_EQ(dlg->ItemText(k.valueId), std::to_string(after));
        const std::vector<emu::Command> sent = SettledRequestsSince(mark);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].code, k.code);
        EXPECT_EQ(testsupport::Hex(sent[0].data), testsupport::Hex(k.payload(image)));
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, NudgeKeys,
                         ::testing::Values(Target::kMainWindow, Target::kMusicPage,
                                           Target::kMusicPageSlider),
                         [](const auto& info) {
                             switch (info.param) {
                                 case Target::kMainWindow:
                                     return "OnTheMainWindow";
                                 case Target::kMusicPage:
                                     return "OnTheMusicPage";
                                 case Target::kMusicPageSlider:
                                     return "OnASliderOfTheMusicPage";
                             }
                             return "";
                         });

}  // namespace
