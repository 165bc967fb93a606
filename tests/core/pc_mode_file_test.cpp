#include "model/pc_mode_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

ModeName NameField(const char* text) {
    ModeName name;
    name.fill(' ');
    for (std::size_t i = 0; text[i] && i < name.size(); ++i) name[i] = text[i];
    return name;
}

// The test's own reading of the checksum rule: bytes 0, 2, 8..1468 and 1485
// sum to 0 mod 256.
unsigned SummedArea(const Bytes& b) {
    unsigned sum = b[0] + b[2];
    for (std::size_t i = 8; i <= 1468; ++i) sum += b[i];
    return sum;
}
void Reseal(Bytes& b) { b[1485] = static_cast<std::uint8_t>(-SummedArea(b) & 0xFF); }

std::uint16_t U16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

Bytes Record(std::initializer_list<int> v) {
    Bytes out;
    for (int x : v) out.push_back(static_cast<std::uint8_t>(x));
    return out;
}

Bytes Slice(const Bytes& b, std::size_t at, std::size_t n) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at),
                 b.begin() + static_cast<std::ptrdiff_t>(at + n));
}

// Every area a mode file carries, compared member by member.
void ExpectSameModeAreas(const ParamImage& a, const ParamImage& b) {
    EXPECT_EQ(a.ParamBytes, b.ParamBytes);
    EXPECT_EQ(a.ParamWords, b.ParamWords);
    const auto same = [](const auto& x, const auto& y) {
        return std::memcmp(x.data(), y.data(), sizeof x) == 0;
    };
    EXPECT_TRUE(same(a.Mic1EqBands, b.Mic1EqBands));
    EXPECT_TRUE(same(a.Mic2EqBands, b.Mic2EqBands));
    EXPECT_TRUE(same(a.MusicEqBands, b.MusicEqBands));
    EXPECT_TRUE(same(a.MasterEqBands, b.MasterEqBands));
    EXPECT_TRUE(same(a.SurroundEqBands, b.SurroundEqBands));
    EXPECT_TRUE(same(a.CentreEqBands, b.CentreEqBands));
    EXPECT_TRUE(same(a.SubwooferEqBands, b.SubwooferEqBands));
    EXPECT_TRUE(same(a.ReverbEqBands, b.ReverbEqBands));
    EXPECT_TRUE(same(a.EchoEqBands, b.EchoEqBands));
    EXPECT_EQ(a.ParamFlags, b.ParamFlags);
    EXPECT_EQ(a.CinemaParamFlags, b.CinemaParamFlags);
    EXPECT_EQ(a.CurrentModeName, b.CurrentModeName);
    EXPECT_EQ(a.BandEnableMasks, b.BandEnableMasks);
    EXPECT_EQ(a.PowerOnMode, b.PowerOnMode);
}

class PcModeFile : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        image.ParamBytes[0] = 77;
        image.ParamBytes[12] = 0xE4;  // a level byte with its polarity bit
        image.ParamBytes[158] = 0xA1;
        image.ParamBytes[159] = 0x5C;  // the file-only byte
        image.ParamWords[0] = 0x1234;
        image.ParamWords[46] = 0xBEEF;  // the file-only word
        image.Mic1EqBands[0] = EqBand{1, 2, 1000, 7, -35};
        image.Mic2EqBands[0].frequency = 398;
        image.MusicEqBands[0].frequency = 534;
        image.MasterEqBands[0].frequency = 670;
        image.SurroundEqBands[0].frequency = 862;
        image.CentreEqBands[0].frequency = 1054;
        image.SubwooferEqBands[0].frequency = 1198;
        image.ReverbEqBands[0].frequency = 1310;
        image.EchoEqBands[6] = EqBand{7, 4, 20000, 999, 240};
        image.ParamFlags = 0x11223344;
        image.CinemaParamFlags = 0x55667788;
        image.BandEnableMasks[0] = 0x0102;
        image.BandEnableMasks[9] = 0xA0B0;
        image.PowerOnMode = 10;
        image.BoostEnableFlags = 0x0F;  // not part of the file
    }
    Bytes Packed(const char* name = "Stage 1") const {
        const auto bytes = PackPcModeFile(image, NameField(name));
        EXPECT_TRUE(bytes.has_value());
        return bytes ? Bytes(bytes->begin(), bytes->end()) : Bytes{};
    }
    ParamImage image;
};

