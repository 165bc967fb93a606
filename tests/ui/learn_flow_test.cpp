// Serial-code learning end to end: the learn dialog opened on the main
// window connected to the emulator, its slot buttons pressed inside its
// loop, the question and the busy box answered inside theirs, and the learn
// requests checked as the unit received them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/param_block.h"
#include "model/ui_text.h"
#include "support/busy_box_watch.h"
#include "support/connected_main.h"
#include "support/learn_table_layout.h"
#include "support/modal_watchdog.h"
#include "support/scripted_prompts.h"
#include "support/temp_folder.h"
#include "system/dlg_learn.h"
#include "system/dlg_query.h"
#include "system/dlg_wait.h"

namespace {

using testsupport::Bytes;
using testsupport::Head;

constexpr std::uint8_t kLearnCode = 0x44;
constexpr std::uint8_t kLearnTableCode = 0x47;
constexpr int kWaitMs = 5000;

// Runs fn once a modal T is up: the next modal run of that class, wherever
// its loop is started from (a busy box opened by a posted message, the
// question inside the main window's handler). Unlike testsupport::WhenModal
// it waits for the dialog and leaves closing it to fn.
template <class T>
class OnceModal {
public:
    explicit OnceModal(std::function<void(T&)> fn) : fn_(std::move(fn)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!modal || !modal->IsModalRunning()) return;
            timer_.stop();
            ran_ = true;
            fn_(*modal);
        });
        timer_.start(2);
    }
    bool Ran() const { return ran_; }

private:
    std::function<void(T&)> fn_;
    QTimer timer_;
    bool ran_ = false;
};

// The learn request's data as the unit reads it: slot, operation, the baud
// rate low byte first, one pad byte.
Bytes LearnRequest(int slot, int operation, std::uint32_t baud = 9600) {
    Bytes p = {static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(operation)};
    testsupport::Put32(p, baud);
    p.push_back(0);
    return p;
}

class LearnFlow : public ::testing::Test {
protected:
    void SetUp() override { unit.Connect(testsupport::DefaultsBlock()); }

    void Script(std::vector<int> learnScript) {
        emu::Knobs knobs = unit.device.GetKnobs();
        knobs.learnScript = std::move(learnScript);
        unit.device.SetKnobs(knobs);
    }

    // Opens the learn dialog as the system page's Learn button does and runs
    // fn inside its loop; the close box ends it.
    void InLearnDialog(const std::function<void(CDlgLearn&)>& fn) {
        bool closed = false;
        OnceModal<CDlgLearn> inside([&](CDlgLearn& dlg) {
            EXPECT_EQ(unit.dlg->LearnDialog(), &dlg);
            fn(dlg);
            dlg.close();
            closed = true;
        });
        unit.dlg->PostMessage(WM_OPEN_LEARN, 0, 0);
        ASSERT_TRUE(linktest::WaitFor([&] { return closed; }, 3 * kWaitMs));
        platform::MessageQueue::Drain();
        EXPECT_EQ(unit.dlg->LearnDialog(), nullptr);
    }

    // The learn requests the unit received since a mark.
    std::vector<Bytes> LearnRequestsSince(std::size_t mark) const {
        std::vector<Bytes> out;
        for (const emu::Command& c : unit.RequestsSince(mark))
            if (c.code == kLearnCode) out.push_back(c.data);
        return out;
    }

    static void Press(CDlgLearn& dlg, int slot) {
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(CDlgLearn::ButtonId(slot)),
                          Qt::LeftButton);
    }
    static std::string Edit(CDlgLearn& dlg, int slot) {
        return dlg.ControlAs<QLineEdit>(CDlgLearn::EditId(slot))->text().toStdString();
    }

    testsupport::ScriptedPrompts prompts;
    testsupport::ConnectedMain unit;
    testsupport::ModalWatchdog watchdog{kWaitMs * 2};
};

