// PC mode files through the system page's PC Mode group, with the main
// window connected to the emulator: Save To PC checked against the file's
// layout worked out here, Upload To Equipment and a load into a slot as the
// records the unit stores, refused names and files, and a mass save that
// ends cleanly since the unit's step has no known frame.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "eq/my_btn.h"
#include "link/link_sequencer.h"
#include "link/param_block.h"
#include "platform/controls.h"
#include "support/connected_main.h"
#include "support/device_block_layout.h"
#include "support/modal_script.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"
#include "support/typing.h"
#include "system/dlg_sys.h"
#include "system/mass_save_dlg.h"

namespace {

namespace fs = std::filesystem;
using blocktest::Bytes;
using testsupport::Hex;

constexpr int kSystemPageButton = 1815;
constexpr const char* kSaveOk = " \t   Save OK\t\t  ";
constexpr const char* kSaveFail = " \t   Save fail\t   ";
constexpr const char* kLoadOk = " \t   Load OK\t\t  ";
constexpr const char* kLoadFail = " \t   Load fail\t   ";
constexpr const char* kLoadNotSent = " \t   Loaded, not sent: the unit's mode slot is invalid\t   ";
constexpr const char* kUploadRunning = "Not sent: an upload to the equipment is still running";
constexpr const char* kBlockReadDue = "Not sent: the equipment is sending its parameters";
constexpr const char* kLineFull = "Not sent: the equipment is busy, too many requests are waiting";

void Put16At(Bytes& f, std::size_t at, unsigned v) {
    f[at] = static_cast<std::uint8_t>(v & 0xFF);
    f[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

// A PC mode file as its layout says: tag, version, the byte and word areas,
// the nine band areas as 8-byte records, both flag words, the 16-byte name,
// the masks, the power-on mode, and the checksum over bytes 0, 2, 8..1468.
Bytes FileLayout(const ParamImage& i, const std::string& name) {
    Bytes f(1488, 0);
    f[0] = 34;
    f[2] = 2;
    for (int k = 0; k < 160; ++k) f[8 + k] = i.ParamBytes[k];
    for (int k = 0; k < 47; ++k) Put16At(f, 168 + 2 * k, i.ParamWords[k]);
    const std::pair<std::size_t, std::span<const EqBand>> areas[] = {
        {262, i.Mic1EqBands},       {398, i.Mic2EqBands},     {534, i.MusicEqBands},
        {670, i.MasterEqBands},     {862, i.SurroundEqBands}, {1054, i.CentreEqBands},
        {1198, i.SubwooferEqBands}, {1310, i.ReverbEqBands},  {1366, i.EchoEqBands}};
    for (const auto& [offset, bands] : areas) {
        for (std::size_t b = 0; b < bands.size(); ++b) {
            const std::size_t at = offset + 8 * b;
            f[at] = bands[b].slope;
            f[at + 1] = bands[b].type;
            Put16At(f, at + 2, bands[b].frequency);
            Put16At(f, at + 4, bands[b].q);
            Put16At(f, at + 6, static_cast<std::uint16_t>(bands[b].gain));
        }
    }
    for (int k = 0; k < 4; ++k) {
        f[1424 + k] = static_cast<std::uint8_t>(i.ParamFlags >> (8 * k));
        f[1428 + k] = static_cast<std::uint8_t>(i.CinemaParamFlags >> (8 * k));
    }
    std::string field = name;
    field.resize(16, ' ');
    std::copy(field.begin(), field.end(), f.begin() + 1432);
    for (int k = 0; k < 10; ++k) Put16At(f, 1448 + 2 * k, i.BandEnableMasks[k]);
    f[1468] = static_cast<std::uint8_t>(i.PowerOnMode & 0xFF);
    unsigned sum = f[0] + f[2];
    for (std::size_t k = 8; k <= 1468; ++k) sum += f[k];
    f[1485] = static_cast<std::uint8_t>(-sum & 0xFF);
    return f;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

Bytes BlockOf(const ParamImage& image) {
    Bytes block(kDeviceParamBlockSize);
    PackDeviceParamBlock(image, block.data());
    return block;
}

// A mode a file could hold: defaults with a few areas changed, low maxima.
ParamImage FileImage() {
    ParamImage image;
    InitParamImage(image);
    image.ParamBytes[4] = 40;    // music maximum
    image.ParamBytes[11] = 30;   // microphone maximum
    image.ParamBytes[149] = 20;  // cinema and auto music maximum
    image.ParamWords[3] = 1234;
    image.MusicEqBands[2] = EqBand{0, 1, 150, 12, -65};
    image.EchoEqBands[1].gain = 90;
    image.ParamFlags = 0x01020304;
    image.BandEnableMasks[2] = 0x00FF;
    image.PowerOnMode = 4;
    return image;
}

class PcModeFiles : public ::testing::Test {
protected:
    // The unit holds live volumes above the file's maxima.
    void Connect() {
        ParamImage unitImage;
        InitParamImage(unitImage);
        unitImage.ParamBytes[0] = 90;
        unitImage.ParamBytes[1] = 60;
        unitImage.ParamBytes[2] = 55;
        unit.Connect(BlockOf(unitImage));
        if (HasFatalFailure()) return;
        Dlg().show();
        Dlg().ControlAs<CMyBtn>(kSystemPageButton)->click();
        platform::MessageQueue::Drain();
        ASSERT_EQ(Dlg().CurrentPage(), kPageSys);
    }
    fs::path Folder() const { return fs::path(unit.folder.path().toStdString()); }
    void WriteFile(const std::string& name, const Bytes& bytes) {
        testsupport::WriteFileBytes(Folder() / name, bytes);
    }
    CQuavixDlg& Dlg() { return *unit.dlg; }
    CDlgSys& Sys() { return *static_cast<CDlgSys*>(Dlg().Page(kTableSys)); }
    QTreeWidget* List() { return Sys().ControlAs<QTreeWidget>(CDlgSys::kPcModeListId); }
    void Click(int id) { QTest::mouseClick(Sys().ControlAs<QPushButton>(id), Qt::LeftButton); }
    void Type(int editId, const std::string& text) {
        QLineEdit* edit = Sys().ControlAs<QLineEdit>(editId);
        edit->clear();
        edit->setFocus();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
    void ClickRow(int row) {
        QTreeWidget* list = List();
        list->scrollToItem(list->topLevelItem(row));
        const QRect at = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        for (int r = 0; r < List()->topLevelItemCount(); ++r) {
            const QTreeWidgetItem* item = List()->topLevelItem(r);
            rows.push_back((item->text(0) + " " + item->text(1)).toStdString());
        }
        return rows;
    }
    // What reached the unit since mark once things had time to settle.
    std::vector<emu::Command> Quiet(std::size_t mark) {
        platform::MessageQueue::Drain();
        linktest::RunFor(300);
        return unit.RequestsSince(mark);
    }

    // Counts the boxes shown while the panel held a file of FileImage()
    // (its word 3): a refused load must show its box on the panel as it was.
    void WatchForTheFile() {
        prompts.WhileShown([this](const testsupport::ScriptedPrompts::Shown&) {
            if (Dlg().Image().ParamWords[3] == FileImage().ParamWords[3]) ++fileInPanelAtABox_;
        });
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
    int fileInPanelAtABox_ = 0;
};

TEST_F(PcModeFiles, SaveToPcWritesTheImageAsTheFileLayout) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    Type(CDlgSys::kModeNameEditId, "Club Night");
    Type(CDlgSys::kPcNameEditId, "Club");
    const std::size_t mark = unit.Mark();
    Click(CDlgSys::kSaveToPcId);
    EXPECT_TRUE(Quiet(mark).empty()) << "a save sends nothing";
    ASSERT_EQ(prompts.Texts(), std::vector<std::string>{kSaveOk});
    EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
    EXPECT_EQ(Hex(ReadFile(Folder() / "Club")), Hex(FileLayout(Dlg().Image(), "Club Night")));
    EXPECT_EQ(Rows(), std::vector<std::string>{"1 Club"});
    EXPECT_EQ(Dlg().Image().ModeFileCount, 1);
}

// Checked when the message is handled: the name the click checked, not
// what the edit holds by then.
TEST_F(PcModeFiles, TheWriterWritesTheNameTheClickChecked) {
    ASSERT_NO_FATAL_FAILURE(Connect());
    Type(CDlgSys::kPcNameEditId, "First");
    Click(CDlgSys::kSaveToPcId);
    Sys().ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->setText("Sec/ond");
    platform::MessageQueue::Drain();
    EXPECT_TRUE(fs::exists(Folder() / "First"));
    EXPECT_EQ(Rows(), std::vector<std::string>{"1 First"});
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kSaveOk});
}

TEST_F(PcModeFiles, RefusedNamesWriteNothing) {
    struct Case {
        std::string name;
        const char* text;
    };
    const Case cases[] = {
        {"", "PC Name is empty "},
        {"a/b", "Invalid charater in PC Name"},
        {"a\\b", "Invalid charater in PC Name"},
        {"x:y", "Invalid charater in PC Name"},
        {"why?", "Invalid charater in PC Name"},
        {"*", "Invalid charater in PC Name"},
        {"<a>", "Invalid charater in PC Name"},
        {"a|b", "Invalid charater in PC Name"},
        {"\"q\"", "Invalid charater in PC Name"},
        {".", "Invalid charater in PC Name"},
        {"..", "Invalid charater in PC Name"},
        {"tab\there", "Invalid charater in PC Name"},
    };
    ASSERT_NO_FATAL_FAILURE(Connect());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.Clear();
        // Pasted: a tab cannot be typed into the edit.
        Sys().ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->setText(QString::fromStdString(c.name));
        Click(CDlgSys::kSaveToPcId);
        platform::MessageQueue::Drain();
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{c.text});
        if (!prompts.shown().empty()) {
            EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
            EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
        }
    }
    EXPECT_TRUE(fs::is_empty(Folder()));
    EXPECT_TRUE(Rows().empty());

    Dlg().OnChinese();
    platform::MessageQueue::Drain();
    prompts.Clear();
    Sys().ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->clear();
    Click(CDlgSys::kSaveToPcId);
    Sys().ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->setText("a?");
    Click(CDlgSys::kSaveToPcId);
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{"模式名称不能为空", "模式名称包含非法字符"}));
}

