#include "link/command_builder.h"

#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <string>

#include "link/reply_decoder.h"
#include "link_test_support.h"
#include "support/case_name.h"
#include "support/device_block_layout.h"

namespace {

using linktest::Bytes;
using linktest::LinkRig;
using linktest::Posted;
using linktest::Reply;

// A command frame put together by hand: AA, N, code, data, check.
Bytes Frame(std::uint8_t code, const Bytes& data) {
    const int n = static_cast<int>(data.size()) + 1;
    Bytes f = {0xAA, static_cast<std::uint8_t>(n & 0xFF), static_cast<std::uint8_t>(n >> 8), code};
    f.insert(f.end(), data.begin(), data.end());
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < f.size(); ++i) sum = static_cast<std::uint8_t>(sum + f[i]);
    f.push_back(static_cast<std::uint8_t>(-sum));
    return f;
}

// ParamWords[n] of the test image, as it goes on the wire.
constexpr int WordValue(int n) { return 1000 + 7 * n; }
Bytes W(int n) {
    return {static_cast<std::uint8_t>(WordValue(n) & 0xFF),
            static_cast<std::uint8_t>(WordValue(n) >> 8)};
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
Bytes Span(int first, int last) {
    Bytes b;
    for (int i = first; i <= last; ++i) b.push_back(static_cast<std::uint8_t>(i));
    return b;
}
Bytes Zeros(int n) { return Bytes(static_cast<std::size_t>(n), 0); }
Bytes WireOf(int frequency, int q, int type, int gain) {
    Bytes b(5);
    blocktest::WriteWire({frequency, q, type, gain}, b.data());
    return b;
}

// A connected link whose WM_SEND_COMMANDs go through the builder, over an
// image in which every byte and word shows where it came from.
struct BuilderRig : LinkRig {
    BuilderRig() {
        InitParamImage(image);
        for (int i = 0; i < 160; ++i) image.ParamBytes[i] = static_cast<std::uint8_t>(i);
        Kind(0);  // byte 107 is the kind: KTV unless a case says otherwise
        for (int i = 0; i < 47; ++i) image.ParamWords[i] = static_cast<std::uint16_t>(WordValue(i));
        image.ParamFlags = 0x1A345678;  // bit 27 set
        image.CinemaParamFlags = 0x01BCDEF0;
        image.UnlockFlags = 0x102;
        image.PowerOnMode = 0x105;
        image.BoostEnableFlags = 0x10B;
        int n = 0;
        auto mark = [&n](EqBand& b) {
            ++n;
            b = {0, static_cast<std::uint8_t>(n % 3), static_cast<std::uint16_t>(100 + n),
                 static_cast<std::uint16_t>(10 + n), static_cast<std::int16_t>(n % 2 ? -n : n)};
        };
        for (auto* a : {&image.MasterEqBands, &image.SurroundEqBands})
            std::for_each(a->begin(), a->end(), mark);
        std::for_each(image.CentreEqBands.begin(), image.CentreEqBands.end(), mark);
        std::for_each(image.SubwooferEqBands.begin(), image.SubwooferEqBands.end(), mark);
        std::for_each(image.MusicEqBands.begin(), image.MusicEqBands.end(), mark);
        std::for_each(image.BoostBands.begin(), image.BoostBands.end(), mark);
        onPosted = [this](const Posted& p) {
            if (p.msg != WM_SEND_COMMAND) return false;
            builder.OnSendCommand(static_cast<unsigned>(p.w), p.l);
            return true;
        };
        builder.hooks.mainVolume = [this](int column, int value) {
            shownVolumes.push_back({column, value});
        };
        builder.hooks.modeNameText = [this] { return modeName; };
        builder.hooks.userModesChanged = [this] { ++userModeRefills; };
        decoder.hooks.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            host.PostMessage(msg, w, l);
        };
        host.onReply = [this](const ReplyFrame& f, bool answers) {
            return decoder.OnReply(f, answers);
        };
    }

    // The wire form of a band of the test image.
    static Bytes WireOf(const EqBand& b) { return ::WireOf(b.frequency, b.q, b.type, b.gain); }
    void Kind(int systemMode) {
        image.ParamBytes[kSystemModeByte] = static_cast<std::uint8_t>(systemMode);
    }
    void Send(unsigned code, LPARAM argument) {
        builder.OnSendCommand(code, argument);
        Pump();
    }

    ParamImage image;
    CommandBuilder builder{image, seq};
    ReplyDecoder decoder{image, builder.Upload()};
    std::vector<std::pair<int, int>> shownVolumes;
    std::string modeName = "Party";
    int userModeRefills = 0;
};

struct Golden {
    const char* what;
    unsigned code;
    LPARAM argument;
    std::function<void(BuilderRig&)> arrange;  // may be empty
    // The frame that goes out; empty: nothing is sent.
    std::function<Bytes(const BuilderRig&)> frame;
};

std::function<Bytes(const BuilderRig&)> Is(std::uint8_t code, Bytes data) {
    return [code, data](const BuilderRig&) { return Frame(code, data); };
}
std::function<Bytes(const BuilderRig&)> Literal(Bytes frame) {
    return [frame](const BuilderRig&) { return frame; };
}
auto Cinema = [](BuilderRig& r) { r.Kind(1); };
auto Auto = [](BuilderRig& r) { r.Kind(2); };

const std::uint8_t kLogo[41] = {'H', 'e', 'l', 'l', 'o', 1,  2,  3,  4,  5,  6,  7,  8,  9,
                                10,  11,  12,  13,  14,  15, 16, 17, 18, 19, 20, 21, 22, 23,
                                24,  25,  26,  27,  28,  29, 30, 31, 32, 33, 34, 35, 36};