TEST_F(LearnFlow, ASlotIsAskedAgainUntilTheUnitHeardItsCode) {
    Script({0, 3});
    std::string boxText;
    OnceModal<CDlgWait> box([&](CDlgWait& b) { boxText = b.Text(); });
    const std::size_t mark = unit.Mark();
    InLearnDialog([&](CDlgLearn& dlg) {
        Press(dlg, 1);
        EXPECT_TRUE(linktest::WaitFor([&] { return Edit(dlg, 1) == "c0c1c2"; }, kWaitMs));
    });
    EXPECT_EQ(boxText, "正在学习: Mute");
    EXPECT_FALSE(unit.dlg->WaitBoxOpen());
    EXPECT_EQ(unit.dlg->Image().LearnSlotIndex, 0);
    EXPECT_EQ(unit.dlg->Image().LearnCodes[0], (LearnCode{3, 0xC0, 0xC1, 0xC2}));
    linktest::RunFor(200);
    // Asked, asked again; the box closed by the result tells the unit nothing.
    EXPECT_EQ(LearnRequestsSince(mark),
              (std::vector<Bytes>{LearnRequest(1, 1), LearnRequest(1, 2)}));
}

TEST_F(LearnFlow, ClosingTheBusyBoxCancelsTheLearn) {
    Script({});  // the unit hears nothing: it is asked again and again
    std::string boxText;
    OnceModal<CDlgWait> box([&](CDlgWait& b) {
        boxText = b.Text();
        linktest::RunFor(100);
        b.close();
    });
    const std::size_t mark = unit.Mark();
    InLearnDialog([&](CDlgLearn& dlg) {
        Press(dlg, 27);
        EXPECT_TRUE(
            linktest::WaitFor([&] { return box.Ran() && !unit.dlg->WaitBoxOpen(); }, kWaitMs));
        EXPECT_EQ(Edit(dlg, 27), "");
    });
    EXPECT_EQ(boxText, "正在学习: AutoMode");
    EXPECT_EQ(unit.dlg->Image().LearnSlotIndex, 0);
    ASSERT_TRUE(linktest::WaitFor(
        [&] {
            return !LearnRequestsSince(mark).empty() && LearnRequestsSince(mark).back()[1] == 3;
        },
        kWaitMs));
    linktest::RunFor(200);
    const std::vector<Bytes> requests = LearnRequestsSince(mark);
    EXPECT_EQ(requests.front(), LearnRequest(27, 1));
    EXPECT_EQ(requests.back(), LearnRequest(0, 3));
    for (std::size_t i = 1; i + 1 < requests.size(); ++i)
        EXPECT_EQ(requests[i], LearnRequest(27, 2));
}

// A code longer than the unit keeps: the box closes, the slot keeps what it
// had, and the unit is told to stop listening.
TEST_F(LearnFlow, ACodeTooLongIsDroppedAndTheUnitToldToStop) {
    Script({9});
    const std::size_t mark = unit.Mark();
    InLearnDialog([&](CDlgLearn& dlg) {
        Press(dlg, 3);
        EXPECT_TRUE(
            linktest::WaitFor([&] { return LearnRequestsSince(mark).size() == 2; }, kWaitMs));
        EXPECT_EQ(Edit(dlg, 3), "");
    });
    linktest::RunFor(200);
    EXPECT_FALSE(unit.dlg->WaitBoxOpen());
    EXPECT_EQ(unit.dlg->Image().LearnSlotIndex, 0);
    EXPECT_EQ(unit.dlg->Image().LearnCodes[2], LearnCode{});
    EXPECT_EQ(LearnRequestsSince(mark),
              (std::vector<Bytes>{LearnRequest(3, 1), LearnRequest(0, 3)}));
}