// The question comes whenever the folder holds the name, listed or not.
TEST_F(PcModeFiles, OverwriteIsAskedWhenTheFolderHoldsTheName) {
    struct Case {
        const char* what;
        const char* name;
        int answer;
        std::vector<std::string> texts;
        std::vector<std::string> rows;
        bool replaced;
        int language = 0;
    };
    const Case cases[] = {
        {"listed, yes", "Listed", IDYES, {"overwrite ?", kSaveOk}, {"1 Listed"}, true},
        {"listed, no", "Listed", IDNO, {"overwrite ?"}, {"1 Listed"}, false},
        {"written after the list was made, yes",
         "Later",
         IDYES,
         {"overwrite ?", kSaveOk},
         {"1 Listed", "2 Later"},
         true},
        {"a folder of that name, yes",
         "Folder",
         IDYES,
         {"overwrite ?", kSaveFail},
         {"1 Listed"},
         false},
        {"listed, yes, in Chinese",
         "Listed",
         IDYES,
         {"确定覆盖旧文件?", " \t   存储成功 \t   "},
         {"1 Listed"},
         true,
         1},
        {"a folder of that name, yes, in Chinese",
         "Folder",
         IDYES,
         {"确定覆盖旧文件?", " \t   存储失败 \t   "},
         {"1 Listed"},
         false,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::ScriptedPrompts scripted;
        testsupport::ConnectedMain fresh;
        const fs::path folder = fs::path(fresh.folder.path().toStdString());
        const Bytes old = FileLayout(FileImage(), "old");
        testsupport::WriteFileBytes(folder / "Listed", old);
        ParamImage unitImage;
        InitParamImage(unitImage);
        fresh.Connect(BlockOf(unitImage));
        if (HasFatalFailure()) return;
        fresh.dlg->show();
        if (c.language == 1) fresh.dlg->OnChinese();
        testsupport::WriteFileBytes(folder / "Later", old);
        fs::create_directory(folder / "Folder");
        fresh.dlg->ControlAs<CMyBtn>(kSystemPageButton)->click();
        platform::MessageQueue::Drain();
        auto& sys = *static_cast<CDlgSys*>(fresh.dlg->Page(kTableSys));
        sys.ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->setText(c.name);
        scripted.Answer(c.answer);
        QTest::mouseClick(sys.ControlAs<QPushButton>(CDlgSys::kSaveToPcId), Qt::LeftButton);
        platform::MessageQueue::Drain();
        EXPECT_EQ(scripted.Texts(), c.texts);
        ASSERT_FALSE(scripted.shown().empty());
        EXPECT_EQ(scripted.shown()[0].type, platform::MbType::YesNo);
        for (const auto& box : scripted.shown()) EXPECT_EQ(box.caption, kAppTitle) << box.text;
        auto* list = sys.ControlAs<QTreeWidget>(CDlgSys::kPcModeListId);
        std::vector<std::string> rows;
        for (int r = 0; r < list->topLevelItemCount(); ++r)
            rows.push_back((list->topLevelItem(r)->text(0) + " " + list->topLevelItem(r)->text(1))
                               .toStdString());
        EXPECT_EQ(rows, c.rows);
        if (fs::is_regular_file(folder / c.name)) {
            EXPECT_EQ(ReadFile(folder / c.name) != old, c.replaced);
        }
        EXPECT_TRUE(fs::is_directory(folder / "Folder"));
    }
}

TEST_F(PcModeFiles, AHundredRowsTakeNoMore) {
    const Bytes file = FileLayout(FileImage(), "m");
    for (int i = 0; i < 100; ++i) WriteFile("m" + std::to_string(100 + i), file);
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_EQ(List()->topLevelItemCount(), 100);
    for (const char* name : {"New", "m100"}) {
        Sys().ControlAs<QLineEdit>(CDlgSys::kPcNameEditId)->setText(name);
        Click(CDlgSys::kSaveToPcId);
        platform::MessageQueue::Drain();
    }
    EXPECT_TRUE(prompts.shown().empty());
    EXPECT_FALSE(fs::exists(Folder() / "New"));
    EXPECT_EQ(ReadFile(Folder() / "m100"), file);
}

TEST_F(PcModeFiles, UploadToEquipmentStoresTheFileAsAPcModeOfTheCurrentSlot) {
    const ParamImage file = FileImage();
    WriteFile("Alpha", FileLayout(FileImage(), "unused"));
    WriteFile("Stage", FileLayout(file, "Stage Name"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    const int slot = Dlg().Image().CurrentModeSlot;
    const int live109 = Dlg().Image().ParamBytes[109];
    const std::size_t mark = unit.Mark();
    Click(CDlgSys::kUploadToEquipmentId);  // no row picked: nothing
    EXPECT_TRUE(Quiet(mark).empty());
    EXPECT_TRUE(prompts.shown().empty());

    ClickRow(1);
    EXPECT_EQ(Sys().ItemText(CDlgSys::kPcNameEditId), "Stage");
    Click(CDlgSys::kUploadToEquipmentId);
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(slot).has_value(); }, 10000));
    Quiet(mark);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadOk});
    EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
    EXPECT_TRUE(unit.device.UploadErrors().empty());

    // The file's areas, with the live volumes as they were, capped by the
    // file's maxima (effect has none).
    ParamImage expected = file;
    std::string name = "Stage Name";
    name.resize(16, ' ');
    std::copy(name.begin(), name.end(), expected.CurrentModeName.begin());
    expected.ParamBytes[0] = 40;
    expected.ParamBytes[1] = 30;
    expected.ParamBytes[2] = 55;
    expected.ParamBytes[109] = static_cast<std::uint8_t>(std::min(live109, 20));
    const std::optional<emu::StoredMode> stored = unit.device.Mode(slot);
    EXPECT_TRUE(stored->fromFile);
    EXPECT_EQ(stored->powerOnMode, 4);
    EXPECT_EQ(Hex(stored->record), Hex(blocktest::ModeRecordFromImage(expected)));
    // The pages show the loaded file.
    EXPECT_EQ(Dlg().ItemText(1076), "40");
    EXPECT_EQ(Sys().ItemText(CDlgSys::kModeNameEditId), "Stage Name");
}

