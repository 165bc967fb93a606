// The main window's PC mode work without a window: the writer, the three
// loads and the mass-save chain, with the unit's answers fed in through
// DeviceResults as the link would hand them over.
#include "app/pc_mode_flow.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/device_results.h"
#include "link/command_builder.h"
#include "model/file_io.h"
#include "model/pc_mode_file.h"
#include "support/temp_folder.h"
#include "system/mode_files.h"

namespace {

namespace fs = std::filesystem;
using Log = std::vector<std::string>;

constexpr const char* kSavedOk = "        Saved OK        ";
constexpr const char* kLoadOk = " \t   Load OK\t\t  ";
constexpr const char* kLoadFail = " \t   Load fail\t   ";
constexpr const char* kSaveOk = " \t   Save OK\t\t  ";
constexpr const char* kSaveFail = " \t   Save fail\t   ";
constexpr const char* kUploadRunning = "Not sent: an upload to the equipment is still running";
constexpr const char* kUploadRunningChinese = "未发送：正在向设备上传模式";
constexpr const char* kBlockReadDue = "Not sent: the equipment is sending its parameters";
constexpr const char* kBlockReadDueChinese = "未发送：设备正在发送参数";

std::string Post(unsigned msg, long w, long l) {
    return "post:" + std::to_string(msg - WM_USER) + "," + std::to_string(w) + "," +
           std::to_string(l);
}
std::string Send(int code, int argument) { return Post(WM_SEND_COMMAND, code, argument); }
std::string Box(const std::string& text) { return "box:" + text; }
const std::string kBusySaving = Post(WM_LINK_BUSY, 2, 0);
const std::string kIdle = Post(WM_LINK_IDLE, 0, 0);
const std::string kRefresh = "refresh";

// The flow wired as the main window wires it, every hook call logged in
// order; the unit may take every code unless a test says otherwise.
class Flow : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        image.ParamWords[46] = 0xAAAA;  // marks the image the test started with
        auto& h = flow.hooks;
        h.post = [this](unsigned msg, WPARAM w, LPARAM l) {
            log.push_back(Post(msg, static_cast<long>(w), static_cast<long>(l)));
        };
        h.messageBox = [this](const std::string& t) { log.push_back(Box(t)); };
        h.refreshPages = [this] { log.push_back(kRefresh); };
        h.canSend = [this](unsigned code) { return connected && code != refusedCode; };
        h.linkOpen = [this] { return connected; };
        h.uploadRefusal = [this] { return refusal; };
        h.listed = [this](const std::string& name) { log.push_back("listed:" + name); };
        results.hooks.messageBox = h.messageBox;
        results.hooks.post = h.post;
        results.hooks.massSaveStep = [this](int index) { flow.MassSaveStep(index); };
    }

    // A mode file whose word 46 (carried, never checked) is marker.
    void WriteMode(const std::string& name, std::uint16_t marker) {
        ParamImage file = image;
        file.ParamWords[46] = marker;
        const auto bytes = PackPcModeFile(file, ModeNameField(name));
        ASSERT_TRUE(bytes.has_value());
        fs::create_directories(Folder());
        testsupport::WriteFileBytes(Folder() / name, {bytes->begin(), bytes->end()});
    }
    void WriteRefused(const std::string& name) {
        fs::create_directories(Folder());
        testsupport::WriteFileBytes(Folder() / name, std::vector<std::uint8_t>(1488, 0));
    }
    fs::path Folder() const { return temp / "param_dir"; }
    Log Take() { return std::exchange(log, {}); }
    Log Answer(WPARAM result) {
        results.OnDeviceResult(result);
        return Take();
    }

    testsupport::TempFolder temp;
    ParamImage image;
    DeviceResults results{image};
    PcModeFlow flow{image, results, temp / "param_dir"};
    Log log;
    bool connected = true;
    unsigned refusedCode = 0;
    // What the builder would answer for an upload now.
    std::optional<UploadRefusal> refusal;
};

