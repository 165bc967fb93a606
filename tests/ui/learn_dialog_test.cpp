// The learn dialog on its own, run modally and driven inside its loop as a
// user would: captions, the codes it shows, the baud rate, the slot buttons,
// Clear all, and the learn table files through the file dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "eq/my_btn.h"
#include "link/command_codes.h"
#include "model/file_io.h"
#include "model/ui_text.h"
#include "support/learn_table_layout.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"
#include "system/dlg_learn.h"
#include "system/dlg_query.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kSaved = " \t   存储成功 \t   ";
const std::string kSaveFailed = " \t   存储失败 \t   ";
const std::string kLoadFailed = " \t   加载失败 \t  ";

// The main window as the dialog sees it: what it posts, in order.
class Owner : public platform::Window {
public:
    Owner() {
        for (unsigned msg : {WM_LEARN_ITEM, WM_SEND_COMMAND})
            MapMessage(msg, [this, msg](WPARAM w, LPARAM l) -> LRESULT {
                posted.push_back({msg, w, l});
                return 0;
            });
    }
    struct Posted {
        unsigned msg;
        WPARAM w;
        LPARAM l;
        bool operator==(const Posted&) const = default;
    };
    std::vector<Posted> posted;
};

Bytes TableFile(const testsupport::LearnTableCodes& codes, int baudIndex) {
    return testsupport::LearnTableFileBytes(codes, baudIndex);
}

class LearnDialog : public ::testing::Test {
protected:
    void SetUp() override {
        InitParamImage(image);
        ClearLearnArea(image);
        image.BaudIndex = 3;
        image.LearnCodes[0] = LearnCode{3, 0x01, 0xAB, 0x7F};
        image.LearnCodes[28] = LearnCode{1, 0x5A};
    }

    // Runs the dialog and fn inside its loop, then closes it with the close
    // box; what the dialog posted is delivered afterwards.
    void Run(const std::function<void(CDlgLearn&)>& fn) {
        CDlgLearn dlg(&owner, image);
        dlg.SetLinkQuery([this] { return linkConnected; });
        QTimer::singleShot(0, &dlg, [&dlg, &fn] {
            ASSERT_EQ(QApplication::activeModalWidget(), &dlg);
            fn(dlg);
            dlg.close();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &dlg, [&dlg] {
            ADD_FAILURE() << "the learn dialog did not close";
            dlg.EndModal(IDCANCEL);
        });
        guard.start(10000);
        dlg.DoModal();
        platform::MessageQueue::Drain();
    }

    static std::string Edit(CDlgLearn& dlg, int slot) {
        return dlg.ControlAs<QLineEdit>(CDlgLearn::EditId(slot))->text().toStdString();
    }
    static QComboBox* Baud(CDlgLearn& dlg) {
        return dlg.ControlAs<QComboBox>(CDlgLearn::kBaudComboId);
    }
    static void Click(CDlgLearn& dlg, int id) {
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(id), Qt::LeftButton);
    }

    ParamImage image;
    Owner owner;
    // What the main window's link query answers, asked at each press.
    bool linkConnected = true;
    testsupport::TempFolder folder;
};