// The unit reports a power-on mode no upload may carry; the file brings
// its own, so Upload To Equipment stores it with the file's.
TEST_F(PcModeFiles, AUnitPowerOnModeOutOfRangeGivesWayToTheFiles) {
    WriteFile("Stage", FileLayout(FileImage(), "Stage Name"));
    emu::HeaderState header;
    header.powerOnMode = 11;
    unit.device.SetHeader(header);
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_EQ(Dlg().Image().PowerOnMode, 11);
    const int slot = Dlg().Image().CurrentModeSlot;
    ClickRow(0);
    Click(CDlgSys::kUploadToEquipmentId);
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(slot).has_value(); }, 10000));
    linktest::RunFor(300);
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadOk});
    EXPECT_EQ(unit.device.Mode(slot)->powerOnMode, FileImage().PowerOnMode);
    EXPECT_TRUE(unit.device.UploadErrors().empty());
}

TEST_F(PcModeFiles, ALoadToASlotKeepsTheLiveVolumes) {
    const ParamImage file = FileImage();
    WriteFile("Stage", FileLayout(file, "Stage Name"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    const ParamImage before = Dlg().Image();
    Dlg().PostMessage(WM_LOAD_MODE_TO_SLOT, 0, 7);  // no window of ours posts it
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(7).has_value(); }, 10000));
    linktest::RunFor(300);
    EXPECT_TRUE(prompts.shown().empty());
    ParamImage expected = file;
    std::string name = "Stage Name";
    name.resize(16, ' ');
    std::copy(name.begin(), name.end(), expected.CurrentModeName.begin());
    for (int b : {0, 1, 2, 109}) expected.ParamBytes[b] = before.ParamBytes[b];
    EXPECT_FALSE(unit.device.Mode(7)->fromFile);
    EXPECT_EQ(Hex(unit.device.Mode(7)->record), Hex(blocktest::ModeRecordFromImage(expected)));
    EXPECT_EQ(Dlg().Image().CurrentModeSlot, 7);
}