const std::uint8_t kLock[5] = {1, 2, 3, 4, 1};
const std::uint8_t kLockChange[8] = {1, 2, 3, 4, 5, 6, 7, 8};
const std::uint8_t kAdmin[7] = {9, 8, 7, 6, 5, 4, 2};
const std::uint8_t kAdminChange[12] = {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2};
LPARAM Ptr(const std::uint8_t* p) { return reinterpret_cast<LPARAM>(p); }

const Golden kGolden[] = {
    {"select mode 3", 0x01, 3, {}, Literal({0xAA, 0x03, 0x00, 0x01, 0x03, 0x00, 0xF9})},
    {"select mode 10", 0x01, 10, {}, {}},
    {"music settings, KTV", 0x02, 0, {},
     Is(0x02, {0, 3, 4, 6, 22, 23, 24, 25, 9, 150, 151, 153, 0})},
    {"music settings, cinema", 0x02, 0, Cinema, Is(0x02, {109, 108, 149, 154, 0})},
    {"music settings, auto", 0x02, 0, Auto, Is(0x02, {109, 108, 149, 154, 0})},
    {"EQ band, master KTV band 2", 0x03, (2 << 8) | 3, {},
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{3, 2}, BuilderRig::WireOf(r.image.MasterEqBands[2]), {0}}));
     }},
    {"EQ band, master in cinema takes set 1", 0x03, (2 << 8) | 3, Cinema,
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{3, 2}, BuilderRig::WireOf(r.image.MasterEqBands[14]), {0}}));
     }},
    {"EQ band, id 4 is master set 1 in KTV too", 0x03, (2 << 8) | 4, {},
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{4, 2}, BuilderRig::WireOf(r.image.MasterEqBands[14]), {0}}));
     }},
    {"EQ band, surround cinema", 0x03, (9 << 8) | 5, Cinema,
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{5, 9}, BuilderRig::WireOf(r.image.SurroundEqBands[21]), {0}}));
     }},
    {"EQ band, centre cinema", 0x03, (1 << 8) | 7, Cinema,
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{7, 1}, BuilderRig::WireOf(r.image.CentreEqBands[10]), {0}}));
     }},
    {"EQ band, subwoofer cinema", 0x03, (4 << 8) | 8, Auto,
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{8, 4}, BuilderRig::WireOf(r.image.SubwooferEqBands[11]), {0}}));
     }},
    {"EQ band, music in cinema has one set", 0x03, (14 << 8) | 2, Cinema,
     [](const BuilderRig& r) {
         return Frame(0x03, Cat({{2, 14}, BuilderRig::WireOf(r.image.MusicEqBands[14]), {0}}));
     }},
    {"EQ band, module 11", 0x03, (0 << 8) | 11, {}, {}},
    {"EQ band, a pass-filter record", 0x03, (15 << 8) | 2, {}, {}},
    {"EQ band, subwoofer band 5", 0x03, (5 << 8) | 8, {}, {}},
    {"EQ reset 9", 0x04, 9, {}, Is(0x04, {9, 0})},
    {"EQ reset 11", 0x04, 11, {}, {}},
    {"mic settings", 0x05, 0, {}, Is(0x05, {1, 10, 11, 14, 26, 101, 12, 13, 0})},
    {"auto audio input in auto", 0x06, 4, Auto, Is(0x06, {4, 0})},
    {"auto audio input in KTV", 0x06, 4, {}, {}},
    {"auto video input in auto", 0x07, 3, Auto, Is(0x07, {3, 0})},
    {"auto video input in cinema", 0x07, 3, Cinema, {}},
    {"unlock flags", 0x08, 0, {}, Is(0x08, {0x02, 0})},
    {"effect volume", 0x09, 0, {}, Is(0x09, {2, 0})},
    {"effect initial volume", 0x0A, 0, {}, Is(0x0A, {21, 0})},
    {"reverb settings", 0x0B, 0, {},
     Is(0x0B, Cat({{79, 80, 81, 82, 50, 84}, W(24), W(25), W(28), W(29), {0}}))},
    {"echo settings", 0x0D, 0, {},
     Is(0x0D, Cat({Span(85, 93), W(26), W(27), W(30), W(31), W(32), W(33), {0}}))},
    {"output channel 2, KTV", 0x0E, 2, {},
     Is(0x0E, Cat({{2}, Span(41, 50), W(36), W(37), Zeros(5)}))},
    {"output channel 0, KTV", 0x0E, 0, {},
     Is(0x0E, Cat({{0}, Span(27, 36), W(34), W(35), Zeros(5)}))},
    {"output channel 5, KTV", 0x0E, 5, {},
     Is(0x0E, Cat({{5}, Span(67, 76), W(39), {0, 0}, Zeros(5)}))},
    {"output channel 0, cinema", 0x0E, 0, Cinema,
     Is(0x0E, Cat({{0}, Span(116, 121), W(40), W(41), {0}}))},
    {"output channel 2, cinema", 0x0E, 2, Cinema,
     Is(0x0E, Cat({{2}, Span(124, 129), W(42), W(43), {0}}))},
    {"output channel 4, auto", 0x0E, 4, Auto,
     Is(0x0E, Cat({{4}, Span(132, 137), W(44), {0, 0}, {0}}))},
    {"output channel 6", 0x0E, 6, {}, {}},
    {"param flags, KTV", 0x0F, 0, {}, Is(0x0F, {0x78, 0x56, 0x34, 0x1A, 0})},
    {"param flags, cinema", 0x0F, 0, Cinema, Is(0x0F, {0xF0, 0xDE, 0xBC, 0x01, 0})},
    {"pass filter 4, KTV", 0x11, 4, {}, Is(0x11, Cat({{4, 37}, W(4), {0}}))},
    {"pass filter 15, KTV", 0x11, 15, {}, Is(0x11, Cat({{15, 78}, W(15), {0}}))},
    {"pass filter 6, cinema", 0x11, 6, Cinema, Is(0x11, Cat({{6, 122}, W(16), {0}}))},
    {"pass filter 13, auto", 0x11, 13, Auto, Is(0x11, Cat({{13, 139}, W(21), {0}}))},
    {"pass filter 3, cinema: the music low-pass has one copy", 0x11, 3, Cinema,
     Is(0x11, Cat({{3, 8}, W(3), {0}}))},
    {"pass filter 0, auto: the mic high-pass has one copy", 0x11, 0, Auto,
     Is(0x11, Cat({{0, 19}, W(0), {0}}))},
    {"pass filter 16", 0x11, 16, {}, {}},
    {"reset all", 0x14, 0, {}, Literal({0xAA, 0x02, 0x00, 0x14, 0x00, 0xEA})},
    {"mass-save step", 0x16, 2, {}, {}},
    {"logo", 0x17, Ptr(kLogo), {}, Is(0x17, Cat({Bytes(kLogo, kLogo + 41), {0}}))},
    {"logo without a record", 0x17, 0, {}, {}},
    {"test signal 6", 0x1B, 6, {}, Is(0x1B, {6, 0})},
    {"test signal 7", 0x1B, 7, {}, {}},
    {"handshake is the link's own", 0x1C, 0, {}, {}},
    {"subwoofer mode", 0x22, 0, {}, Is(0x22, {1, 96, 97, 98, 99, 0})},
    {"lock key", 0x2B, Ptr(kLock), {}, Is(0x2B, {1, 2, 3, 4, 1, 0})},
    {"lock password", 0x2C, Ptr(kLockChange), {}, Is(0x2C, {1, 2, 3, 4, 5, 6, 7, 8, 0})},
    {"admin mode", 0x2D, Ptr(kAdmin), {}, Is(0x2D, {9, 8, 7, 6, 5, 4, 2, 0})},
    {"admin password", 0x2E, Ptr(kAdminChange), {},
     Is(0x2E, {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 0})},
    {"boost enable", 0x30, 0x0201, {}, Is(0x30, {1, 2, 0})},
    {"boost band, music 4", 0x31, (4 << 8) | 1, {},
     [](const BuilderRig& r) {
         return Frame(0x31, Cat({{1, 4}, BuilderRig::WireOf(r.image.BoostBands[4]), {0}}));
     }},
    {"boost band, mic 0", 0x31, (0 << 8) | 0, {},
     [](const BuilderRig& r) {
         return Frame(0x31, Cat({{0, 0}, BuilderRig::WireOf(r.image.BoostBands[5]), {0}}));
     }},
    {"boost band, echo 2", 0x31, (2 << 8) | 3, {},
     [](const BuilderRig& r) {
         return Frame(0x31, Cat({{3, 2}, BuilderRig::WireOf(r.image.BoostBands[15]), {0}}));
     }},
    {"boost band, target 4", 0x31, 4, {}, {}},
    {"boost band, reverb band 3", 0x31, (3 << 8) | 2, {}, {}},
    {"boost save: mic, music, reverb, echo", 0x33, 0, {},
     [](const BuilderRig& r) {
         Bytes d = {0x0B};
         for (int i : {5, 6, 7, 8, 9, 0, 1, 2, 3, 4, 10, 11, 12, 13, 14, 15}) {
             const Bytes w = BuilderRig::WireOf(r.image.BoostBands[static_cast<std::size_t>(i)]);
             d.insert(d.end(), w.begin(), w.end());
         }
         return Frame(0x33, Cat({d, Zeros(4)}));
     }},
    {"WiFi module", 0x37, 3, {}, Is(0x37, {3, 0})},
    {"main toggles", 0x38, 5, {}, Is(0x38, {5, 0})},
    {"second surround volumes", 0x39, 0, {}, Is(0x39, {155, 156, 157, 158})},
    {"echo type", 0x3A, 2, {}, Is(0x3A, {2, 0})},
    {"power-on mode", 0x3B, 0, {}, Is(0x3B, {5, 0})},
    {"mic EQ link", 0x3C, 0x0101, {}, Is(0x3C, {1, 1, 0})},
    {"system mode", 0x3D, 1, {}, Is(0x3D, {1, 0})},
    {"speaker size 1, cinema", 0x3E, 1, Cinema, Is(0x3E, {1, 111, 114, 0})},
    {"speaker size in KTV", 0x3E, 1, {}, {}},
    {"speaker size 3", 0x3E, 3, Cinema, {}},
    {"header re-read", 0x3F, 0, {}, Is(0x3F, {0, 0})},
    {"block chunk outside a block read", 0x40, 0, {}, {}},
    {"mode upload start, slot 10", 0x41, 10, {}, {}},
    // The unit takes the slot from the low five bits: 32 and 41 would be 0 and 9.
    {"mode upload start, slot 32 from a file", 0x41, 32 | 0x80, {}, {}},
    {"mode upload start, slot 41", 0x41, 41, {}, {}},
    {"mode upload start, slot 0 with a bit above the flag", 0x41, 0x100, {}, {}},
    {"mode upload data without a record", 0x42, 0, {}, {}},
    {"mode upload end without a record", 0x43, 0, {}, {}},
    {"learn, 9600 baud", 0x44, 0x0105, {}, Is(0x44, {5, 1, 0x80, 0x25, 0, 0, 0})},
    {"learn, 115200 baud", 0x44, 0x0220, [](BuilderRig& r) { r.image.BaudIndex = 9; },
     Is(0x44, {0x20, 2, 0x00, 0xC2, 0x01, 0x00, 0})},
    {"learn, baud index 10", 0x44, 0x0105, [](BuilderRig& r) { r.image.BaudIndex = 10; }, {}},
    {"learn table", 0x47, 0,
     [](BuilderRig& r) {
         r.image.LearnCodes[0] = {3, 0xA1, 0xA2, 0xA3};
         r.image.LearnCodes[31] = {1, 0x7F};
         r.image.BaudIndex = 0;
     },
     [](const BuilderRig&) {
         Bytes d(512, 0);
         d[0] = 3, d[1] = 0xA1, d[2] = 0xA2, d[3] = 0xA3;
         d[496] = 1, d[497] = 0x7F;
         return Frame(0x47, Cat({d, {0xB0, 0x04, 0, 0}, Zeros(4)}));
     }},
    {"second video input", 0x48, 0, {}, Is(0x48, {94, 95, 0})},
    {"band enable, module 6 shares word 4", 0x49, 6,
     [](BuilderRig& r) { r.image.BandEnableMasks[4] = 0x3C5A; }, Is(0x49, {6, 0x5A, 0x3C, 0})},
    {"band enable, module 11", 0x49, 11, {}, {}},
    {"a code not in the set", 0x0C, 0, {}, {}},
};

class CommandBuilderGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(CommandBuilderGolden, SendsItsFrame) {
    const Golden& g = GetParam();
    BuilderRig rig;
    rig.ConnectUsb();
    rig.answering = false;
    if (g.arrange) g.arrange(rig);
    const std::size_t before = rig.usb.sent.size();
    rig.Send(g.code, g.argument);
    if (!g.frame) {
        EXPECT_EQ(rig.usb.sent.size(), before) << "sent 0x" << std::hex << g.code;
        EXPECT_FALSE(rig.seq.ReplyPending());
        return;
    }
    ASSERT_EQ(rig.usb.sent.size(), before + 1);
    EXPECT_EQ(rig.usb.sent.back(), g.frame(rig));
    EXPECT_EQ(rig.seq.ExpectedReplyCode(), g.code);
}

INSTANTIATE_TEST_SUITE_P(EveryCode, CommandBuilderGolden, ::testing::ValuesIn(kGolden),
                         testsupport::CaseName<Golden>);

class CommandBuilderTest : public ::testing::Test, public BuilderRig {};

TEST_F(CommandBuilderTest, BlockReadRequestsTheUnitsChunks) {
    ConnectUsb();
    // Handshake, header, then the chunks the builder asked for.
    ASSERT_EQ(usb.sent.size(), 22u);
    EXPECT_EQ(usb.sent[2], (Bytes{0xAA, 0x06, 0x00, 0x40, 0x00, 0x00, 0x3A, 0x00, 0x00, 0x80}));
    EXPECT_EQ(usb.sent[21], (Bytes{0xAA, 0x06, 0x00, 0x40, 0x4E, 0x04, 0x1D, 0x00, 0x00, 0x4B}));
}

