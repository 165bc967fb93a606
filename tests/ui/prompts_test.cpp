// Message boxes and file dialogs: the scripted responder every window test
// uses, and the Qt implementation the program shows (driven by a timer that
// answers the box, so nothing waits on a person).
#include "platform/prompts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/messages.h"
#include "platform/window.h"
#include "support/scripted_prompts.h"

namespace {

using platform::MbType;
using testsupport::ScriptedPrompts;

// Texts as the windows pass them: result texts padded with eight blanks,
// file texts with tabs, a lone-blank caption, markup that must stay text.
const char* const kTexts[] = {
    "        Save ok        ", "Load\tmode\t\tfile", "", " ",
    "<b>not bold</b> &amp;",   "警告\n第二行",
};

TEST(ScriptedPrompts, RecordsTextAndCaptionExactlyAndAnswersInOrder) {
    ScriptedPrompts prompts;
    platform::Window parent;
    prompts.Answer(IDNO);
    prompts.Answer(IDCANCEL);
    for (const char* text : kTexts) EXPECT_EQ(platform::MessageBox(&parent, text, " "), IDOK);
    EXPECT_EQ(platform::MessageBox(nullptr, "Reset?", "Warning", MbType::YesNo), IDNO);
    EXPECT_EQ(platform::MessageBox(nullptr, "Go on?", "", MbType::OkCancel), IDCANCEL);

    ASSERT_EQ(prompts.shown().size(), std::size(kTexts) + 2);
    for (std::size_t i = 0; i < std::size(kTexts); ++i) {
        const ScriptedPrompts::Shown& s = prompts.shown()[i];
        EXPECT_EQ(s.kind, ScriptedPrompts::Kind::MessageBox);
        EXPECT_EQ(s.text, kTexts[i]);
        EXPECT_EQ(s.caption, " ");
        EXPECT_EQ(s.type, MbType::Ok);
        EXPECT_EQ(s.parent, &parent);
    }
    EXPECT_EQ(prompts.shown()[std::size(kTexts)].caption, "Warning");
    EXPECT_EQ(prompts.shown()[std::size(kTexts)].type, MbType::YesNo);
    EXPECT_EQ(prompts.shown().back().caption, "");
    EXPECT_EQ(prompts.Texts().back(), "Go on?");
}

TEST(ScriptedPrompts, AnswersFileDialogsAndRunsTheHookWhileShown) {
    ScriptedPrompts prompts;
    prompts.AnswerFile("/tmp/t/table.dat");
    prompts.AnswerFile(std::nullopt);
    std::vector<std::string> seen;
    prompts.WhileShown([&](const ScriptedPrompts::Shown& s) { seen.push_back(s.filter + s.text); });
    auto& p = platform::CurrentPrompts();
    EXPECT_EQ(p.OpenFileName(nullptr, "Learn table (*.dat)", "dat"), "/tmp/t/table.dat");
    EXPECT_EQ(p.SaveFileName(nullptr, "Boost preset (*.btpar)", "btpar"), std::nullopt);
    platform::MessageBox(nullptr, "done", "");
    EXPECT_EQ(seen,
              (std::vector<std::string>{"Learn table (*.dat)", "Boost preset (*.btpar)", "done"}));
    ASSERT_EQ(prompts.shown().size(), 3u);
    EXPECT_EQ(prompts.shown()[0].kind, ScriptedPrompts::Kind::OpenFile);
    EXPECT_EQ(prompts.shown()[1].kind, ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(prompts.shown()[1].defaultSuffix, "btpar");
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"done"}));
}

TEST(ScriptedPrompts, PutsBackThePromptsItReplaced) {
    platform::Prompts* const before = &platform::CurrentPrompts();
    {
        ScriptedPrompts outer;
        {
            ScriptedPrompts inner;
            EXPECT_EQ(&platform::CurrentPrompts(), &inner);
        }
        EXPECT_EQ(&platform::CurrentPrompts(), &outer);
    }
    EXPECT_EQ(&platform::CurrentPrompts(), before);
}

// Installs nothing, so CurrentPrompts() is the Qt implementation, for the
// test's length.
class QtPrompts : public ::testing::Test {
protected:
    void SetUp() override { saved_ = platform::SetPrompts(nullptr); }
    void TearDown() override { platform::SetPrompts(saved_); }

    // Calls act(widget) on the modal box or dialog once it is up; a watchdog
    // closes whatever is left, so a fault fails rather than hangs.
    void WhenUp(std::function<void(QWidget*)> act) {
        auto* poll = new QTimer;
        auto started = std::make_shared<QElapsedTimer>();
        started->start();
        QObject::connect(poll, &QTimer::timeout, [poll, act, started] {
            if (QWidget* w = QApplication::activeModalWidget()) {
                poll->deleteLater();
                poll->stop();
                act(w);
                QTimer::singleShot(2000, [left = QPointer<QWidget>(w)] {
                    auto* dlg = qobject_cast<QDialog*>(left.data());
                    if (!dlg || !dlg->isVisible()) return;
                    ADD_FAILURE() << "the test left the box up";
                    dlg->reject();
                });
            } else if (started->elapsed() > 5000) {
                poll->deleteLater();
                poll->stop();
                ADD_FAILURE() << "no modal widget came up";
            }
        });
        poll->start(5);
    }

private:
    platform::Prompts* saved_ = nullptr;
};

TEST_F(QtPrompts, SetPromptsNullRestoresTheQtImplementation) {
    platform::Prompts* const qt = &platform::CurrentPrompts();
    {
        ScriptedPrompts scripted;
        EXPECT_NE(&platform::CurrentPrompts(), qt);
    }
    EXPECT_EQ(&platform::CurrentPrompts(), qt);
    EXPECT_EQ(dynamic_cast<ScriptedPrompts*>(qt), nullptr);
}