// The connect sequence's block read is about to replace the image: a load
// arriving meanwhile (the busy box up), while the link still connects or
// while the block comes in, is not made; each says why nothing was sent.
TEST_F(PcModeFiles, DuringTheConnectSequenceALoadIsRefused) {
    WriteFile("Stage", FileLayout(FileImage(), "Stage Name"));
    platform::WriteSettingInt(kLangSettingName, 0);
    unit.device.SetBlock(testsupport::DefaultsBlock());
    emu::Knobs slow;
    slow.delayTicks = 5;  // 100 ms a reply: the block read takes seconds
    unit.device.SetKnobs(slow);
    ASSERT_TRUE(unit.server.Listen());
    unit.dlg = testsupport::StartMainOnEmulator(unit.folder, unit.server);
    Dlg().show();
    WatchForTheFile();
    bool postedConnecting = false;
    bool postedReading = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const LinkSequencer& link = Dlg().Link().Sequencer();
        if (!postedConnecting && (link.LinkState() == LinkSequencer::kConnecting ||
                                  link.LinkState() == LinkSequencer::kHeaderRequested)) {
            postedConnecting = true;
            Dlg().PostMessage(WM_LOAD_MODE_FILE, 0, 0);
        }
        if (!postedReading && link.LinkState() == LinkSequencer::kConnected &&
            link.BlockRead().InProgress()) {
            postedReading = true;
            Dlg().PostMessage(WM_LOAD_MODE_FILE, 0, 0);
            Dlg().PostMessage(WM_LOAD_MODE_TO_SLOT, 0, 5);
        }
    });
    poll.start();
    Dlg().ControlAs<CMyBtn>(1818)->click();  // WIFI
    Dlg().ControlAs<CMyBtn>(1001)->click();  // Connect
    ASSERT_TRUE(linktest::WaitFor([&] { return Dlg().ItemText(1002) == "OK"; }, 20000))
        << Dlg().ItemText(1002);
    poll.stop();
    linktest::RunFor(300);
    ASSERT_TRUE(postedConnecting);
    ASSERT_TRUE(postedReading);
    EXPECT_EQ(prompts.Texts(),
              (std::vector<std::string>{kBlockReadDue, kBlockReadDue, kBlockReadDue}));
    for (const auto& box : prompts.shown()) EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(fileInPanelAtABox_, 0);
    EXPECT_EQ(unit.device.CountOf(0x41), 0);
    EXPECT_EQ(unit.device.CountOf(0x42), 0);
    for (int slot = 0; slot < 10; ++slot) EXPECT_FALSE(unit.device.Mode(slot).has_value()) << slot;
    EXPECT_EQ(Dlg().Link().LinkState(), LinkSequencer::kConnected);
    EXPECT_FALSE(Dlg().WaitBoxOpen());
    blocktest::ExpectImageHoldsBlock(Dlg().Image(), unit.device.Block());
}

// "Reset all OK", and the user uploads a file while the unit's block comes
// back: the file would be wiped from the panel by the block, so it is not
// loaded and not sent, and the box says why.
TEST_F(PcModeFiles, UploadToEquipmentDuringTheBlockReadAfterAResetLoadsNothing) {
    WriteFile("Stage", FileLayout(FileImage(), "Stage Name"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ClickRow(0);
    emu::Knobs slow = unit.device.GetKnobs();
    slow.delayTicks = 5;
    unit.device.SetKnobs(slow);
    WatchForTheFile();
    const int blockReads = unit.device.CountOf(0x40);
    bool clicked = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (clicked || !Dlg().Link().Sequencer().BlockRead().InProgress()) return;
        clicked = true;
        Click(CDlgSys::kUploadToEquipmentId);
    });
    poll.start();
    prompts.Answer(IDOK);
    Click(CDlgSys::kResetId);
    ASSERT_TRUE(linktest::WaitFor(
        [&] {
            return clicked && !Dlg().Link().Sequencer().BlockReadDue() &&
                   unit.device.CountOf(0x40) > blockReads;
        },
        20000));
    poll.stop();
    linktest::RunFor(300);
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{
                                   "Reset all ?", "        Reset all OK        ", kBlockReadDue}));
    EXPECT_EQ(fileInPanelAtABox_, 0);
    EXPECT_EQ(unit.device.CountOf(0x41), 0);
    for (int slot = 0; slot < 10; ++slot) EXPECT_FALSE(unit.device.Mode(slot).has_value()) << slot;
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
    EXPECT_FALSE(Dlg().WaitBoxOpen());
    blocktest::ExpectImageHoldsBlock(Dlg().Image(), unit.device.Block());
    EXPECT_NE(Sys().ItemText(CDlgSys::kModeNameEditId), "Stage Name");
}

// A unit answering late, and as many requests waiting for it as the link
// keeps, whether they were there before Upload To Equipment was clicked or
// came between the load and the start it posts: the start is not taken, so
// the panel keeps nothing of the file (it is back as it was before any box
// shows) and one box says it was not sent, in place of "Load OK". What
// waited goes out; no frame of the upload follows.
class PcModeFilesLineFull : public PcModeFiles, public ::testing::WithParamInterface<bool> {};