TEST_F(Flow, MassSaveHandsTheFilesOverLastFirstThenSelectsSlotZero) {
    WriteMode("a", 0x1000);
    WriteMode("b", 0x1001);
    WriteMode("c", 0x1002);
    image.ParamBytes[0] = 90;  // a live volume above the files' maximum
    image.ParamBytes[4] = 80;
    std::vector<std::string> list = {"a", "b", "c"};
    flow.MassSave(list);
    list = {"c"};  // the picker's list changes; the chain keeps its own
    EXPECT_EQ(Take(), (Log{Send(0x16, 2), kBusySaving}));
    EXPECT_EQ(image.ParamWords[46], 0x1002);
    EXPECT_EQ(results.DeviceSequenceActive, 1);

    EXPECT_EQ(Answer(0x2000), (Log{Send(0x16, 1)}));
    EXPECT_EQ(image.ParamWords[46], 0x1001);
    EXPECT_EQ(Answer(0x2000), (Log{Send(0x16, 0)}));
    EXPECT_EQ(image.ParamWords[46], 0x1000);
    EXPECT_EQ(Answer(0x2000), (Log{Send(0x01, 0), Box(kSavedOk)}));
    EXPECT_EQ(image.ParamBytes[0], 90) << "the live volume is neither loaded nor capped";
    EXPECT_EQ(results.DeviceSequenceActive, 1);
    EXPECT_EQ(Answer(0x2100), (Log{Send(0x3F, 0)}));
    EXPECT_EQ(results.DeviceSequenceActive, 0);
    // The chain is over: the link closing now changes nothing.
    flow.OnLinkClosed();
    EXPECT_EQ(image.ParamWords[46], 0x1000);
    EXPECT_TRUE(Take().empty());
}

TEST_F(Flow, MassSaveIsIgnoredWhileASequenceRunsOrForAnEmptyList) {
    WriteMode("a", 0x1000);
    flow.MassSave({});
    EXPECT_TRUE(Take().empty());
    results.DeviceSequenceActive = 1;  // a reset all under way
    flow.MassSave({"a"});
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(image.ParamWords[46], 0xAAAA);
    results.DeviceSequenceActive = 0;
    flow.MassSave({"a", "a"});
    EXPECT_EQ(Take(), (Log{Send(0x16, 1), kBusySaving}));
    flow.MassSave({"a"});  // the chain runs: a second one is ignored
    EXPECT_TRUE(Take().empty());
}