TEST_F(QtPrompts, MessageBoxShowsPlainTextWithItsButtonsAndMapsTheAnswer) {
    const struct {
        MbType type;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton click;
        int expected;
    } cases[] = {
        {MbType::Ok, QMessageBox::Ok, QMessageBox::Ok, IDOK},
        {MbType::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, IDYES},
        {MbType::YesNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, IDNO},
        {MbType::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, IDOK},
        {MbType::OkCancel, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, IDCANCEL},
    };
    platform::Window parent;
    int n = 0;
    for (const auto& c : cases) {
        const std::string text = kTexts[n % std::size(kTexts)];
        const std::string caption = n % 2 ? " " : "Warning";
        SCOPED_TRACE(n++);
        QString title, shownText;
        Qt::TextFormat format = Qt::RichText;
        QMessageBox::StandardButtons buttons;
        WhenUp([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            shownText = box->text();
            format = box->textFormat();
            buttons = box->standardButtons();
            box->button(c.click)->click();
        });
        EXPECT_EQ(platform::MessageBox(&parent, text, caption, c.type), c.expected);
        EXPECT_EQ(title.toStdString(), caption);
        EXPECT_EQ(shownText.toStdString(), text);
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(buttons, c.buttons);
    }
}

// The filters as the dialog's file type box shows them.
QStringList ShownFilters(QFileDialog* dlg) {
    QStringList shown;
    if (auto* box = dlg->findChild<QComboBox*>("fileTypeCombo"))
        for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    return shown;
}

// The names the dialog's file list shows in its folder.
QStringList ListedNames(QFileDialog* dlg) {
    QStringList names;
    if (auto* list = dlg->findChild<QListView*>("listView")) {
        const QModelIndex folder = list->rootIndex();
        for (int r = 0; r < list->model()->rowCount(folder); ++r)
            names << list->model()->index(r, 0, folder).data().toString();
    }
    names.sort();
    return names;
}

TEST_F(QtPrompts, FileDialogsUseTheFilterAndTheDefaultSuffix) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("mine.dat");
    QFile(existing).open(QIODevice::WriteOnly);
    auto& qt = platform::CurrentPrompts();

    QStringList filters;
    WhenUp([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        filters = ShownFilters(dlg);
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptOpen);
        dlg->selectFile(existing);
        static_cast<QDialog*>(dlg)->accept();  // QFileDialog hides it
    });
    EXPECT_EQ(qt.OpenFileName(nullptr, "Learn table (*.dat)", "dat"), existing.toStdString());
    EXPECT_EQ(filters, QStringList{"Learn table (*.dat)"});

    WhenUp([&](QWidget* w) {
        auto* dlg = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dlg->defaultSuffix(), "btpar");
        filters = ShownFilters(dlg);
        dlg->selectFile(dir.filePath("preset"));
        static_cast<QDialog*>(dlg)->accept();  // QFileDialog hides it
    });
    EXPECT_EQ(qt.SaveFileName(nullptr, "Boost preset (*.btpar)", "btpar"),
              dir.filePath("preset.btpar").toStdString());
    EXPECT_EQ(filters, QStringList{"Boost preset (*.btpar)"});

    WhenUp([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(qt.OpenFileName(nullptr, "Learn table (*.dat)", "dat"), std::nullopt);
    WhenUp([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_EQ(qt.SaveFileName(nullptr, "Boost preset (*.btpar)", "btpar"), std::nullopt);
}

// The windows' filters say "All Files(*.*)" as Windows writes it, where it
// means every file: a preset or table saved without an extension must be
// listed and picked, in the open and the save dialog, under the caption as
// written.
TEST_F(QtPrompts, AllFilesListsNamesWithoutADotUnderTheCaptionAsWritten) {
    QTemporaryDir dir;
    for (const char* name : {"live.btpar", "noext", "table.dat"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const QDir folder(dir.path());
    auto& qt = platform::CurrentPrompts();
    const struct {
        bool save;
        std::string filter;
        QStringList shown;
        QStringList firstListed;
    } cases[] = {
        {false,
         "Param Files (*.btpar);;All Files(*.*)",
         {"Param Files (*.btpar)", "All Files(*.*)"},
         {"live.btpar"}},
        {true,
         "文件(*.dat);;All Files(*.*)",
         {QString::fromUtf8("文件(*.dat)"), "All Files(*.*)"},
         {"table.dat"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        QStringList shown, firstListed, allListed;
        WhenUp([&](QWidget* w) {
            auto* dlg = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dlg, nullptr);
            dlg->setDirectory(folder);
            shown = ShownFilters(dlg);
            // The folder is read in the background.
            (void)QTest::qWaitFor([&] { return !ListedNames(dlg).isEmpty(); }, 3000);
            firstListed = ListedNames(dlg);
            auto* box = dlg->findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(box, nullptr);
            QTest::keyClick(box, Qt::Key_Down);  // the user picks All Files
            (void)QTest::qWaitFor([&] { return ListedNames(dlg).size() == 3; }, 3000);
            allListed = ListedNames(dlg);
            auto* name = dlg->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->clear();
            QTest::keyClicks(name, "noext");
            static_cast<QDialog*>(dlg)->accept();  // QFileDialog hides it
        });
        const auto chosen = c.save ? qt.SaveFileName(nullptr, c.filter, "dat")
                                   : qt.OpenFileName(nullptr, c.filter, "btpar");
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(firstListed, c.firstListed);
        EXPECT_EQ(allListed, (QStringList{"live.btpar", "noext", "table.dat"}));
        // Saved, a name without a dot takes the default suffix.
        EXPECT_EQ(chosen, folder.filePath(c.save ? "noext.dat" : "noext").toStdString());
    }
}

}  // namespace
