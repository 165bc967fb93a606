// The user/code split of the standard controls: simulated user input calls
// the handler, every setter from code leaves it alone.
#include "platform/controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
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

    platform::SetCheck(check, true);
    platform::SetCheck(check, false);
    check->setChecked(true);
    EXPECT_TRUE(checks.empty());

    QTest::mouseClick(check, Qt::LeftButton);
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
    EXPECT_EQ(checks, (std::vector<bool>{false, true}));
    QTest::mouseClick(push, Qt::LeftButton);
    EXPECT_EQ(pushes, 1);
}

TEST_F(Controls, SliderPosition) {
    auto* slider = new QSlider(Qt::Horizontal, &page);
    slider->setGeometry(0, 0, 300, 30);
    slider->setRange(0, 100);
    slider->setPageStep(10);
    slider->show();
    std::vector<int> moves;
    platform::OnUserSlide(slider, [&](int pos) { moves.push_back(pos); });

    platform::SetSliderPos(slider, 40);
    slider->setValue(50);
    slider->setSliderDown(true);  // even while the user holds it
    platform::SetSliderPos(slider, 30);
    slider->setSliderDown(false);
    EXPECT_EQ(slider->value(), 30);
    EXPECT_TRUE(moves.empty());

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QTest::keyClick(slider, Qt::Key_PageUp);
    QTest::keyClick(slider, Qt::Key_End);
    QTest::keyClick(slider, Qt::Key_End);  // already there: no move
    EXPECT_EQ(moves, (std::vector<int>{31, 41, 100}));
    EXPECT_EQ(slider->value(), 100);

    QWheelEvent wheel(QPointF(150, 15), slider->mapToGlobal(QPointF(150, 15)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_LT(moves.back(), 100);
    EXPECT_EQ(slider->value(), moves.back());

    // A drag of the handle to the far left.
    QStyleOptionSlider opt;
    opt.initFrom(slider);
    opt.orientation = Qt::Horizontal;
    opt.minimum = slider->minimum();
    opt.maximum = slider->maximum();
    opt.sliderPosition = opt.sliderValue = slider->value();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, slider);
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, handle.center());
    QTest::mouseMove(slider, QPoint(handle.center().x() - 100, handle.center().y()));
    QTest::mouseMove(slider, QPoint(-50, handle.center().y()));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(-50, handle.center().y()));
    ASSERT_GE(moves.size(), 6u);
    EXPECT_EQ(moves.back(), 0);
    EXPECT_EQ(slider->value(), 0);

    const std::size_t before = moves.size();
    platform::SetSliderPos(slider, 70);
    EXPECT_EQ(moves.size(), before);
}

}  // namespace