TEST_P(PcModeFilesLineFull, UploadToEquipmentLoadsNothing) {
    const bool fullBeforeTheClick = GetParam();
    WriteFile("Stage", FileLayout(FileImage(), "Stage Name"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ClickRow(0);
    WatchForTheFile();
    const ParamImage before = Dlg().Image();
    const std::string musicMax = Dlg().ItemText(1076);
    const std::size_t mark = unit.Mark();
    unit.Hold(25);
    if (fullBeforeTheClick) {
        ASSERT_NO_FATAL_FAILURE(unit.FillTheLine());
        Click(CDlgSys::kUploadToEquipmentId);
    } else {
        Click(CDlgSys::kUploadToEquipmentId);
        // Behind the load, ahead of the start it posts.
        for (std::size_t n = 0; n <= LinkSequencer::kWaitingLimit; ++n)
            Dlg().PostMessage(WM_SEND_COMMAND, CMD_TEST_SIGNAL, 0);
    }
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLineFull});
    for (const auto& box : prompts.shown()) EXPECT_EQ(box.caption, kAppTitle);
    EXPECT_EQ(fileInPanelAtABox_, 0);
    EXPECT_TRUE(blocktest::SameImage(Dlg().Image(), before));

    unit.Hold(0);
    const LinkSequencer& link = Dlg().Link().Sequencer();
    ASSERT_TRUE(
        linktest::WaitFor([&] { return !link.ReplyPending() && link.Waiting() == 0; }, 20000));
    for (const emu::Command& c : Quiet(mark)) EXPECT_EQ(c.code, CMD_TEST_SIGNAL);
    EXPECT_EQ(unit.device.CountOf(0x41), 0);
    for (int slot = 0; slot < 10; ++slot) EXPECT_FALSE(unit.device.Mode(slot).has_value()) << slot;
    EXPECT_EQ(Dlg().Image().ParamWords[3], before.ParamWords[3]);
    EXPECT_EQ(Dlg().ItemText(1076), musicMax);
    EXPECT_NE(Sys().ItemText(CDlgSys::kModeNameEditId), "Stage Name");
    EXPECT_EQ(prompts.shown().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Upload, PcModeFilesLineFull, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "FullAtTheClick" : "FilledBeforeItsStart";
                         });

// A file that fails any check changes neither the image nor the unit.
TEST_F(PcModeFiles, RefusedFilesChangeNeitherImageNorUnit) {
    Bytes badChecksum = FileLayout(FileImage(), "x");
    badChecksum[300] ^= 0x01;
    ParamImage wide = FileImage();
    wide.MusicEqBands[0].q = 1000;
    ParamImage noInput = FileImage();
    noInput.ParamBytes[6] = 0;
    Bytes badTag = FileLayout(FileImage(), "x");
    badTag[0] = 35;
    badTag[1485] = static_cast<std::uint8_t>(badTag[1485] - 1);
    WriteFile("1 checksum", badChecksum);
    WriteFile("2 band Q", FileLayout(wide, "x"));
    WriteFile("3 input 0", FileLayout(noInput, "x"));
    WriteFile("4 tag", badTag);
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_EQ(List()->topLevelItemCount(), 4);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        prompts.Clear();
        const ParamImage before = Dlg().Image();
        const std::size_t mark = unit.Mark();
        ClickRow(row);
        Click(CDlgSys::kUploadToEquipmentId);
        EXPECT_TRUE(Quiet(mark).empty());
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadFail});
        if (!prompts.shown().empty()) {
            EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
        }
        EXPECT_TRUE(blocktest::SameImage(Dlg().Image(), before));
    }
}

// Offline the file is loaded and shown; nothing goes anywhere.
TEST(PcModeFilesOffline, UploadToEquipmentLoadsTheFile) {
    testsupport::ScriptedPrompts prompts;
    testsupport::TempFolder folder;
    testsupport::WriteFileBytes(folder / "Stage", FileLayout(FileImage(), "Stage Name"));
    platform::WriteSettingInt(kLangSettingName, 0);
    LinkConfig link;  // never connected: nobody presses Connect here
    link.tcpAddress = "127.0.0.1";
    link.tcpPort = 9;
    CQuavixDlg dlg(folder.Path().string(), link);
    dlg.OnInitDialog();
    dlg.show();
    platform::MessageQueue::Drain();
    dlg.Image().ParamBytes[0] = 90;
    auto& sys = *static_cast<CDlgSys*>(dlg.Page(kTableSys));
    dlg.ControlAs<CMyBtn>(kSystemPageButton)->click();
    platform::MessageQueue::Drain();
    auto* list = sys.ControlAs<QTreeWidget>(CDlgSys::kPcModeListId);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(0)).center());
    QTest::mouseClick(sys.ControlAs<QPushButton>(CDlgSys::kUploadToEquipmentId), Qt::LeftButton);
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadOk});
    EXPECT_EQ(dlg.Image().ParamWords[3], 1234);
    EXPECT_EQ(dlg.Image().ParamBytes[0], 40);
    EXPECT_EQ(dlg.ItemText(1076), "40");
}

// The unit's current slot comes from its header unchecked. One outside its
// user modes goes into no frame: Upload To Equipment keeps the file in the
// panel and says it sent nothing; Reset All selects slot 0 again, so its
// sequence still ends with the block read and the flag cleared.
struct ReportedSlot {
    int slot;
    bool userMode;
};
void PrintTo(const ReportedSlot& c, std::ostream* os) { *os << "slot " << c.slot; }