// A step that fails or cannot run ends the chain whole: the image it
// started on, no sequence, no busy box, nothing more sent.
TEST_F(Flow, AFailingStepEndsTheChainAndRestoresTheImage) {
    struct Case {
        const char* what;
        int failingStep;  // 0: the chain's start, 1: the step after one answer
        enum { kOffline, kNoFrame, kRefusedFile, kMissingFile, kUpload, kBlockRead } why;
        Log atFailure;
    };
    const Case cases[] = {
        {"offline at the start", 0, Case::kOffline, {}},
        {"no frame for the step", 0, Case::kNoFrame, {}},
        {"first file refused", 0, Case::kRefusedFile, {Box(kLoadFail)}},
        {"an upload running at the start", 0, Case::kUpload, {Box(kUploadRunning)}},
        {"the block read due at the start", 0, Case::kBlockRead, {Box(kBlockReadDue)}},
        {"link gone before the second step", 1, Case::kOffline, {kIdle}},
        {"second file refused", 1, Case::kRefusedFile, {kIdle, Box(kLoadFail)}},
        {"second file removed", 1, Case::kMissingFile, {kIdle, Box(kLoadFail)}},
        {"an upload taken before the second step", 1, Case::kUpload, {kIdle, Box(kUploadRunning)}},
        {"the block read due before the second step",
         1,
         Case::kBlockRead,
         {kIdle, Box(kBlockReadDue)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        fs::remove_all(Folder());
        WriteMode("first", 0x1000);
        WriteMode("second", 0x1001);
        const ParamImage before = image;
        const auto fail = [&] {
            if (c.why == Case::kOffline) connected = false;
            if (c.why == Case::kNoFrame) refusedCode = 0x16;
            if (c.why == Case::kRefusedFile) WriteRefused(c.failingStep == 0 ? "second" : "first");
            if (c.why == Case::kMissingFile) fs::remove(Folder() / "first");
            if (c.why == Case::kUpload) refusal = UploadRefusal::kUploadRunning;
            if (c.why == Case::kBlockRead) refusal = UploadRefusal::kBlockReadDue;
        };
        if (c.failingStep == 0) {
            fail();
            flow.MassSave({"first", "second"});
        } else {
            flow.MassSave({"first", "second"});
            EXPECT_EQ(Take(), (Log{Send(0x16, 1), kBusySaving}));
            fail();
            results.OnDeviceResult(0x2000);
        }
        EXPECT_EQ(Take(), c.atFailure);
        EXPECT_TRUE(image == before);
        EXPECT_EQ(results.DeviceSequenceActive, 0);
        EXPECT_EQ(results.MassSaveIndex, -1);
        // A stray answer afterwards is a single store's, not a step.
        connected = true;
        refusedCode = 0;
        refusal.reset();
        EXPECT_EQ(Answer(0x2000), (Log{Box(kSavedOk)}));
    }
}

TEST_F(Flow, TheLinkClosingMidChainRestoresTheImage) {
    WriteMode("a", 0x1000);
    WriteMode("b", 0x1001);
    const ParamImage before = image;
    flow.MassSave({"a", "b"});
    EXPECT_EQ(image.ParamWords[46], 0x1001);
    Take();
    flow.OnLinkClosed();
    EXPECT_EQ(Take(), (Log{kIdle}));
    EXPECT_TRUE(image == before);
    EXPECT_EQ(results.DeviceSequenceActive, 0);
}

class UploadToEquipment : public Flow {
protected:
    void SetUp() override {
        Flow::SetUp();
        // The file: maxima 80 (music), 40 (microphone), 60 (cinema music).
        image.ParamBytes[4] = 80;
        image.ParamBytes[11] = 40;
        image.ParamBytes[149] = 60;
        WriteMode("Stage", 0x1234);
        WriteRefused("Broken");
        flow.ListFolder();
        ASSERT_EQ(flow.ModeFiles(), (std::vector<std::string>{"Broken", "Stage"}));
        // Live volumes above those maxima, effect anywhere.
        image.ParamBytes[0] = 95;
        image.ParamBytes[1] = 30;
        image.ParamBytes[2] = 70;
        image.ParamBytes[109] = 90;
        image.ParamBytes[4] = image.ParamBytes[11] = image.ParamBytes[149] = 99;
        image.CurrentModeSlot = 3;
    }
};

TEST_F(UploadToEquipment, LoadsCapsRefreshesAndStoresInTheCurrentSlot) {
    flow.LoadModeFile(1);
    EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 3 | 0x80)}));
    EXPECT_TRUE(flow.OnUploadStartHandled(3 | 0x80, true, std::nullopt));
    EXPECT_EQ(Take(), (Log{Box(kLoadOk)}));
    EXPECT_EQ(image.ParamWords[46], 0x1234);
    EXPECT_EQ(image.ParamBytes[0], 80);
    EXPECT_EQ(image.ParamBytes[1], 30);
    EXPECT_EQ(image.ParamBytes[2], 70);
    EXPECT_EQ(image.ParamBytes[109], 60);
}

TEST_F(UploadToEquipment, OfflineTheFileIsLoadedAndNothingSent) {
    connected = false;
    image.Language = 1;
    flow.LoadModeFile(1);
    EXPECT_EQ(Take(), (Log{kRefresh, Box(" \t   加载成功 \t   ")}));
    EXPECT_EQ(image.ParamWords[46], 0x1234);
    EXPECT_EQ(image.ParamBytes[0], 80);
}

