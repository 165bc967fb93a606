#pragma once
// The user's own ways into a page's controls.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>

#include "eq/my_slider.h"
#include "platform/window.h"

namespace testsupport {

// A skinned slider moved as the user does: one arrow key is a step of one
// (right or up: more, left or down: less on a horizontal slider). The
// slider's report to its page is handled before this returns.
inline void SliderKey(platform::Window& page, int sliderId, Qt::Key key) {
    CMySlider* slider = page.ControlAs<CMySlider>(sliderId);
    ASSERT_NE(slider, nullptr) << sliderId;
    QTest::keyClick(slider, key);
    platform::MessageQueue::Drain();
}

// A user's pick in a combo: it reaches the program as activated.
inline void Choose(QComboBox* combo, int index) {
    ASSERT_NE(combo, nullptr);
    ASSERT_LT(index, combo->count());
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace testsupport