TEST_F(LearnDialog, ShowsTheFunctionsTheirCodesAndTheBaudRateInChinese) {
    Run([](CDlgLearn& dlg) {
        EXPECT_EQ(dlg.windowTitle().toStdString(), " ");
        const std::vector<std::string> names = {
            "Mute",   "M1",     "M2",       "M3",    "M4",    "M5",   "M6",   "Auto",
            "VOD",    "AUX",    "HDMI1",    "HDMI2", "HDMI3", "COAX", "OPTI", "KTV",
            "CINEMA", "Music+", "Music-",   "Mic+",  "Mic-",  "Eff+", "Eff-", "Pitch+",
            "Pitch0", "Pitch-", "AutoMode", "BGM",   "HDMI4"};
        for (int slot = 1; slot <= 32; ++slot) {
            auto* button = dlg.ControlAs<CMyBtn>(CDlgLearn::ButtonId(slot));
            auto* edit = dlg.ControlAs<QLineEdit>(CDlgLearn::EditId(slot));
            ASSERT_NE(button, nullptr) << slot;
            ASSERT_NE(edit, nullptr) << slot;
            const bool shown = slot <= 29;
            EXPECT_EQ(button->isVisible(), shown) << slot;
            EXPECT_EQ(edit->isVisible(), shown) << slot;
            EXPECT_TRUE(edit->isReadOnly()) << slot;
            if (shown) {
                EXPECT_EQ(button->text().toStdString(), names[slot - 1]);
            }
        }
        EXPECT_EQ(Edit(dlg, 1), "01ab7f");
        EXPECT_EQ(Edit(dlg, 2), "");
        EXPECT_EQ(Edit(dlg, 29), "5a");
        EXPECT_EQ(dlg.ItemText(CDlgLearn::kBaudLabelId), "波特率");
        EXPECT_EQ(dlg.ItemText(CDlgLearn::kLoadId), "从电脑加载");
        EXPECT_EQ(dlg.ItemText(CDlgLearn::kSaveId), "存储到电脑");
        EXPECT_EQ(dlg.ItemText(CDlgLearn::kDownloadId), "存储到设备");
        EXPECT_EQ(dlg.ItemText(CDlgLearn::kClearAllId), "清除所有");
        QStringList rates;
        for (int i = 0; i < Baud(dlg)->count(); ++i) rates << Baud(dlg)->itemText(i);
        EXPECT_EQ(rates.join(",").toStdString(),
                  "1200,2400,4800,9600,14400,19200,38400,56000,57600,115200");
        EXPECT_EQ(Baud(dlg)->currentIndex(), 3);
    });
    EXPECT_TRUE(owner.posted.empty());  // showing sends nothing
}

