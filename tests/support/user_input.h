#pragma once
// The user's own ways into a page's controls.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
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

// The slider's thumb dragged with the mouse as far as it goes toward the end
// of its range's maximum (toMax) or minimum: pressed on the thumb, moved far
// beyond the end in one move, released. The thumb stops at the end and the
// slider reports that one position, handled before this returns.
inline void SliderDragToEnd(platform::Window& page, int sliderId, bool toMax) {
    CMySlider* slider = page.ControlAs<CMySlider>(sliderId);
    ASSERT_NE(slider, nullptr) << sliderId;
    ASSERT_TRUE(slider->isVisibleTo(slider->window())) << sliderId;
    const int toward = (slider->PixelAtMax() >= slider->PixelAtMin()) == toMax ? 1 : -1;
    const int grip = slider->ThumbPixel() + 3;  // inside the thumb, past its edge
    auto at = [slider](int along) {
        return slider->Vertical() ? QPointF(slider->width() / 2, along)
                                  : QPointF(along, slider->height() / 2);
    };
    auto send = [slider](QEvent::Type type, QPointF p, Qt::MouseButton button,
                         Qt::MouseButtons held) {
        QMouseEvent e(type, p, slider->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(slider, &e);
    };
    const QPointF far = at(grip + toward * 100000);
    send(QEvent::MouseButtonPress, at(grip), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, far, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, far, Qt::LeftButton, Qt::NoButton);
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