TEST_F(CommandBuilderTest, SelectModeSetsTheCurrentSlot) {
    ConnectUsb();
    Send(0x01, 7);
    EXPECT_EQ(image.CurrentModeSlot, 7);
    Send(0x01, 12);
    EXPECT_EQ(image.CurrentModeSlot, 7);
}

TEST_F(CommandBuilderTest, DirectFramesCarryTheirOwnTimeOuts) {
    image.PowerOnMode = 3;
    ConnectUsb();
    answering = false;
    Send(0x33, 0);
    EXPECT_EQ(seq.ReplyTimeout(), 50);
    usb.incoming.push_back(Reply(0x33, {0}));
    Tick();
    Send(0x47, 0);
    EXPECT_EQ(seq.ReplyTimeout(), 50);
    usb.incoming.push_back(Reply(0x47, {0}));
    Tick();
    Send(0x41, 2);
    EXPECT_EQ(seq.ReplyTimeout(), 100);
    EXPECT_NE(host.Status(), "communicating");
}

TEST_F(CommandBuilderTest, VolumeClampsHoldInEveryLinkState) {
    struct Case {
        const char* what;
        int systemMode;
        unsigned code;
        int volume, maximum, column;
    };
    const Case cases[] = {
        {"music, KTV", 0, 0x02, 0, 4, 0},
        {"music, cinema", 1, 0x02, 109, 149, 0},
        {"music, auto", 2, 0x02, 109, 149, 0},
        {"microphone", 0, 0x05, 1, 11, 1},
    };
    // The volume asked for against a maximum of 80: one above it or more is
    // cut to it and the slider springs back; the maximum itself goes out as
    // it is and moves nothing.
    const int asked[] = {90, 81, 80};
    for (const Case& c : cases) {
        for (int volume : asked) {
            for (bool connected : {false, true}) {
                SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(volume) +
                             (connected ? ", connected" : ", idle"));
                BuilderRig r;
                if (connected) {
                    r.ConnectUsb();
                    r.answering = false;
                }
                r.Kind(c.systemMode);
                r.image.ParamBytes[c.volume] = static_cast<std::uint8_t>(volume);
                r.image.ParamBytes[c.maximum] = 80;
                const std::size_t before = r.usb.sent.size();
                r.Send(c.code, 0);
                EXPECT_EQ(r.image.ParamBytes[c.volume], 80);
                if (volume > 80) {
                    ASSERT_EQ(r.shownVolumes.size(), 1u);
                    EXPECT_EQ(r.shownVolumes[0], std::make_pair(c.column, 80));
                } else {
                    EXPECT_TRUE(r.shownVolumes.empty());
                }
                if (!connected) {
                    EXPECT_EQ(r.usb.sent.size(), before);
                    continue;
                }
                ASSERT_EQ(r.usb.sent.size(), before + 1);
                EXPECT_EQ(r.usb.sent.back()[4], 80) << "the clamped value goes out";
            }
        }
    }
}

