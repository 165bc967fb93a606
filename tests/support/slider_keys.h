#pragma once
// Moving a page's skinned slider as the user does: one arrow key is a step
// of one (right or up: more, left or down: less on a horizontal slider). The
// slider's report to its page is handled before this returns.
#include <gtest/gtest.h>

#include <QTest>

#include "eq/my_slider.h"
#include "platform/window.h"

namespace testsupport {

inline void SliderKey(platform::Window& page, int sliderId, Qt::Key key) {
    CMySlider* slider = page.ControlAs<CMySlider>(sliderId);
    ASSERT_NE(slider, nullptr) << sliderId;
    QTest::keyClick(slider, key);
    platform::MessageQueue::Drain();
}

}  // namespace testsupport