// While the link is open and the unit would not take the upload, the load
// is not made: the panel stays as it was, one box says why, in the
// window's language, and nothing is posted (the builder's own refusal box
// would be a second one). Asked before the file is opened.
TEST_F(UploadToEquipment, AnUploadTheUnitWouldNotTakeLoadsNothing) {
    struct Case {
        const char* what;
        bool toSlot;
        int row;
        UploadRefusal why;
        int language;
        const char* text;
    };
    const Case cases[] = {
        {"another upload running", false, 1, UploadRefusal::kUploadRunning, 0, kUploadRunning},
        {"the block read due, Chinese", false, 1, UploadRefusal::kBlockReadDue, 1,
         kBlockReadDueChinese},
        {"a file that would fail, another upload running", false, 0, UploadRefusal::kUploadRunning,
         0, kUploadRunning},
        {"to a slot, another upload running, Chinese", true, 1, UploadRefusal::kUploadRunning, 1,
         kUploadRunningChinese},
        {"to a slot, the block read due", true, 1, UploadRefusal::kBlockReadDue, 0, kBlockReadDue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image.Language = c.language;
        refusal = c.why;
        const ParamImage before = image;
        if (c.toSlot) {
            flow.LoadModeToSlot(c.row, 6);
        } else {
            flow.LoadModeFile(c.row);
        }
        EXPECT_EQ(Take(), (Log{Box(c.text)}));
        EXPECT_TRUE(image == before);
    }
}

// The power-on mode the builder would refuse is the image's, out of range
// as the unit reported it; the file brings its own, in range, so the load
// is made and the upload posted.
TEST_F(UploadToEquipment, APowerOnModeOutOfRangeGivesWayToTheFiles) {
    const int filePowerOnMode = image.PowerOnMode;
    ASSERT_LE(filePowerOnMode, 10);
    image.PowerOnMode = 11;
    refusal = UploadRefusal::kPowerOnMode;
    flow.LoadModeFile(1);
    EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 3 | 0x80)}));
    EXPECT_TRUE(flow.OnUploadStartHandled(3 | 0x80, true, std::nullopt));
    EXPECT_EQ(Take(), (Log{Box(kLoadOk)}));
    EXPECT_EQ(image.PowerOnMode, filePowerOnMode);
    EXPECT_EQ(image.ParamWords[46], 0x1234);

    image.PowerOnMode = 11;
    image.ParamWords[46] = 0;
    flow.LoadModeToSlot(1, 4);
    EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 4)}));
    EXPECT_EQ(image.PowerOnMode, filePowerOnMode);
    EXPECT_EQ(image.ParamWords[46], 0x1234);
}

// A slot the unit reported outside its user modes: the file is loaded in
// the panel, nothing goes to the unit, and the box says so.
TEST_F(UploadToEquipment, AReportedSlotOutsideTheUserModesSendsNothing) {
    for (const int language : {0, 1}) {
        SCOPED_TRACE(language);
        image.Language = language;
        image.CurrentModeSlot = 0xA0;
        image.ParamWords[46] = 0;
        flow.LoadModeFile(1);
        EXPECT_EQ(
            Take(),
            (Log{kRefresh,
                 Box(language == 0 ? " \t   Loaded, not sent: the unit's mode slot is invalid\t   "
                                   : " \t   已加载，未发送：设备的模式编号无效 \t   ")}));
        EXPECT_EQ(image.ParamWords[46], 0x1234);
        EXPECT_EQ(image.ParamBytes[0], 80);
        EXPECT_EQ(image.CurrentModeSlot, 0xA0);
    }
}