TEST_F(CommandBuilderTest, NotConnectedSendsNothingAndForgetsWhatWaited) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);
    Send(0x0A, 0);
    ASSERT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x0A}));
    seq.OnConnectButton();  // disconnect
    Pump();
    EXPECT_EQ(seq.Waiting(), 0u);
    const std::size_t before = usb.sent.size();
    EXPECT_FALSE(builder.OnSendCommand(0x01, 4));
    EXPECT_EQ(usb.sent.size(), before);
    EXPECT_EQ(image.CurrentModeSlot, 0) << "nothing of the command is done";
}

// While a reply is due, each code waits in the order handed over with its
// own newest payload: a newer value of a waiting change drops the older one
// and goes last, never across a request that keeps its turn.
TEST_F(CommandBuilderTest, WaitingChangesGoInOrderEachWithItsNewestPayload) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);  // in flight
    image.ParamBytes[21] = 44;
    Send(0x0A, 0);
    Send(0x0E, 2);
    image.ParamBytes[21] = 45;
    Send(0x0A, 0);  // drops the first 0x0A and goes behind the output
    Send(0x3B, 0);  // keeps its turn
    image.ParamBytes[21] = 46;
    Send(0x0A, 0);  // behind the power-on mode: a value of its own
    Send(0x0E, 3);  // another channel: a change of its own
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x0E, 0x0A, 0x3B, 0x0A, 0x0E}));
    const std::size_t before = usb.sent.size();
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick(8);
    ASSERT_EQ(usb.sent.size(), before + 5);
    EXPECT_EQ(usb.sent[before], Frame(0x0E, Cat({{2}, Span(41, 50), W(36), W(37), Zeros(5)})));
    EXPECT_EQ(usb.sent[before + 1], Frame(0x0A, {45, 0}));
    EXPECT_EQ(usb.sent[before + 2], Frame(0x3B, {0x05, 0}));
    EXPECT_EQ(usb.sent[before + 3], Frame(0x0A, {46, 0}));
    EXPECT_EQ(usb.sent[before + 4][4], 3);
}

// Every code whose frame is for one of several things is keyed by its
// argument, all of it: two arguments of one code waiting are two changes
// and both reach the unit, each with its own frame, and a newer request for
// the first drops only the first's older one and goes last. A key shared by
// the arguments, or blind to a part of one (the band or the module of an EQ
// band), would send one frame fewer or in another order.
TEST_F(CommandBuilderTest, EachArgumentOfAKeyedCodeIsAChangeOfItsOwn) {
    struct Case {
        const char* what;
        unsigned code;
        int kind;
        LPARAM first, second;
        std::size_t argumentBytes;  // the data bytes that name the argument
    };
    const Case cases[] = {
        {"EQ band: two bands of one module", 0x03, 0, 0x0002, 0x0102, 2},
        {"EQ band: one band of two modules", 0x03, 0, 0x0102, 0x0103, 2},
        {"output channel", 0x0E, 0, 0, 2, 1},
        {"output channels holding the same bytes", 0x0E, 0, 0, 1, 1},
        {"pass filter", 0x11, 0, 2, 3, 1},
        {"pass filters holding the same bytes", 0x11, 1, 4, 6, 1},
        {"boost band: two bands of one target", 0x31, 0, 0x0001, 0x0101, 2},
        {"boost band: one band of two targets", 0x31, 0, 0x0100, 0x0101, 2},
        {"speaker", 0x3E, 1, 0, 2, 1},
        {"band switches", 0x49, 0, 2, 3, 1},
    };
    auto check = [](const Case& c) {
        BuilderRig r;
        r.ConnectUsb();
        r.Kind(c.kind);  // over the block's
        r.answering = false;
        r.Send(0x09, 0);  // in flight
        const std::size_t before = r.usb.sent.size();
        r.Send(c.code, c.first);
        r.Send(c.code, c.second);
        r.Send(c.code, c.first);
        EXPECT_EQ(r.seq.WaitingCodes(),
                  (std::vector<std::uint8_t>{static_cast<std::uint8_t>(c.code),
                                             static_cast<std::uint8_t>(c.code)}));
        r.answering = true;
        r.usb.incoming.push_back(Reply(0x09, {0}));
        r.Tick(6);
        ASSERT_EQ(r.usb.sent.size(), before + 2);
        auto argument = [&](const Bytes& frame) {
            return Bytes(frame.begin() + 4,
                         frame.begin() + 4 + static_cast<std::ptrdiff_t>(c.argumentBytes));
        };
        auto named = [&](LPARAM a) {
            const Bytes both = {static_cast<std::uint8_t>(a & 0xFF),
                                static_cast<std::uint8_t>((a >> 8) & 0xFF)};
            return Bytes(both.begin(), both.begin() + static_cast<std::ptrdiff_t>(c.argumentBytes));
        };
        const Bytes second = r.usb.sent[before], first = r.usb.sent[before + 1];
        EXPECT_EQ(second[3], c.code);
        EXPECT_EQ(argument(second), named(c.second));
        EXPECT_EQ(first[3], c.code);
        EXPECT_EQ(argument(first), named(c.first));
        // Each went with its own frame: what the builder sends for it now.
        r.Send(c.code, c.second);
        r.Tick(2);
        r.Send(c.code, c.first);
        ASSERT_EQ(r.usb.sent.size(), before + 4);
        EXPECT_EQ(r.usb.sent[before + 2], second);
        EXPECT_EQ(r.usb.sent[before + 3], first);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        check(c);
    }
}