TEST_F(LearnFlow, AFilledSlotAsksFirst) {
    struct Case {
        const char* name;
        int button;  // 0: the close box
        LearnCode after;
        const char* shown;
        std::vector<Bytes> requests;
    } cases[] = {
        {"clear", CDlgQuery::kClearId, LearnCode{}, "", {}},
        {"cancel", CDlgQuery::kCancelId, LearnCode{1, 0x42}, "42", {}},
        {"closed", 0, LearnCode{1, 0x42}, "42", {}},
        {"learn again",
         CDlgQuery::kRelearnId,
         LearnCode{2, 0xC0, 0xC1},
         "c0c1",
         {LearnRequest(5, 1)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Script({2});
        unit.dlg->Image().LearnCodes[4] = LearnCode{1, 0x42};
        OnceModal<CDlgQuery> query([&](CDlgQuery& q) {
            if (c.button == 0)
                q.close();
            else
                QTest::mouseClick(q.ControlAs<QAbstractButton>(c.button), Qt::LeftButton);
        });
        const std::size_t mark = unit.Mark();
        InLearnDialog([&](CDlgLearn& dlg) {
            EXPECT_EQ(Edit(dlg, 5), "42");
            Press(dlg, 5);
            EXPECT_TRUE(linktest::WaitFor([&] { return query.Ran(); }, kWaitMs));
            linktest::WaitFor(
                [&] {
                    return !unit.dlg->WaitBoxOpen() &&
                           LearnRequestsSince(mark).size() >= c.requests.size();
                },
                kWaitMs);
            EXPECT_EQ(Edit(dlg, 5), c.shown);
        });
        linktest::RunFor(150);
        EXPECT_EQ(unit.dlg->Image().LearnCodes[4], c.after);
        EXPECT_EQ(LearnRequestsSince(mark), c.requests);
    }
}

// Offline an empty slot, or a filled one asked to learn again, says the
// unit is not there, keeps its code and opens no busy box that no answer
// could close.
TEST_F(LearnFlow, NothingIsLearnedWithoutAConnectedUnit) {
    unit.dlg->ControlAs<CMyBtn>(1001)->click();  // disconnect
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "Idle"; }, kWaitMs));
    const struct {
        int language;
        bool filled;
        const char* text;
    } cases[] = {
        {kLanguageEnglish, false, "Not connected to the equipment"},
        {kLanguageEnglish, true, "Not connected to the equipment"},
        {kLanguageChinese, false, "未连接设备"},
        {kLanguageChinese, true, "未连接设备"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + (c.filled ? " filled" : " empty"));
        ParamImage& image = unit.dlg->Image();
        image.Language = c.language;
        const LearnCode code = c.filled ? LearnCode{2, 0x10, 0x20} : LearnCode{};
        image.LearnCodes[2] = code;
        prompts.Clear();
        const std::size_t mark = unit.Mark();
        OnceModal<CDlgQuery> query([&](CDlgQuery& q) {
            QTest::mouseClick(q.ControlAs<QAbstractButton>(CDlgQuery::kRelearnId), Qt::LeftButton);
        });
        InLearnDialog([&](CDlgLearn& dlg) {
            Press(dlg, 3);
            if (c.filled) {
                EXPECT_TRUE(linktest::WaitFor([&] { return query.Ran(); }, kWaitMs));
            }
            linktest::RunFor(100);
            EXPECT_FALSE(unit.dlg->WaitBoxOpen());
            EXPECT_EQ(Edit(dlg, 3), c.filled ? "1020" : "");
        });
        EXPECT_EQ(query.Ran(), c.filled);
        ASSERT_EQ(prompts.shown().size(), 1u);
        EXPECT_EQ(prompts.shown()[0].text, c.text);
        EXPECT_EQ(prompts.shown()[0].caption, " ");
        EXPECT_EQ(image.LearnCodes[2], code);
        EXPECT_EQ(image.LearnSlotIndex, 0);
        EXPECT_TRUE(LearnRequestsSince(mark).empty());
    }
}

// Offline the download says so in the window's language, and the table
// stays on the PC: nothing reaches the unit once the link is up again.
TEST_F(LearnFlow, DownloadWithoutAConnectedUnitSaysSoAndSendsNothing) {
    unit.dlg->ControlAs<CMyBtn>(1001)->click();  // disconnect
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "Idle"; }, kWaitMs));
    unit.dlg->Image().Language = kLanguageChinese;
    InLearnDialog([&](CDlgLearn& dlg) {
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(CDlgLearn::kDownloadId), Qt::LeftButton);
    });
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text, "未连接设备");
    EXPECT_EQ(prompts.shown()[0].caption, " ");

    unit.dlg->ControlAs<CMyBtn>(1001)->click();  // connect again
    ASSERT_TRUE(linktest::WaitFor([&] { return unit.dlg->ItemText(1002) == "OK"; }, 10000))
        << unit.dlg->ItemText(1002);
    linktest::RunFor(200);
    EXPECT_EQ(unit.device.CountOf(kLearnTableCode), 0);
}