class PcModeReportedSlot : public PcModeFiles, public ::testing::WithParamInterface<ReportedSlot> {
protected:
    void ConnectReporting() {
        unit.device.SetCurrentSlot(GetParam().slot);
        ASSERT_NO_FATAL_FAILURE(Connect());
        ASSERT_EQ(Dlg().Image().CurrentModeSlot, GetParam().slot);
    }
    static std::vector<std::uint8_t> Codes(const std::vector<emu::Command>& sent) {
        std::vector<std::uint8_t> codes;
        for (const emu::Command& c : sent) codes.push_back(c.code);
        return codes;
    }
};

TEST_P(PcModeReportedSlot, UploadToEquipmentSendsOnlyToAUserMode) {
    const ReportedSlot c = GetParam();
    WriteFile("Stage", FileLayout(FileImage(), "Stage Name"));
    ASSERT_NO_FATAL_FAILURE(ConnectReporting());
    const std::size_t mark = unit.Mark();
    ClickRow(0);
    Click(CDlgSys::kUploadToEquipmentId);
    if (c.userMode) {
        ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(c.slot).has_value(); }, 10000));
    }
    const std::vector<emu::Command> sent = Quiet(mark);
    if (c.userMode) {
        ASSERT_EQ(sent.size(), 17u) << Hex(Codes(sent));
        EXPECT_EQ(sent.front().code, 0x41);
        EXPECT_EQ(sent.back().code, 0x43);
        EXPECT_EQ(sent.back().data.at(0), c.slot | 0x80);
        EXPECT_TRUE(unit.device.Mode(c.slot)->fromFile);
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadOk});
    } else {
        EXPECT_TRUE(sent.empty()) << Hex(Codes(sent));
        for (int slot = 0; slot < 10; ++slot) EXPECT_FALSE(unit.device.Mode(slot).has_value());
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kLoadNotSent});
    }
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    // Either way the panel holds the file.
    EXPECT_EQ(Dlg().Image().ParamWords[3], 1234);
    EXPECT_EQ(Sys().ItemText(CDlgSys::kModeNameEditId), "Stage Name");
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
}

TEST_P(PcModeReportedSlot, ResetAllSelectsTheSlotOrZeroAndEndsWithTheBlockRead) {
    const ReportedSlot c = GetParam();
    const int selected = c.userMode ? c.slot : 0;
    ASSERT_NO_FATAL_FAILURE(ConnectReporting());
    const std::size_t mark = unit.Mark();
    const int blockReads = unit.device.CountOf(0x40);
    prompts.Answer(IDOK);
    Click(CDlgSys::kResetId);
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.CountOf(0x40) > blockReads; }, 10000));
    const std::vector<emu::Command> sent = Quiet(mark);
    ASSERT_GE(sent.size(), 4u) << Hex(Codes(sent));
    EXPECT_EQ(Codes({sent.begin(), sent.begin() + 4}),
              (std::vector<std::uint8_t>{0x14, 0x01, 0x3F, 0x40}));
    EXPECT_EQ(sent[1].data.at(0), selected);
    EXPECT_EQ(unit.device.CountOf(0x01), 1);
    ASSERT_EQ(prompts.Texts().size(), 2u);  // the question, then the result
    EXPECT_EQ(prompts.Texts()[1], "        Reset all OK        ");
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
    // The block read back names the slot the unit now is in.
    EXPECT_EQ(Dlg().Image().CurrentModeSlot, selected);
    EXPECT_EQ(Dlg().Link().LinkState(), LinkSequencer::kConnected);
}

INSTANTIATE_TEST_SUITE_P(Slots, PcModeReportedSlot,
                         ::testing::Values(ReportedSlot{0, true}, ReportedSlot{9, true},
                                           ReportedSlot{10, false}, ReportedSlot{31, false},
                                           ReportedSlot{32, false}, ReportedSlot{41, false},
                                           ReportedSlot{255, false}),
                         [](const auto& info) { return "Slot" + std::to_string(info.param.slot); });

// The main window offline on a folder of the test's own.
class PcModeListOffline : public ::testing::Test {
protected:
    void Start() {
        platform::WriteSettingInt(kLangSettingName, 0);
        LinkConfig link;  // never connected: nobody presses Connect here
        link.tcpAddress = "127.0.0.1";
        link.tcpPort = 9;
        dlg = std::make_unique<CQuavixDlg>(folder.Path().string(), link);
        dlg->OnInitDialog();
        dlg->show();
        dlg->ControlAs<CMyBtn>(kSystemPageButton)->click();
        platform::MessageQueue::Drain();
    }
    CDlgSys& Sys() { return *static_cast<CDlgSys*>(dlg->Page(kTableSys)); }
    QTreeWidget* List() { return Sys().ControlAs<QTreeWidget>(CDlgSys::kPcModeListId); }
    void ClickRow(int row) {
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                          List()->visualItemRect(List()->topLevelItem(row)).center());
    }
    void Type(int editId, const QString& text) {
        QLineEdit* edit = Sys().ControlAs<QLineEdit>(editId);
        edit->clear();
        edit->setFocus();
        testsupport::TypeText(edit, text);
    }
    void SaveToPc() {
        QTest::mouseClick(Sys().ControlAs<QPushButton>(CDlgSys::kSaveToPcId), Qt::LeftButton);
        platform::MessageQueue::Drain();
    }
    std::vector<std::string> FolderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::TempFolder folder;
    std::unique_ptr<CQuavixDlg> dlg;
};

// File names as a Windows PC or another system leaves them in the folder:
// GBK, where a character's second byte may be '\' or '|', and bytes that
// are neither UTF-8 nor GBK, shown with a '?' in their place.
struct ForeignName {
    const char* what;
    std::string bytes;
    std::string shown;
};
const ForeignName kForeignNames[] = {
    {"GBK", "\xD6\xD0\xCE\xC4", "中文"},
    {"GBK, a second byte '\\'", "\x8A\x5C", "奬"},
    {"GBK, a second byte '|'", "\x83\x7Cx", "億x"},
    {"neither UTF-8 nor GBK", "mix\xFF", "mix?"},
    {"neither, two bad bytes", "\xFF\xFEok", "??ok"},
};