// Over a link, "Load OK" waits for the link's answer to the start. What
// can come between the load and that answer (the line filling, another
// upload, the block read, a new connection) leaves the unit without the
// file: the panel then goes back to what it held, before the box says why.
TEST_F(UploadToEquipment, TheStartsAnswerDecidesWhatThePanelKeeps) {
    struct Case {
        const char* what;
        bool taken;
        bool linkOpenAtAnswer;
        std::optional<UploadRefusal> why;
        bool fileKept;
        const char* text;
    };
    const Case cases[] = {
        {"taken", true, true, std::nullopt, true, kLoadOk},
        {"refused, the line full", false, true, UploadRefusal::kLineFull, false,
         "Not sent: the equipment is busy, too many requests are waiting"},
        {"refused, the block read due", false, true, UploadRefusal::kBlockReadDue, false,
         kBlockReadDue},
        {"refused, a new connection under way", false, true, std::nullopt, false,
         "Not connected to the equipment"},
        {"refused, the link closed: kept as offline", false, false, std::nullopt, true, kLoadOk},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        image.ParamWords[46] = 0xAAAA;
        const ParamImage before = image;
        connected = true;
        flow.LoadModeFile(1);
        EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 3 | 0x80)}));
        EXPECT_EQ(image.ParamWords[46], 0x1234);
        connected = c.linkOpenAtAnswer;
        EXPECT_TRUE(flow.OnUploadStartHandled(3 | 0x80, c.taken, c.why));
        if (c.fileKept) {
            EXPECT_EQ(Take(), (Log{Box(c.text)}));
            EXPECT_EQ(image.ParamWords[46], 0x1234);
        } else {
            EXPECT_EQ(Take(), (Log{kRefresh, Box(c.text)}));
            EXPECT_TRUE(image == before);
        }
        // Answered once: a second answer is no longer the load's.
        EXPECT_FALSE(flow.OnUploadStartHandled(3 | 0x80, c.taken, c.why));
        EXPECT_EQ(Take(), Log{});
    }
}

// Until its start is answered, a load's record is still to be packed from
// the image: a second Upload To Equipment is refused as an upload running,
// and a start the flow did not post (a Save's, a load into a slot) is not
// taken for the load's.
TEST_F(UploadToEquipment, ALoadWaitingForItsStartHoldsBackTheNext) {
    flow.LoadModeFile(1);
    Take();
    const ParamImage loaded = image;
    flow.LoadModeFile(1);
    EXPECT_EQ(Take(), (Log{Box(kUploadRunning)}));
    EXPECT_TRUE(image == loaded);
    EXPECT_FALSE(flow.OnUploadStartHandled(3, false, UploadRefusal::kLineFull));
    EXPECT_EQ(Take(), Log{});
    EXPECT_TRUE(image == loaded);
    EXPECT_TRUE(flow.OnUploadStartHandled(3 | 0x80, true, std::nullopt));
    EXPECT_EQ(Take(), (Log{Box(kLoadOk)}));
}

TEST_F(UploadToEquipment, ToASlotKeepsTheLiveVolumesAndSaysNothing) {
    const int slot = image.CurrentModeSlot;
    flow.LoadModeToSlot(1, 9);
    EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 9)}));
    EXPECT_EQ(image.CurrentModeSlot, slot) << "moved by the upload's end only";
    EXPECT_EQ(image.ParamWords[46], 0x1234);
    EXPECT_EQ(image.ParamBytes[0], 95);
    EXPECT_EQ(image.ParamBytes[109], 90);
}

// A row opens its file by the name's bytes as the folder listed them, also
// when they are no UTF-8.
TEST_F(Flow, ARowLoadsByTheListedBytes) {
    const std::string gbkName = "\xC4\xA3\xCA\xBD";
    WriteMode(gbkName, 0x4711);
    flow.ListFolder();
    ASSERT_EQ(flow.ModeFiles(), std::vector<std::string>{gbkName});
    flow.LoadModeFile(0);
    EXPECT_EQ(Take(), (Log{kRefresh, Send(0x41, 0x80)}));
    EXPECT_EQ(image.ParamWords[46], 0x4711);
}

