#include "eq/spin_buttons.h"

#include <QToolButton>

namespace {

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow) {
    auto* b = new QToolButton(parent);
    b->setArrowType(arrow);
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(false);
    return b;
}

}  // namespace

SpinButtons::SpinButtons(QWidget* parent)
    : QWidget(parent), up_(MakeArrow(this, Qt::UpArrow)), down_(MakeArrow(this, Qt::DownArrow)) {
    setFocusPolicy(Qt::NoFocus);
    // clicked is emitted for user presses only, never by a change from code.
    connect(up_, &QToolButton::clicked, this, [this] { emit Stepped(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit Stepped(-1); });
}

void SpinButtons::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
}