class PcModeForeignNames : public PcModeListOffline {
protected:
    void SetUp() override {
        for (const ForeignName& name : kForeignNames)
            testsupport::WriteFileBytes(folder / name.bytes, old);
        testsupport::WriteFileBytes(folder / "alpha", old);
    }
    int RowShowing(const std::string& text) {
        for (int r = 0; r < List()->topLevelItemCount(); ++r)
            if (List()->topLevelItem(r)->text(1).toStdString() == text) return r;
        ADD_FAILURE() << "no row shows " << text;
        return 0;
    }
    const Bytes old = FileLayout(FileImage(), "old");
};

TEST_F(PcModeForeignNames, RowsShowGbkNamesAndAQuestionMarkForBytesNeitherReads) {
    Start();
    std::vector<std::string> rows, expected{"alpha"};
    for (int r = 0; r < List()->topLevelItemCount(); ++r)
        rows.push_back(List()->topLevelItem(r)->text(1).toStdString());
    for (const ForeignName& name : kForeignNames) expected.push_back(name.shown);
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rows, expected);
}

// The click names the row's own file: Save To PC writes that file, not a new
// one under the shown text, and lists no new row.
TEST_F(PcModeForeignNames, AClickOnTheRowAndSaveToPcGoOverItsFile) {
    Start();
    const std::vector<std::string> files = FolderNames();
    int word = 4000;
    for (const ForeignName& name : kForeignNames) {
        SCOPED_TRACE(name.what);
        ClickRow(RowShowing(name.shown));
        EXPECT_EQ(Sys().ItemText(CDlgSys::kPcNameEditId), name.shown);
        dlg->Image().ParamWords[3] = static_cast<std::uint16_t>(++word);
        prompts.Clear();
        prompts.Answer(IDYES);
        SaveToPc();
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"overwrite ?", kSaveOk}));
        EXPECT_TRUE(ReadFile(folder / name.bytes) == FileLayout(dlg->Image(), Sys().ModeNameText()))
            << "the file is not the panel's image";
        EXPECT_EQ(FolderNames(), files);
        EXPECT_EQ(List()->topLevelItemCount(), static_cast<int>(std::size(kForeignNames)) + 1);
    }
}

// A '?' typed is a character the name cannot hold, whatever a row shows; a
// clicked name changed is checked as typed; a listed name that really holds
// a '\' is refused as one typed.
TEST_F(PcModeForeignNames, TypedOrRealBadCharactersAreStillRefused) {
    testsupport::WriteFileBytes(folder / "back\\slash", old);
    testsupport::WriteFileBytes(folder / "\x8A\x5C\xFF", old);  // no GBK, shown "?\?"
    Start();
    const struct {
        const char* what;
        std::string clickRow;  // "" for none
        QString typed;         // "" keeps the clicked text
    } cases[] = {
        {"typed as the row shows it", "", "mix?"},
        {"typed over another row's click", "alpha", "mix?"},
        {"the clicked name changed", "mix?", "mix?2"},
        {"a name with a real '\\'", "back\\slash", ""},
        {"a '\\' after bytes neither reads", "?\\?", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.clickRow.empty()) ClickRow(RowShowing(c.clickRow));
        if (!c.typed.isEmpty()) Type(CDlgSys::kPcNameEditId, c.typed);
        prompts.Clear();
        SaveToPc();
        EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"Invalid charater in PC Name"});
    }
    for (const std::string& name : FolderNames()) EXPECT_EQ(ReadFile(folder / name), old) << name;
}

// The mode name goes into the file as GBK bytes, each outside the unit's
// range a blank: a Chinese character is two.
TEST_F(PcModeListOffline, SaveToPcCountsTheModeNameInGbkBytes) {
    Start();
    Type(CDlgSys::kModeNameEditId, QString::fromUtf8("中文x"));
    Type(CDlgSys::kPcNameEditId, "Cn");
    SaveToPc();
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{kSaveOk});
    const Bytes saved = ReadFile(folder / "Cn");
    ASSERT_EQ(saved.size(), 1488u);
    EXPECT_EQ(std::string(saved.begin() + 1432, saved.begin() + 1448), "    x           ");
}

// Rows as a report list with grid lines: a line under each row and after
// each column, and none across a cell.
TEST_F(PcModeListOffline, TheListDrawsGridLines) {
    testsupport::WriteFileBytes(folder / "A", FileLayout(FileImage(), "A"));
    testsupport::WriteFileBytes(folder / "B", FileLayout(FileImage(), "B"));
    Start();
    QTreeWidget* list = List();
    const QImage shot = list->viewport()->grab().toImage();
    const QRect number = list->visualRect(list->model()->index(0, 0));
    const QRect name = list->visualRect(list->model()->index(0, 1));
    const QRgb grid = 0xFF000000 | platform::kGridLineRgb;
    EXPECT_EQ(shot.pixel(name.center().x(), name.bottom()), grid);
    EXPECT_EQ(shot.pixel(number.right(), number.center().y()), grid);
    EXPECT_EQ(shot.pixel(name.right(), name.center().y()), grid);
    EXPECT_NE(shot.pixel(name.left() + 2, name.top() + 1), grid);
}

class PcModeMassSave : public PcModeFiles {
protected:
    // Opens the picker with the hidden button as the program would, runs
    // script in it, then closes it.
    void RunPicker(const std::function<void(CMassSaveDlg&)>& script) {
        const auto ran = testsupport::WhenModal<CMassSaveDlg>(script);
        Sys().ControlAs<QPushButton>(CDlgSys::kMassSaveId)->click();
        EXPECT_TRUE(*ran);
        platform::MessageQueue::Drain();
    }
    static void PickerClick(CMassSaveDlg& d, int id) {
        QTest::mouseClick(d.ControlAs<QPushButton>(id), Qt::LeftButton);
        platform::MessageQueue::Drain();
    }
};