TEST_F(PcModeFile, LaysTheImageOutFieldByField) {
    const Bytes b = Packed();
    ASSERT_EQ(b.size(), 1488u);
    EXPECT_EQ(Slice(b, 0, 8), Record({34, 0, 2, 0, 0, 0, 0, 0}));
    EXPECT_EQ(b[8 + 0], 77);
    EXPECT_EQ(b[8 + 12], 0xE4);
    EXPECT_EQ(b[8 + 158], 0xA1);
    EXPECT_EQ(b[8 + 159], 0x5C);
    EXPECT_EQ(U16(b, 168), 0x1234);
    EXPECT_EQ(U16(b, 168 + 2 * 46), 0xBEEF);
    EXPECT_EQ(Slice(b, 262, 8), Record({1, 2, 0xE8, 0x03, 7, 0, 0xDD, 0xFF}));
    for (std::size_t first : {398u, 534u, 670u, 862u, 1054u, 1198u, 1310u}) {
        EXPECT_EQ(U16(b, first + 2), first) << "area at " << first;
    }
    // The echo area's last record, the high-pass, ends the bands.
    EXPECT_EQ(Slice(b, 1366 + 48, 8), Record({7, 4, 0x20, 0x4E, 0xE7, 0x03, 0xF0, 0x00}));
    EXPECT_EQ(Slice(b, 1422, 2), Record({0, 0}));
    EXPECT_EQ(Slice(b, 1424, 8), Record({0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55}));
    EXPECT_EQ(std::string(b.begin() + 1432, b.begin() + 1448), "Stage 1         ");
    EXPECT_EQ(U16(b, 1448), 0x0102);
    EXPECT_EQ(U16(b, 1466), 0xA0B0);
    EXPECT_EQ(b[1468], 10);
    EXPECT_EQ(Slice(b, 1469, 16), Bytes(16, 0));
    EXPECT_EQ(Slice(b, 1486, 2), Bytes(2, 0));
    EXPECT_EQ((SummedArea(b) + b[1485]) % 256, 0u);
}

TEST_F(PcModeFile, LoadsBackEveryAreaKeepingTheLiveVolumes) {
    const Bytes b = Packed();
    ParamImage loaded;
    InitParamImage(loaded);
    for (std::size_t live : {0u, 1u, 2u, 109u})
        loaded.ParamBytes[live] = static_cast<std::uint8_t>(90 + live % 8);
    const ParamImage before = loaded;
    ASSERT_TRUE(UnpackPcModeFile(b, loaded));
    ParamImage expected = image;
    for (std::size_t live : {0u, 1u, 2u, 109u}) expected.ParamBytes[live] = before.ParamBytes[live];
    std::memcpy(expected.CurrentModeName.data(), "Stage 1         ", 17);
    ExpectSameModeAreas(loaded, expected);
    EXPECT_EQ(loaded.BoostEnableFlags, before.BoostEnableFlags);  // not in the file
    // With the file's own live volumes it packs back to the same bytes.
    for (std::size_t live : {0u, 1u, 2u, 109u}) loaded.ParamBytes[live] = b[8 + live];
    const auto again = PackPcModeFile(loaded, NameField("Stage 1"));
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(Bytes(again->begin(), again->end()), b);
}

TEST_F(PcModeFile, BytesOutsideTheSumAndUncheckedBytesDoNotStopALoad) {
    Bytes b = Packed();
    for (std::size_t i : {4u, 7u, 1469u, 1484u, 1486u, 1487u}) b[i] = 0xEE;
    b[8 + 5] = 255;  // carried, no control
    b[8 + 86] = 0;   // echo volume, a level byte
    Reseal(b);
    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(UnpackPcModeFile(b, loaded));
    EXPECT_EQ(loaded.ParamBytes[5], 255);
    EXPECT_EQ(loaded.ParamBytes[86], 0);
}