// The codes whose every request matters are never replaced by a later one
// of their own, nor by a change.
TEST_F(CommandBuilderTest, CodesWhoseEveryRequestMattersAreNeverReplaced) {
    struct Case {
        const char* what;
        unsigned code;
        LPARAM first, second;
    };
    const Case cases[] = {
        {"kind switch", 0x3D, 1, 0},      {"Reset All", 0x14, 0, 0},
        {"test signal", 0x1B, 3, 4},      {"power-on mode", 0x3B, 0, 0},
        {"mic link", 0x3C, 0x100, 0x101}, {"EQ reset", 0x04, 2, 2},
        {"mode select", 0x01, 3, 4},      {"learn", 0x44, 0x101, 0x301},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuilderRig r;
        r.ConnectUsb();
        r.answering = false;
        r.Send(0x09, 0);  // in flight
        r.Send(c.code, c.first);
        r.Send(c.code, c.second);
        EXPECT_EQ(r.seq.Waiting(), 2u);
        const std::size_t before = r.usb.sent.size();
        r.answering = true;
        r.usb.incoming.push_back(Reply(0x09, {0}));
        r.Tick(4);
        ASSERT_EQ(r.usb.sent.size(), before + 2);
        EXPECT_EQ(r.usb.sent[before][3], c.code);
        EXPECT_EQ(r.usb.sent[before + 1][3], c.code);
    }
}

TEST_F(CommandBuilderTest, WifiModuleRequestsKeepTheirTurnBehindAPendingReply) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);  // in flight
    Send(0x37, 1);
    Send(0x0A, 0);
    Send(0x37, 0);
    Send(0x0E, 2);
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x37, 0x0A, 0x37, 0x0E}));
    const std::size_t before = usb.sent.size();
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick(6);
    ASSERT_EQ(usb.sent.size(), before + 4);
    EXPECT_EQ(usb.sent[before], Frame(0x37, {1, 0}));
    EXPECT_EQ(usb.sent[before + 1][3], 0x0A);
    EXPECT_EQ(usb.sent[before + 2], Frame(0x37, {0, 0}));
    EXPECT_EQ(usb.SentCode(), 0x0E);

    // Whatever waits goes with the link.
    answering = false;
    Send(0x09, 0);
    Send(0x37, 0);
    ASSERT_EQ(seq.Waiting(), 1u);
    seq.OnConnectButton();  // disconnect
    Pump();
    EXPECT_EQ(seq.Waiting(), 0u);
}

// Each lock state and admin level picked is answered in the order picked,
// with the record as it was when its message was handled; the builder says
// whether a request went to the link at all.
TEST_F(CommandBuilderTest, LockAndLevelRequestsKeepTheirTurn) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);  // in flight
    std::array<std::uint8_t, 5> lock = {1, 2, 3, 4, 1};
    std::array<std::uint8_t, 7> level = {9, 8, 7, 6, 5, 4, 2};
    EXPECT_TRUE(builder.OnSendCommand(0x2B, reinterpret_cast<LPARAM>(lock.data())));
    lock[4] = 0;
    EXPECT_TRUE(builder.OnSendCommand(0x2B, reinterpret_cast<LPARAM>(lock.data())));
    Send(0x0A, 0);
    EXPECT_TRUE(builder.OnSendCommand(0x2D, reinterpret_cast<LPARAM>(level.data())));
    EXPECT_EQ(seq.Waiting(), 4u);
    const std::size_t before = usb.sent.size();
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick(6);
    ASSERT_EQ(usb.sent.size(), before + 4);
    EXPECT_EQ(usb.sent[before], Frame(0x2B, {1, 2, 3, 4, 1, 0}));
    EXPECT_EQ(usb.sent[before + 1], Frame(0x2B, {1, 2, 3, 4, 0, 0}));
    EXPECT_EQ(usb.sent[before + 2][3], 0x0A);
    EXPECT_EQ(usb.sent[before + 3], Frame(0x2D, {9, 8, 7, 6, 5, 4, 2, 0}));

    seq.OnConnectButton();  // disconnect
    Pump();
    EXPECT_FALSE(builder.OnSendCommand(0x2B, reinterpret_cast<LPARAM>(lock.data())));
    EXPECT_FALSE(builder.OnSendCommand(0x2D, reinterpret_cast<LPARAM>(level.data())));
    EXPECT_EQ(usb.sent.size(), before + 4);
}

// A lock or level request whose write fails never reaches the unit: the
// builder says so, so that the main window puts the pick back, and the
// failed write has dropped the link.
TEST_F(CommandBuilderTest, ALockOrLevelRequestWhoseWriteFailsIsNotHanded) {
    struct Case {
        const char* what;
        std::uint8_t code;
        Bytes record;
    };
    const Case cases[] = {
        {"lock", 0x2B, {1, 2, 3, 4, 1}},
        {"level", 0x2D, {1, 2, 3, 4, 5, 6, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuilderRig rig;
        rig.ConnectUsb();
        const std::size_t before = rig.usb.sent.size();
        rig.usb.sendResult = SendResult::kFailed;
        EXPECT_FALSE(rig.builder.OnSendCommand(c.code, reinterpret_cast<LPARAM>(c.record.data())));
        EXPECT_EQ(rig.seq.LinkState(), 0);
        EXPECT_EQ(rig.host.disconnects, 1);
        EXPECT_EQ(rig.usb.sent.size(), before);
    }
}

TEST_F(CommandBuilderTest, OutOfRangeArgumentsLeaveTheLineAlone) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);
    Send(0x0A, 0);
    Send(0x03, 11);
    Send(0x11, 16);
    Send(0x01, 10);
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x0A}));
}