TEST_F(PcModeMassSave, EndsCleanlyWithoutAStepFrameAndAResetAllRunsAfter) {
    WriteFile("A", FileLayout(FileImage(), "A"));
    WriteFile("B", FileLayout(FileImage(), "B"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_TRUE(Sys().Control(CDlgSys::kMassSaveId)->isHidden());
    ASSERT_EQ(Dlg().Image().AdminMode, 1);
    const ParamImage before = Dlg().Image();
    const std::size_t mark = unit.Mark();
    RunPicker([&](CMassSaveDlg& d) {
        PickerClick(d, CMassSaveDlg::kAddAllId);
        PickerClick(d, CMassSaveDlg::kMassSaveId);
    });
    EXPECT_EQ(Sys().MassSaveNames(), (MassSaveList{"A", "B"}));
    EXPECT_TRUE(Quiet(mark).empty());
    EXPECT_EQ(unit.device.CountOf(0x16), 0);
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
    EXPECT_FALSE(Dlg().WaitBoxOpen());
    EXPECT_TRUE(blocktest::SameImage(Dlg().Image(), before));
    EXPECT_TRUE(prompts.shown().empty());

    // Nothing of the chain is left in the way of the next sequence.
    prompts.Answer(IDOK);
    const int blockReads = unit.device.CountOf(0x40);
    Click(1311);  // Reset All Settings
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.CountOf(0x40) > blockReads; }, 10000));
    linktest::RunFor(300);
    EXPECT_EQ(unit.device.CountOf(0x14), 1);
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
}

// A second load while an upload runs, by Upload To Equipment or a mass
// save: the panel stays as it was, one box says why, no chain starts, and
// the first upload reaches the unit whole and alone.
enum class SecondLoad { kUploadToEquipment, kMassSave };
struct SecondLoadCase {
    const char* name;
    SecondLoad how;
};
void PrintTo(const SecondLoadCase& c, std::ostream* os) { *os << c.name; }

class PcModeWhileUploading : public PcModeMassSave,
                             public ::testing::WithParamInterface<SecondLoadCase> {};

TEST_P(PcModeWhileUploading, ASecondLoadIsRefusedAndTheFirstUploadGoesWhole) {
    ParamImage second = FileImage();
    second.ParamWords[3] = 4321;
    second.MusicEqBands[2].gain = 55;
    WriteFile("First", FileLayout(FileImage(), "First Name"));
    WriteFile("Second", FileLayout(second, "Second Name"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    const int slot = Dlg().Image().CurrentModeSlot;
    emu::Knobs slow = unit.device.GetKnobs();
    slow.delayTicks = 5;  // 100 ms a reply: the upload takes seconds
    unit.device.SetKnobs(slow);
    const std::size_t mark = unit.Mark();
    ClickRow(0);
    Click(CDlgSys::kUploadToEquipmentId);
    platform::MessageQueue::Drain();
    ASSERT_TRUE(Dlg().Link().Sequencer().UploadUnderWay());
    ASSERT_EQ(prompts.Texts(), std::vector<std::string>{kLoadOk});
    const ParamImage before = Dlg().Image();

    switch (GetParam().how) {
        case SecondLoad::kUploadToEquipment:
            ClickRow(1);
            Click(CDlgSys::kUploadToEquipmentId);
            break;
        case SecondLoad::kMassSave:
            RunPicker([&](CMassSaveDlg& d) {
                PickerClick(d, CMassSaveDlg::kAddAllId);
                PickerClick(d, CMassSaveDlg::kMassSaveId);
            });
            break;
    }
    platform::MessageQueue::Drain();
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kLoadOk, kUploadRunning}));
    ASSERT_EQ(prompts.shown().size(), 2u);
    EXPECT_EQ(prompts.shown()[1].caption, kAppTitle);
    EXPECT_TRUE(blocktest::SameImage(Dlg().Image(), before));
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
    EXPECT_FALSE(Dlg().WaitBoxOpen());

    ASSERT_TRUE(linktest::WaitFor([&] { return unit.device.Mode(slot).has_value(); }, 10000));
    const std::vector<emu::Command> sent = Quiet(mark);
    std::vector<std::uint8_t> codes;
    for (const emu::Command& c : sent) codes.push_back(c.code);
    std::vector<std::uint8_t> expected{0x41};
    expected.insert(expected.end(), 15, 0x42);
    expected.push_back(0x43);
    EXPECT_EQ(Hex(codes), Hex(expected));
    EXPECT_TRUE(unit.device.UploadErrors().empty());
    EXPECT_TRUE(unit.device.Mode(slot)->fromFile);
    EXPECT_EQ(Dlg().Image().ParamWords[3], 1234);
    EXPECT_EQ(Hex(unit.device.Mode(slot)->record),
              Hex(blocktest::ModeRecordFromImage(Dlg().Image())));
    EXPECT_EQ(prompts.shown().size(), 2u);
}
INSTANTIATE_TEST_SUITE_P(Loads, PcModeWhileUploading,
                         ::testing::Values(SecondLoadCase{"UploadToEquipment",
                                                          SecondLoad::kUploadToEquipment},
                                           SecondLoadCase{"MassSave", SecondLoad::kMassSave}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PcModeMassSave, NeedsAdminModeOne) {
    WriteFile("A", FileLayout(FileImage(), "A"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    Dlg().Image().AdminModeConfirmed = 2;
    RunPicker([&](CMassSaveDlg& d) {
        PickerClick(d, CMassSaveDlg::kAddAllId);
        PickerClick(d, CMassSaveDlg::kMassSaveId);
    });
    EXPECT_EQ(prompts.Texts(), std::vector<std::string>{"must be in admin mode"});
    EXPECT_EQ(prompts.shown()[0].caption, kAppTitle);
    EXPECT_EQ(Dlg().Results().DeviceSequenceActive, 0);
}

}  // namespace