TEST_F(UploadToEquipment, RefusedRowsAndFilesChangeNothing) {
    struct Case {
        const char* what;
        bool toSlot;
        int row, slot;
        bool online;
        Log log;
    };
    const Case cases[] = {
        {"refused file", false, 0, 0, true, {Box(kLoadFail)}},
        {"refused file to a slot", true, 0, 2, true, {Box(kLoadFail)}},
        {"row past the list", false, 2, 0, true, {}},
        {"negative row", false, -1, 0, true, {}},
        {"row past the list to a slot", true, 2, 2, true, {}},
        {"slot 10", true, 1, 10, true, {}},
        {"slot -1", true, 1, -1, true, {}},
        {"to a slot offline", true, 1, 2, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connected = c.online;
        const ParamImage before = image;
        if (c.toSlot) {
            flow.LoadModeToSlot(c.row, c.slot);
        } else {
            flow.LoadModeFile(c.row);
        }
        EXPECT_EQ(Take(), c.log);
        EXPECT_TRUE(image == before);
    }
}

TEST_F(Flow, SaveWritesTheImageWithTheModeNameAndListsANewName) {
    flow.ListFolder();
    image.ParamWords[46] = 0x5150;
    EXPECT_TRUE(flow.SaveModeFile("Live", "Pop{~"));
    EXPECT_EQ(Take(), (Log{"listed:Live", Box(kSaveOk)}));
    EXPECT_EQ(std::string(image.CurrentModeName.data()), "Pop             ");
    EXPECT_EQ(flow.ModeFiles(), std::vector<std::string>{"Live"});
    EXPECT_EQ(image.ModeFileCount, 1);
    EXPECT_TRUE(flow.FolderHolds("Live"));

    ParamImage loaded;
    InitParamImage(loaded);
    ASSERT_TRUE(LoadPcModeFile(Folder(), "Live", loaded));
    EXPECT_EQ(loaded.ParamWords[46], 0x5150);
    EXPECT_EQ(std::string(loaded.CurrentModeName.data()), "Pop             ");

    // The same name again: the file is replaced, the list keeps one row.
    image.ParamWords[46] = 0x5151;
    image.Language = 1;
    EXPECT_TRUE(flow.SaveModeFile("Live", "Pop"));
    EXPECT_EQ(Take(), (Log{Box(" \t   存储成功 \t   ")}));
    EXPECT_EQ(flow.ModeFiles(), std::vector<std::string>{"Live"});
    ASSERT_TRUE(LoadPcModeFile(Folder(), "Live", loaded));
    EXPECT_EQ(loaded.ParamWords[46], 0x5151);
}

TEST_F(Flow, AFailedSaveListsNothingAndKeepsTheOldFile) {
    struct Case {
        const char* what;
        std::string name;
        int spoilInput;  // ParamBytes[6], the KTV input (1..10)
        std::string text;
        bool diskFull = false;  // the write fails after 100 bytes
    };
    const Case cases[] = {
        {"an entry that is no file", "folder", 1, kSaveFail},
        {"an image that would not load back", "Live", 0,
         " \t   Save fail\t   \nMain window: KTV audio input 0, outside 1 .. 10"},
        {"a name refused by the check", "..", 1, kSaveFail},
        {"the disk full while replacing", "Live", 1, kSaveFail, true},
        {"the disk full while writing a new name", "New", 1, kSaveFail, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        fs::remove_all(Folder());
        WriteMode("Live", 0x1000);
        fs::create_directories(Folder() / "folder");
        flow.ListFolder();
        const auto old = LoadWholeFile(Folder() / "Live", 1488);
        image.ParamBytes[6] = static_cast<std::uint8_t>(c.spoilInput);
        rlimit limit{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
        const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        if (c.diskFull) {
            rlimit small = limit;
            small.rlim_cur = 100;
            ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        const bool saved = flow.SaveModeFile(c.name, "x");
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, oldHandler);
        EXPECT_FALSE(saved);
        EXPECT_EQ(Take(), (Log{Box(c.text)}));
        EXPECT_EQ(flow.ModeFiles(), std::vector<std::string>{"Live"});
        EXPECT_EQ(image.ModeFileCount, 1);
        EXPECT_EQ(LoadWholeFile(Folder() / "Live", 1488), old);
        EXPECT_TRUE(fs::is_directory(Folder() / "folder"));
        std::vector<std::string> entries;
        for (const auto& entry : fs::directory_iterator(Folder()))
            entries.push_back(entry.path().filename().string());
        std::sort(entries.begin(), entries.end());
        EXPECT_EQ(entries, (std::vector<std::string>{"Live", "folder"}));
    }
}

// A value read from the unit that no file may hold: the save names it (its
// page, band, field, value and range) in the window's language and writes
// nothing, so the user can put it right and save again.
TEST_F(Flow, ASaveRefusedForAValueNamesItAndWritesNothing) {
    struct Case {
        std::function<void(ParamImage&)> spoil;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {[](ParamImage& i) { i.Mic1EqBands[2].q = 0; },
         "Mic 1 EQ band 3: Q 0.0, outside 0.4 .. 99.9",
         "话筒1均衡 第3段: Q值 0.0, 超出范围 0.4 .. 99.9"},
        {[](ParamImage& i) { i.MasterEqBands[0].gain = -255; },
         "Main EQ band 1: gain -25.5 dB, outside -24.0 dB .. 24.0 dB",
         "主声道均衡 第1段: 增益 -25.5 dB, 超出范围 -24.0 dB .. 24.0 dB"},
        {[](ParamImage& i) { i.EchoEqBands[1].frequency = 19; },
         "Echo EQ band 2: frequency 19 Hz, outside 20 Hz .. 20000 Hz",
         "回声均衡 第2段: 频率 19 Hz, 超出范围 20 Hz .. 20000 Hz"},
        {[](ParamImage& i) { i.ParamBytes[85] = 3; }, "Echo: Echo Type 3, outside 0 .. 2",
         "回声: 回声类型 3, 超出范围 0 .. 2"},
        {[](ParamImage& i) { i.ParamBytes[146] = 8; },
         "Subwoofer: HP Type (Cinema) 8, outside 0 .. 7",
         "超低音: 高通类型 (影院) 8, 超出范围 0 .. 7"},
        {[](ParamImage& i) { i.PowerOnMode = 11; }, "System: Power Mode 11, outside 0 .. 10",
         "系统: 上电模式 11, 超出范围 0 .. 10"},
    };
    for (const Case& c : cases) {
        for (const int language : {0, 1}) {
            SCOPED_TRACE(c.english);
            SetUp();
            fs::remove_all(Folder());
            flow.ListFolder();
            c.spoil(image);
            image.Language = language;
            EXPECT_FALSE(flow.SaveModeFile("New", "x"));
            const std::string failure = language == 0 ? kSaveFail : " \t   存储失败 \t   ";
            EXPECT_EQ(Take(), (Log{Box(failure + "\n" + (language == 0 ? c.english : c.chinese))}));
            EXPECT_TRUE(flow.ModeFiles().empty());
            EXPECT_FALSE(fs::exists(Folder() / "New"));
            if (fs::exists(Folder())) {
                EXPECT_TRUE(fs::is_empty(Folder()));
            }
        }
    }
}

TEST_F(Flow, TheHundredthNameIsTheLastListed) {
    fs::create_directories(Folder());
    for (int i = 0; i < 99; ++i) WriteMode("m" + std::to_string(100 + i), 1);
    flow.ListFolder();
    ASSERT_EQ(flow.ModeFiles().size(), 99u);
    EXPECT_TRUE(flow.SaveModeFile("z100", ""));
    EXPECT_EQ(Take(), (Log{"listed:z100", Box(kSaveOk)}));
    EXPECT_EQ(image.ModeFileCount, 100);
    EXPECT_TRUE(flow.SaveModeFile("z101", ""));
    EXPECT_EQ(Take(), (Log{Box(kSaveOk)}));
    EXPECT_EQ(flow.ModeFiles().size(), 100u);
    EXPECT_EQ(image.ModeFileCount, 100);
}

}  // namespace