// A code whose length the unit never reports shows nothing, and a baud
// index out of the list selects nothing.
TEST_F(LearnDialog, ValuesOutOfRangeShowNothing) {
    image.LearnCodes[1] = LearnCode{9, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    image.BaudIndex = 10;
    Run([](CDlgLearn& dlg) {
        EXPECT_EQ(Edit(dlg, 2), "");
        EXPECT_EQ(Baud(dlg)->currentIndex(), -1);
    });
}

TEST_F(LearnDialog, SlotButtonsAskTheMainWindowToLearnTheirSlot) {
    Run([](CDlgLearn& dlg) {
        for (int slot : {1, 8, 29}) Click(dlg, CDlgLearn::ButtonId(slot));
    });
    EXPECT_EQ(owner.posted,
              (std::vector<Owner::Posted>{
                  {WM_LEARN_ITEM, 1, 0}, {WM_LEARN_ITEM, 8, 0}, {WM_LEARN_ITEM, 29, 0}}));
    EXPECT_EQ(image.LearnCodes[0][0], 3);  // the dialog itself changes nothing
}

TEST_F(LearnDialog, DownloadPostsTheLearnTable) {
    Run([](CDlgLearn& dlg) { Click(dlg, CDlgLearn::kDownloadId); });
    EXPECT_EQ(owner.posted, (std::vector<Owner::Posted>{{WM_SEND_COMMAND, CMD_LEARN_TABLE, 0}}));
}

// With the main window's link closed the table would be dropped unsent: the
// download says so in the window's language and posts nothing.
TEST_F(LearnDialog, DownloadWithTheLinkClosedSaysSoAndPostsNothing) {
    struct Case {
        const char* what;
        int language;
        bool linkAtOpen;  // closes before the press either way
        const char* text;
    };
    const Case cases[] = {
        {"English", kLanguageEnglish, false, "Not connected to the equipment"},
        {"Chinese", kLanguageChinese, false, "未连接设备"},
        {"closed while the dialog is open", kLanguageEnglish, true,
         "Not connected to the equipment"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owner.posted.clear();
        image.Language = c.language;
        linkConnected = c.linkAtOpen;
        testsupport::ScriptedPrompts prompts;
        Run([this](CDlgLearn& dlg) {
            linkConnected = false;
            Click(dlg, CDlgLearn::kDownloadId);
        });
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, c.text);
        EXPECT_EQ(prompts.shown()[0].caption, " ");
        EXPECT_EQ(prompts.shown()[0].type, platform::MbType::Ok);
        EXPECT_TRUE(owner.posted.empty());
    }
}

TEST_F(LearnDialog, BaudPickSetsTheIndexAndNoSelectionKeepsIt) {
    Run([this](CDlgLearn& dlg) {
        QComboBox* combo = Baud(dlg);
        combo->setCurrentIndex(9);
        emit combo->activated(9);
        EXPECT_EQ(image.BaudIndex, 9);
        // A combo left without a selection reports -1.
        combo->setCurrentIndex(-1);
        emit combo->activated(-1);
        EXPECT_EQ(image.BaudIndex, 9);
    });
    EXPECT_TRUE(owner.posted.empty());
}

TEST_F(LearnDialog, ClearAllAsksAndEmptiesEveryCodeOnYesOnly) {
    testsupport::ScriptedPrompts prompts;
    prompts.Answer(IDNO);
    prompts.Answer(IDYES);
    const ParamImage before = image;
    Run([&](CDlgLearn& dlg) {
        Click(dlg, CDlgLearn::kClearAllId);
        EXPECT_EQ(image.LearnCodes, before.LearnCodes);
        EXPECT_EQ(Edit(dlg, 1), "01ab7f");
        Click(dlg, CDlgLearn::kClearAllId);
        for (const LearnCode& code : image.LearnCodes) EXPECT_EQ(code, LearnCode{});
        EXPECT_EQ(Edit(dlg, 1), "");
        EXPECT_EQ(Edit(dlg, 29), "");
    });
    ASSERT_EQ(prompts.shown().size(), 2u);
    for (const auto& shown : prompts.shown()) {
        EXPECT_EQ(shown.text, "确定清除所有?");
        EXPECT_EQ(shown.caption, " ");
        EXPECT_EQ(shown.type, platform::MbType::YesNo);
    }
    EXPECT_TRUE(owner.posted.empty());  // clearing is the PC's table only
}

TEST_F(LearnDialog, SaveWritesTheTableAndSaysSo) {
    testsupport::ScriptedPrompts prompts;
    const std::string path = (folder / "codes.dat").string();
    prompts.AnswerFile(path);
    prompts.AnswerFile(std::nullopt);  // cancelled: nothing
    Run([](CDlgLearn& dlg) {
        Click(dlg, CDlgLearn::kSaveId);
        Click(dlg, CDlgLearn::kSaveId);
    });
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].kind, testsupport::ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(prompts.shown()[0].filter, "文件(*.dat);;All Files(*.*)");
    EXPECT_EQ(prompts.shown()[0].defaultSuffix, "dat");
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kSaved}));
    EXPECT_EQ(prompts.shown()[1].caption, " ");
    EXPECT_EQ(LoadWholeFile(path, 600), TableFile({{1, {0x01, 0xAB, 0x7F}}, {29, {0x5A}}}, 3));
}

// The folder is gone, or the baud combo was never set: a file that would
// not load back is not written, and an old one stays whole.
TEST_F(LearnDialog, SaveFailuresSaySoAndKeepTheOldFile) {
    const std::string path = (folder / "codes.dat").string();
    const Bytes old = TableFile({{5, {1, 2}}}, 0);
    testsupport::WriteFileBytes(path, old);
    testsupport::ScriptedPrompts prompts;
    prompts.AnswerFile((folder / "gone" / "codes.dat").string());
    prompts.AnswerFile(path);
    Run([this](CDlgLearn& dlg) {
        Click(dlg, CDlgLearn::kSaveId);
        image.BaudIndex = -1;
        Click(dlg, CDlgLearn::kSaveId);
    });
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kSaveFailed, kSaveFailed}));
    EXPECT_EQ(LoadWholeFile(path, 600), old);
}

