// The user/code split of the standard controls: simulated user input calls
// the handler, every setter from code leaves it alone.
#include "platform/controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "platform/window.h"
#include "support/typing.h"

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override {
        page.resize(400, 300);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
    }
    platform::Window page;
};

TEST_F(Controls, ComboSelection) {
    auto* combo = new QComboBox(&page);
    combo->addItems({"flat", "bs12db", "bw12db", "LR24db"});
    combo->show();
    std::vector<int> picked;
    platform::OnUserSelect(combo, [&](int index) { picked.push_back(index); });

    platform::SetComboSelection(combo, 2);
    combo->setCurrentIndex(1);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_TRUE(picked.empty());

    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_End);
    EXPECT_EQ(picked, (std::vector<int>{2, 3}));
    EXPECT_EQ(combo->currentIndex(), 3);
    platform::SetComboSelection(combo, 0);
    EXPECT_EQ(picked.size(), 2u);
}

TEST_F(Controls, EditText) {
    auto* edit = new QLineEdit(&page);
    edit->show();
    page.AddControl(1, edit);
    std::vector<std::string> typed;
    platform::OnUserEdit(edit, [&](const std::string& text) { typed.push_back(text); });

    platform::SetEditText(edit, "模式 1");
    page.SetItemText(1, "Mode 2");
    edit->setText("Mode 3");
    EXPECT_TRUE(typed.empty());

    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, "4");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(typed, (std::vector<std::string>{"Mode 34", "Mode 3"}));
    platform::SetEditText(edit, "音乐");
    EXPECT_EQ(edit->text().toStdString(), "音乐");
    EXPECT_EQ(typed.size(), 2u);
}

// Typed or pasted text with a character GBK lacks never gets in: it would
// reach the unit as '?'.
TEST_F(Controls, GbkOnlyEditRefusesWhatGbkLacks) {
    auto* edit = new QLineEdit(&page);
    edit->show();
    platform::AcceptOnlyGbk(edit);
    edit->setFocus();
    testsupport::TypeText(edit, "Home 中文");
    testsupport::TypeText(edit, "😀");
    testsupport::TypeText(edit, "ก");
    EXPECT_EQ(edit->text().toStdString(), "Home 中文");
    edit->insert("x😀");  // as a paste does
    EXPECT_EQ(edit->text().toStdString(), "Home 中文");
    testsupport::TypeText(edit, "!");
    EXPECT_EQ(edit->text().toStdString(), "Home 中文!");
}

TEST_F(Controls, CheckAndPushButtons) {
    auto* check = new QCheckBox("Pink", &page);
    auto* push = new QPushButton("Store", &page);
    check->move(0, 0);
    push->move(0, 40);
    check->show();
    push->show();
    std::vector<bool> checks;
    int pushes = 0;
    platform::OnUserClick(check, [&] { checks.push_back(check->isChecked()); });
    platform::OnUserClick(push, [&] { ++pushes; });

    check->setChecked(false);
    check->setChecked(true);
    EXPECT_TRUE(checks.empty());

    QTest::mouseClick(check, Qt::LeftButton);
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
    EXPECT_EQ(checks, (std::vector<bool>{false, true}));
    QTest::mouseClick(push, Qt::LeftButton);
    EXPECT_EQ(pushes, 1);
}

}  // namespace