// A frame built whole waits its turn like any other request, and nothing
// that waited before it is dropped.
TEST_F(CommandBuilderTest, DirectFrameWaitsItsTurnAndDropsNothing) {
    ConnectUsb();
    answering = false;
    Send(0x09, 0);
    Send(0x0A, 0);
    const std::size_t before = usb.sent.size();
    Send(0x33, 0);
    Send(0x0A, 0);  // not past the boost save: a request that keeps its turn
    EXPECT_EQ(usb.sent.size(), before) << "two requests in flight";
    EXPECT_EQ(seq.WaitingCodes(), (std::vector<std::uint8_t>{0x0A, 0x33, 0x0A}));
    answering = true;
    usb.incoming.push_back(Reply(0x09, {0}));
    Tick(6);
    ASSERT_EQ(usb.sent.size(), before + 3);
    EXPECT_EQ(usb.sent[before][3], 0x0A);
    EXPECT_EQ(usb.sent[before + 1][3], 0x33);
    EXPECT_EQ(usb.sent[before + 2][3], 0x0A);
}

TEST_F(CommandBuilderTest, ModeUploadOverUsbIs17Frames) {
    const blocktest::Bytes block = blocktest::MakeBlock(5);
    UnpackDeviceParamBlock(block.data(), image);
    image.PowerOnMode = 7;
    ConnectUsb();
    modeName =
        "Ab{~\x01"
        "cd";
    const std::size_t before = usb.sent.size();
    Send(0x41, 0x83);
    for (int i = 0; i < 100 && HandledCount(WM_LINK_IDLE) < 2; ++i) Tick();
    ASSERT_EQ(usb.sent.size(), before + 17);

    // The record: the block's head with the typed name, then the masks.
    Bytes record(block.begin(), block.begin() + 870);
    const char name[] = "Ab   cd         ";
    std::copy(name, name + 16, record.begin() + 854);
    record.insert(record.end(), block.begin() + 1030, block.begin() + 1050);
    ASSERT_EQ(record.size(), 890u);
    const std::uint8_t sum = std::accumulate(record.begin(), record.end(), std::uint8_t{0});

    EXPECT_EQ(usb.sent[before],
              Frame(0x41, {0x7A, 0x03, static_cast<std::uint8_t>(-sum), 0, 0, 0, 0}));
    Bytes carried;
    for (int k = 0; k < 15; ++k) {
        const Bytes& f = usb.sent[before + 1 + static_cast<std::size_t>(k)];
        const int count = k < 14 ? 60 : 50;
        ASSERT_EQ(f[3], 0x42);
        ASSERT_EQ(f.size(), static_cast<std::size_t>(count + 8 + 5));
        EXPECT_EQ(f[4] | (f[5] << 8), 60 * k);
        EXPECT_EQ(f[6] | (f[7] << 8), count);
        EXPECT_EQ(Bytes(f.end() - 5, f.end() - 1), Zeros(4));
        carried.insert(carried.end(), f.begin() + 8, f.begin() + 8 + count);
    }
    EXPECT_EQ(carried, record);
    EXPECT_EQ(usb.sent.back(), Frame(0x43, {0x83, 7, 0, 0, 0, 0}));
    EXPECT_EQ(image.CurrentModeSlot, 3);
    EXPECT_EQ(std::string(image.CurrentModeName.data()), "Ab   cd         ");
    EXPECT_EQ(std::string(image.ModeNameTable[3].data(), 16), "Ab   cd         ");
    EXPECT_EQ(userModeRefills, 1);
}

// The upload's frames as the unit got them, from the n-th sent on: the
// record the data frames carried, and whether every offset followed on.
struct CarriedUpload {
    int starts = 0, ends = 0;
    Bytes record;
    bool inOrder = true;
};
CarriedUpload UploadFrom(const linktest::FakeTransport& t, std::size_t from) {
    CarriedUpload u;
    for (std::size_t i = from; i < t.sent.size(); ++i) {
        const Bytes& f = t.sent[i];
        if (f[3] == 0x41) ++u.starts;
        if (f[3] == 0x43) ++u.ends;
        if (f[3] != 0x42) continue;
        const int offset = f[4] | (f[5] << 8), count = f[6] | (f[7] << 8);
        u.inOrder = u.inOrder && offset == static_cast<int>(u.record.size());
        u.record.insert(u.record.end(), f.begin() + 8, f.begin() + 8 + count);
    }
    return u;
}