// A start the link does not take, its line full behind a unit that answers
// late: no answer would ever close the busy box, so it closes at once and
// says why. The unit is asked nothing and told nothing to cancel once the
// line has gone out.
TEST_F(LearnFlow, AStartTheFullLineRefusesClosesTheBusyBoxAndSaysWhy) {
    const std::size_t mark = unit.Mark();
    testsupport::BusyBoxWatch busy;
    InLearnDialog([&](CDlgLearn& dlg) {
        unit.Hold(25);
        ASSERT_NO_FATAL_FAILURE(unit.FillTheLine());
        Press(dlg, 1);
        EXPECT_TRUE(linktest::WaitFor(
            [&] { return busy.shown == 1 && !unit.dlg->WaitBoxOpen() && !prompts.shown().empty(); },
            kWaitMs));
    });
    EXPECT_EQ(busy.shown, 1);
    EXPECT_FALSE(unit.dlg->WaitBoxOpen());
    EXPECT_EQ(unit.dlg->Image().LearnSlotIndex, 0);
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].text,
              "Not sent: the equipment is busy, too many requests are waiting");
    EXPECT_EQ(prompts.shown()[0].caption, " ");

    unit.Hold(0);
    const LinkSequencer& link = unit.dlg->Link().Sequencer();
    ASSERT_TRUE(
        linktest::WaitFor([&] { return !link.ReplyPending() && link.Waiting() == 0; }, 20000));
    linktest::RunFor(200);
    for (const emu::Command& c : unit.RequestsSince(mark)) EXPECT_EQ(c.code, CMD_TEST_SIGNAL);
    EXPECT_TRUE(LearnRequestsSince(mark).empty());
    EXPECT_EQ(unit.dlg->Image().LearnCodes[0], LearnCode{});
}

// Slots and results that no button can give: nothing is indexed, learned or
// sent, and no slot is left pending.
TEST_F(LearnFlow, SlotsOutsideTheTableDoNothing) {
    const std::size_t mark = unit.Mark();
    ParamImage& image = unit.dlg->Image();
    const ParamImage before = image;
    for (WPARAM slot : {WPARAM{0}, WPARAM{33}, WPARAM{0x101}, ~WPARAM{0}}) {
        unit.dlg->PostMessage(WM_LEARN_ITEM, slot, 0);
        platform::MessageQueue::Drain();
        EXPECT_FALSE(unit.dlg->WaitBoxOpen()) << slot;
        EXPECT_EQ(image.LearnSlotIndex, 0) << slot;
    }
    for (int pending : {40, -1, 7}) {
        image.LearnSlotIndex = pending;
        unit.dlg->PostMessage(WM_LEARN_RESULT, 3, 1);
        platform::MessageQueue::Drain();
        EXPECT_EQ(image.LearnSlotIndex, 0) << pending;
    }
    linktest::RunFor(100);
    EXPECT_EQ(image.LearnCodes, before.LearnCodes);
    EXPECT_TRUE(LearnRequestsSince(mark).empty());
}

TEST_F(LearnFlow, DownloadLeavesTheLoadedTableAndBaudRateInTheUnit) {
    // Codes in slots 1 and 29, 57600 baud.
    const Bytes file =
        testsupport::LearnTableFileBytes({{1, {0x11, 0x22}}, {29, {1, 2, 3, 4, 5, 6, 7, 8}}}, 8);
    testsupport::TempFolder folder;
    testsupport::WriteFileBytes(folder / "codes.dat", file);
    prompts.AnswerFile((folder / "codes.dat").string());

    const std::size_t mark = unit.Mark();
    InLearnDialog([&](CDlgLearn& dlg) {
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(CDlgLearn::kLoadId), Qt::LeftButton);
        EXPECT_EQ(Edit(dlg, 29), "0102030405060708");
        QTest::mouseClick(dlg.ControlAs<QAbstractButton>(CDlgLearn::kDownloadId), Qt::LeftButton);
        EXPECT_TRUE(linktest::WaitFor([&] { return !prompts.Texts().empty(); }, kWaitMs));
    });
    const std::optional<emu::LearnTable> kept = unit.device.KeptLearnTable();
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->codes, Bytes(file.begin() + 8, file.begin() + 520));
    EXPECT_EQ(kept->baudRate, 57600u);
    EXPECT_EQ(unit.device.CountOf(kLearnTableCode), 1);
    EXPECT_EQ(unit.RequestsSince(mark).size(), 1u);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"        Saved OK        "}));
}

}  // namespace