TEST_F(LearnDialog, LoadShowsTheTableAndItsBaudRate) {
    const std::string path = (folder / "codes.dat").string();
    testsupport::WriteFileBytes(path, TableFile({{2, {0xDE, 0xAD}}, {32, {1, 2, 3}}}, 9));
    testsupport::ScriptedPrompts prompts;
    prompts.AnswerFile(path);
    Run([this](CDlgLearn& dlg) {
        Click(dlg, CDlgLearn::kLoadId);
        EXPECT_EQ(Edit(dlg, 1), "");
        EXPECT_EQ(Edit(dlg, 2), "dead");
        EXPECT_EQ(Edit(dlg, 29), "");
        EXPECT_EQ(Baud(dlg)->currentIndex(), 9);
        EXPECT_EQ(image.BaudIndex, 9);
        EXPECT_EQ(image.LearnCodes[31], (LearnCode{3, 1, 2, 3}));
    });
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].kind, testsupport::ScriptedPrompts::Kind::OpenFile);
    EXPECT_EQ(prompts.shown()[0].filter, "文件(*.dat);;All Files(*.*)");
    EXPECT_TRUE(owner.posted.empty());  // loading sends nothing
}

TEST_F(LearnDialog, RefusedFilesSayLoadFailedAndChangeNothing) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> spoil;
    } cases[] = {
        {"523 bytes", [](Bytes& b) { b.push_back(0); }},
        {"a code length of 9",
         [](Bytes& b) {
             b = TableFile({{4, Bytes(9, 1)}}, 3);
         }},
        {"baud index 10",
         [](Bytes& b) {
             b = TableFile({{4, {7}}}, 10);
         }},
        {"bad sum", [](Bytes& b) { b[521] ^= 1; }},
        {"bad magic", [](Bytes& b) { b[0] = 0x53; }},
        {"no file", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (folder / "table.dat").string();
        std::filesystem::remove(path);
        if (c.spoil) {
            Bytes b = TableFile({{4, {7}}}, 0);
            c.spoil(b);
            testsupport::WriteFileBytes(path, b);
        }
        testsupport::ScriptedPrompts prompts;
        prompts.AnswerFile(path);
        const ParamImage before = image;
        Run([](CDlgLearn& dlg) {
            Click(dlg, CDlgLearn::kLoadId);
            EXPECT_EQ(Edit(dlg, 1), "01ab7f");
            EXPECT_EQ(Edit(dlg, 4), "");
            EXPECT_EQ(Baud(dlg)->currentIndex(), 3);
        });
        EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{kLoadFailed}));
        EXPECT_EQ(prompts.shown().back().caption, " ");
        EXPECT_EQ(image.LearnCodes, before.LearnCodes);
        EXPECT_EQ(image.BaudIndex, 3);
    }
}

TEST(LearnQuery, EachButtonAnswersAndTheCloseBoxAnswersNothing) {
    struct Case {
        int id;  // 0: the close box
        int answer;
        const char* caption;
    } cases[] = {
        {CDlgQuery::kClearId, CDlgQuery::kClear, "清除"},
        {CDlgQuery::kRelearnId, CDlgQuery::kRelearn, "重新学习"},
        {CDlgQuery::kCancelId, CDlgQuery::kCancel, "取消"},
        {0, CDlgQuery::kNone, nullptr},
    };
    for (const Case& c : cases) {
        CDlgQuery query(nullptr);
        QTimer::singleShot(0, &query, [&query, &c] {
            ASSERT_EQ(QApplication::activeModalWidget(), &query);
            if (c.id == 0) {
                query.close();
                return;
            }
            EXPECT_EQ(query.ItemText(c.id), c.caption);
            QTest::mouseClick(query.ControlAs<QAbstractButton>(c.id), Qt::LeftButton);
        });
        EXPECT_EQ(query.DoModal(), c.answer) << c.id;
        EXPECT_FALSE(query.isVisible());
    }
}

}  // namespace