// A second upload while one is under way (a Save, Upload To Equipment, a
// load into a slot) is refused with its reason, and leaves the running one,
// the record it carries, the mode names and the slot as they were; so do an
// upload while the unit's block is due, one the link's full line would not
// take, and one whose power-on mode no file may hold.
TEST_F(CommandBuilderTest, AnUploadThatCannotGoNowIsRefusedAndChangesNothing) {
    struct Case {
        const char* what;
        std::function<void(BuilderRig&)> arrange;
        UploadRefusal why;
    };
    const Case cases[] = {
        {"another upload under way", [](BuilderRig& r) { r.Send(0x41, 2); },
         UploadRefusal::kUploadRunning},
        {"another upload waiting",
         [](BuilderRig& r) {
             r.Send(0x09, 0);
             r.Send(0x41, 2);
         },
         UploadRefusal::kUploadRunning},
        {"a mode select in flight", [](BuilderRig& r) { r.Send(0x01, 2); },
         UploadRefusal::kBlockReadDue},
        {"a header re-read waiting",
         [](BuilderRig& r) {
             r.Send(0x09, 0);
             r.Send(0x3F, 0);
         },
         UploadRefusal::kBlockReadDue},
        {"the line full, a power-on mode above 10 too",
         [](BuilderRig& r) {
             r.image.PowerOnMode = 11;
             r.Send(0x09, 0);
             for (std::size_t n = 0; n < LinkSequencer::kWaitingLimit; ++n) r.Send(0x37, 0);
         },
         UploadRefusal::kLineFull},
        {"a power-on mode above 10",
         [](BuilderRig& r) {
             r.image.PowerOnMode = 11;
             r.Send(0x09, 0);
         },
         UploadRefusal::kPowerOnMode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuilderRig r;
        r.image.PowerOnMode = 4;
        r.image.CurrentModeSlot = 2;
        std::vector<std::pair<UploadRefusal, int>> refusals;
        r.builder.hooks.uploadRefused = [&](UploadRefusal why, int powerOnMode) {
            refusals.push_back({why, powerOnMode});
        };
        r.ConnectUsb();
        r.answering = false;
        r.modeName = "First";
        c.arrange(r);
        const ParamImage image = r.image;
        const ModeUpload upload = r.builder.Upload();
        const std::vector<std::uint8_t> waiting = r.seq.WaitingCodes();
        const std::size_t sent = r.usb.sent.size();
        r.modeName = "Second";
        EXPECT_FALSE(r.builder.OnSendCommand(0x41, 5 | 0x80));
        ASSERT_EQ(refusals.size(), 1u);
        EXPECT_EQ(refusals[0].first, c.why);
        EXPECT_EQ(refusals[0].second, r.image.PowerOnMode);
        EXPECT_EQ(r.usb.sent.size(), sent);
        EXPECT_EQ(r.seq.WaitingCodes(), waiting);
        EXPECT_EQ(r.image.ModeNameTable, image.ModeNameTable);
        EXPECT_EQ(r.image.CurrentModeName, image.CurrentModeName);
        EXPECT_EQ(r.image.CurrentModeSlot, image.CurrentModeSlot);
        EXPECT_EQ(r.builder.Upload().record, upload.record);
        EXPECT_EQ(r.builder.Upload().slot, upload.slot);
    }
}

// The running upload goes on whole when a second one is refused: one start,
// fifteen data frames in order carrying the first record, one end.
TEST_F(CommandBuilderTest, ARefusedSecondUploadLeavesTheFirstWhole) {
    image.PowerOnMode = 1;
    ConnectUsb();
    int refused = 0;
    builder.hooks.uploadRefused = [&](UploadRefusal, int) { ++refused; };
    const std::size_t from = usb.sent.size();
    modeName = "First";
    Send(0x41, 2);
    Bytes record(kModeRecordSize);
    PackModeRecord(image, record.data());
    Tick(4);
    modeName = "Second";
    Send(0x41, 2);
    for (int i = 0; i < 100 && HandledCount(WM_LINK_IDLE) < 2; ++i) Tick();
    EXPECT_EQ(refused, 1);
    const CarriedUpload u = UploadFrom(usb, from);
    EXPECT_EQ(u.starts, 1);
    EXPECT_EQ(u.ends, 1);
    EXPECT_TRUE(u.inOrder);
    EXPECT_EQ(u.record, record);
    EXPECT_EQ(std::string(image.ModeNameTable[2].data(), 5), "First");

    // Once its end is answered, the next upload is taken.
    Send(0x41, 3);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(usb.SentCode(), 0x41);
}

// What comes while an upload runs waits for its end, then goes, in order;
// the learn retry goes first; a mode select refused for a full line leaves
// the unit's slot where it was.
TEST_F(CommandBuilderTest, ChangesDuringAnUploadGoAfterItsEnd) {
    image.PowerOnMode = 1;
    ConnectUsb();
    const std::size_t from = usb.sent.size();
    Send(0x41, 2);
    Tick(3);
    image.ParamBytes[2] = 61;
    Send(0x09, 0);
    Send(0x0E, 1);
    image.ParamBytes[2] = 62;
    Send(0x09, 0);
    for (int i = 0; i < 100 && HandledCount(WM_LINK_IDLE) < 2; ++i) Tick();
    Tick(3);
    std::vector<std::uint8_t> codes;
    for (std::size_t i = from; i < usb.sent.size(); ++i) codes.push_back(usb.sent[i][3]);
    std::vector<std::uint8_t> expected = {0x41};
    expected.insert(expected.end(), 15, 0x42);
    expected.insert(expected.end(), {0x43, 0x0E, 0x09});
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(usb.sent.back(), Frame(0x09, {62, 0}));

    answering = false;
    Send(0x09, 0);  // in flight
    for (int n = 0; n < static_cast<int>(LinkSequencer::kWaitingLimit); ++n) Send(0x37, 0);
    image.CurrentModeSlot = 2;
    EXPECT_FALSE(builder.OnSendCommand(0x01, 6));
    EXPECT_EQ(image.CurrentModeSlot, 2) << "the unit never selected it";
    image.LearnSlotIndex = 5;
    EXPECT_TRUE(builder.OnSendCommand(0x44, 5 | 0x200));
    EXPECT_EQ(seq.WaitingCodes().front(), 0x44) << "the learn retry goes first";
}

TEST(ModeNameField, SixteenCharactersInTheUnitsRange) {
    struct Case {
        const char* text;
        const char* field;
    };
    const Case cases[] = {
        {"ABC", "ABC             "},
        {"", "                "},
        {"exactly sixteen!", "exactly sixteen!"},
        {"seventeen chars!!", "seventeen chars!"},
        {"a{b~c z", "a b c z         "},
        {"\xe4\xb8\xad\xe6\x96\x87x", "  x             "},  // two Chinese characters
        {"\xff\xfe"
         "ok",
         "  ok            "},
        {"\xe4\xb8", "                "},  // a cut-off character
    };
    for (const Case& c : cases) {
        const auto field = ModeNameField(c.text);
        EXPECT_EQ(std::string(field.data(), field.size()), c.field) << c.text;
    }
}

}  // namespace