TEST(PcModeCaps, UploadLowersLiveVolumesToTheLoadedMaxima) {
    struct Case {
        const char* name;
        std::size_t volume, maximum;
        std::uint8_t live, limit, expected;
    };
    const Case cases[] = {
        {"KTV music above its maximum", 0, 4, 80, 60, 60},
        {"KTV music below its maximum", 0, 4, 50, 60, 50},
        {"microphone above its maximum", 1, 11, 99, 0, 0},
        {"microphone at its maximum", 1, 11, 40, 40, 40},
        {"cinema and auto music above its maximum", 109, 149, 70, 30, 30},
        {"cinema and auto music below its maximum", 109, 149, 20, 30, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamImage image;
        InitParamImage(image);
        image.ParamBytes[c.volume] = c.live;
        image.ParamBytes[c.maximum] = c.limit;
        CapLiveVolumes(image);
        EXPECT_EQ(image.ParamBytes[c.volume], c.expected);
        EXPECT_EQ(image.ParamBytes[c.maximum], c.limit);
    }
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[2] = 99;  // the effect volume has no maximum
    CapLiveVolumes(image);
    EXPECT_EQ(image.ParamBytes[2], 99);
}

struct RefusedModeFile {
    const char* name;
    std::function<void(Bytes&)> spoil;
    bool reseal = true;
};

void SetBand(Bytes& b, std::size_t at, std::size_t field, int value) {
    b[at + field] = static_cast<std::uint8_t>(value & 0xFF);
    if (field >= 2) b[at + field + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

TEST_F(PcModeFile, RefusedFilesLeaveTheImageAsItWas) {
    const RefusedModeFile cases[] = {
        {"empty", [](Bytes& b) { b.clear(); }, false},
        {"1487 bytes", [](Bytes& b) { b.pop_back(); }, false},
        {"1489 bytes", [](Bytes& b) { b.push_back(0); }, false},
        {"tag 35", [](Bytes& b) { b[0] = 35; }},
        {"tag's high byte set", [](Bytes& b) { b[1] = 1; }},
        {"version 3", [](Bytes& b) { b[2] = 3; }},
        {"version's high byte set", [](Bytes& b) { b[3] = 1; }},
        {"checksum one off", [](Bytes& b) { b[1485] += 1; }, false},
        {"gap after the bands not zero", [](Bytes& b) { b[1423] = 1; }},
        {"PowerOnMode 11", [](Bytes& b) { b[1468] = 11; }},
        {"name byte 31", [](Bytes& b) { b[1432] = 31; }},
        {"name byte 123", [](Bytes& b) { b[1447] = 123; }},
        {"name byte 0x80", [](Bytes& b) { b[1440] = 0x80; }},
        {"mic 1 band 0 slope 8", [](Bytes& b) { SetBand(b, 262, 0, 8); }},
        {"music band 3 type 5", [](Bytes& b) { SetBand(b, 534 + 24, 1, 5); }},
        {"master band 0 at 19 Hz", [](Bytes& b) { SetBand(b, 670, 2, 19); }},
        {"surround last band at 20001 Hz", [](Bytes& b) { SetBand(b, 862 + 184, 2, 20001); }},
        {"centre band 0 Q 0.3", [](Bytes& b) { SetBand(b, 1054, 4, 3); }},
        {"subwoofer band 0 Q 100.0", [](Bytes& b) { SetBand(b, 1198, 4, 1000); }},
        {"reverb band 0 gain -24.1", [](Bytes& b) { SetBand(b, 1310, 6, -241); }},
        {"echo band 4 gain 24.1", [](Bytes& b) { SetBand(b, 1366 + 32, 6, 241); }},
        {"mic 2 band 0 gain -3276.8", [](Bytes& b) { SetBand(b, 398, 6, 0x8000); }},
    };
    const Bytes good = Packed();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = good;
        c.spoil(b);
        if (c.reseal) Reseal(b);
        ParamImage target;
        InitParamImage(target);
        const ParamImage before = target;
        EXPECT_FALSE(UnpackPcModeFile(b, target));
        ExpectSameModeAreas(target, before);
    }
}

// Each ParamBytes index that selects something, with its range; every other
// byte passes whatever it holds.
TEST_F(PcModeFile, CheckedBytesTakeTheirLimitsAndNothingBeyond) {
    struct Range {
        std::size_t index;
        int min, max;
    };
    const Range ranges[] = {
        {107, 0, 2}, {6, 1, 10},  {108, 0, 5}, {80, 0, 2},  {85, 0, 2},  {94, 0, 3},
        {95, 0, 3},  {153, 0, 3}, {154, 0, 3}, {9, 0, 14},  {7, 0, 7},   {8, 0, 7},
        {19, 0, 7},  {20, 0, 7},  {37, 0, 7},  {38, 0, 7},  {51, 0, 7},  {52, 0, 7},
        {65, 0, 7},  {66, 0, 7},  {77, 0, 7},  {78, 0, 7},  {122, 0, 7}, {123, 0, 7},
        {130, 0, 7}, {131, 0, 7}, {138, 0, 7}, {139, 0, 7}, {146, 0, 7}, {147, 0, 7},
    };
    const Bytes good = Packed();
    for (const auto& r : ranges) {
        SCOPED_TRACE("ParamBytes " + std::to_string(r.index));
        for (int value : {r.min - 1, r.min, r.max, r.max + 1}) {
            if (value < 0) continue;
            Bytes b = good;
            b[8 + r.index] = static_cast<std::uint8_t>(value);
            Reseal(b);
            ParamImage target;
            InitParamImage(target);
            const bool inRange = value >= r.min && value <= r.max;
            EXPECT_EQ(UnpackPcModeFile(b, target), inRange) << "value " << value;
            if (inRange) {
                EXPECT_EQ(target.ParamBytes[r.index], value);
            }
        }
    }
}

TEST_F(PcModeFile, AnyChangedByteInsideTheSumIsRefused) {
    const Bytes good = Packed();
    std::vector<std::size_t> summed{0, 2};
    for (std::size_t i = 8; i <= 1468; ++i) summed.push_back(i);
    for (std::size_t i : summed) {
        Bytes b = good;
        b[i] = static_cast<std::uint8_t>(b[i] + 1);
        ParamImage target;
        InitParamImage(target);
        EXPECT_FALSE(UnpackPcModeFile(b, target)) << "byte " << i;
    }
}

// The pages hold Q 0 and gain 0 in the pass-filter records (a pass filter is
// its slope and frequency): such an image saves and loads back as it is.
TEST_F(PcModeFile, PassFilterRecordsCarryNoQOrGain) {
    for (auto* bands : {&image.MusicEqBands, &image.Mic1EqBands}) {
        (*bands)[15] = EqBand{3, kBandTypeLowPass, 18000, 0, 0};
        (*bands)[16] = EqBand{2, kBandTypeHighPass, 30, 0, -241};
    }
    const auto bytes = PackPcModeFile(image, NameField("pass"));
    ASSERT_TRUE(bytes.has_value());
    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(UnpackPcModeFile(*bytes, loaded));
    EXPECT_EQ(loaded.MusicEqBands[15], image.MusicEqBands[15]);
    EXPECT_EQ(loaded.Mic1EqBands[16], image.Mic1EqBands[16]);
    // A PEQ band still needs its Q and gain in range.
    image.MusicEqBands[0] = EqBand{0, kBandTypePeq, 1000, 0, 0};
    EXPECT_FALSE(PackPcModeFile(image, NameField("pass")).has_value());
}

TEST_F(PcModeFile, AnImageThatWouldNotLoadBackIsNotPacked) {
    const std::function<void(ParamImage&, ModeName&)> spoils[] = {
        [](ParamImage& i, ModeName&) { i.ParamBytes[107] = 3; },
        [](ParamImage& i, ModeName&) { i.PowerOnMode = -1; },
        [](ParamImage& i, ModeName&) { i.CentreEqBands[8].frequency = 0; },
        [](ParamImage&, ModeName& n) { n[15] = '~'; },
    };
    for (const auto& spoil : spoils) {
        ParamImage spoilt = image;
        ModeName name = NameField("ok");
        spoil(spoilt, name);
        EXPECT_FALSE(PackPcModeFile(spoilt, name).has_value());
    }
}

// One check serves the pack and the unpack: it names the first value out of
// range in file order, and neither writes nor loads a file holding it.
TEST_F(PcModeFile, TheCheckNamesTheFirstFieldOutOfRange) {
    const struct {
        const char* what;
        std::function<void(ParamImage&, ModeName&)> spoil;
        const char* page;
        const char* field;  // nullptr: a band's
        int band;
        BandFieldCheck check;
    } cases[] = {
        {"a checked byte before a band",
         [](ParamImage& i, ModeName&) {
             i.ParamBytes[9] = 15;
             i.Mic1EqBands[0].q = 0;
         },
         "Music",
         "Music Pitch",
         -1,
         {BandField::kNone, 15, 0, 14}},
        {"the first of two bands",
         [](ParamImage& i, ModeName&) {
             i.CentreEqBands[4].gain = 300;
             i.ReverbEqBands[0].type = 5;
         },
         "Center EQ",
         nullptr,
         4,
         {BandField::kGain, 300, -240, 240}},
        {"a band before the name",
         [](ParamImage& i, ModeName& n) {
             i.EchoEqBands[6].frequency = 20001;
             n[0] = '~';
         },
         "Echo EQ",
         nullptr,
         6,
         {BandField::kFrequency, 20001, 20, 20000}},
        {"a name byte before PowerOnMode",
         [](ParamImage& i, ModeName& n) {
             n[3] = 31;
             i.PowerOnMode = 11;
         },
         "System",
         "Mode Name character",
         -1,
         {BandField::kNone, 31, 32, 122}},
        {"PowerOnMode alone",
         [](ParamImage& i, ModeName&) { i.PowerOnMode = 11; },
         "System",
         "Power Mode",
         -1,
         {BandField::kNone, 11, 0, 10}},
        {"the cinema input",
         [](ParamImage& i, ModeName&) { i.ParamBytes[108] = 6; },
         "Main window",
         "Cinema audio input",
         -1,
         {BandField::kNone, 6, 0, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParamImage spoilt = image;
        ModeName name = NameField("ok");
        c.spoil(spoilt, name);
        const auto refused = CheckPcModeImage(spoilt, name);
        ASSERT_TRUE(refused.has_value());
        EXPECT_STREQ(refused->name.placeEnglish, c.page);
        if (c.field) {
            EXPECT_STREQ(refused->name.fieldEnglish, c.field);
        }
        EXPECT_EQ(refused->band, c.band);
        EXPECT_EQ(refused->check.field, c.check.field);
        EXPECT_EQ(refused->check.value, c.check.value);
        EXPECT_EQ(refused->check.min, c.check.min);
        EXPECT_EQ(refused->check.max, c.check.max);
        EXPECT_FALSE(PackPcModeFile(spoilt, name).has_value());
    }
    EXPECT_FALSE(CheckPcModeImage(image, NameField("ok")).has_value());
}

}  // namespace

// Save To PC's mode name counts the GBK bytes: a Chinese character is two
// blanks, a character cut at the 16th byte one.
TEST(PcModeNameField, OneBlankPerGbkByte) {
    struct Case {
        const char* gbk;
        const char* field;
    };
    const Case cases[] = {
        {"Pop", "Pop             "},
        {"", "                "},
        {"a{b~c", "a b c           "},
        {"\xD6\xD0\xCE\xC4x", "    x           "},  // two Chinese characters, then x
        {"abcdefghijklmno\xD6\xD0", "abcdefghijklmno "},
        {"seventeen chars!!", "seventeen chars!"},
    };
    for (const Case& c : cases) {
        const ModeName field = PcModeNameField(c.gbk);
        EXPECT_EQ(std::string(field.data(), field.size()), c.field) << c.gbk;
    }
}
