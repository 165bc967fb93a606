#include "eq/my_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "model/messages.h"
#include "eq/skin_surface.h"
#include "platform/window.h"

CMySlider::CMySlider(platform::Window* owner, int id, QWidget* parent)
    : QWidget(parent ? parent : owner), owner_(owner), id_(id) {
    setFocusPolicy(Qt::StrongFocus);
    // Every paint covers the whole client area.
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (owner) owner->AddControl(id, this);
}

CMySlider::~CMySlider() = default;

void CMySlider::Setup(const SkinImage* track, const SkinImage* lit, const SkinImage* thumb,
                      const SkinImage* focusedThumb, std::uint32_t bgColour, int flags) {
    flags_ = flags;
    vertical_ = (flags & kHorizontal) == 0;
    clientWidth_ = width();
    clientHeight_ = height();
    const int w = clientWidth_, h = clientHeight_;

    if (track && lit) {
        track_.Reset(w, h, bgColour);
        AlphaBlit(track_.Canvas(), *track, 0, 0);
        lit_.Reset(w, h, bgColour);
        AlphaBlit(lit_.Canvas(), *lit, 0, 0);
    } else {
        track_.Reset(w, h, 0x00FF0000);
        lit_.Reset(w, h, 0x00FF0000);
    }

    thumbWidth_ = thumb ? std::clamp(thumb->width, 0, w) : 0;
    thumbHeight_ = thumb ? std::clamp(thumb->height, 0, h) : 0;
    const int travel = vertical_ ? h - thumbHeight_ : w - thumbWidth_;
    scale_ = SliderScale{0, travel, 0, travel};
    value_ = 0;
    thumbPixel_ = 0;

    thumb_.Reset(thumbWidth_, thumbHeight_);
    if (thumb) CopyImage(thumb_.Canvas(), *thumb);
    if (focusedThumb) {
        focusedThumb_.Reset(thumbWidth_, thumbHeight_);
        CopyImage(focusedThumb_.Canvas(), *focusedThumb);
    } else {
        focusedThumb_.Reset(thumbWidth_, thumbHeight_, 0xFF00FF00);
    }
    surface_ = SkinBuffer();
    drag_ = kIdle;
    update();
}

void CMySlider::SetRange(int min, int max) {
    scale_.min = std::min(min, max);
    scale_.max = std::max(min, max);
}

void CMySlider::SetPixelEnds(int atMin, int atMax) {
    scale_.pixelAtMin = atMin;
    scale_.pixelAtMax = atMax;
}

void CMySlider::SetPos(int value) {
    value_ = ClampSliderValue(scale_, value);
    MoveThumbTo(SliderValueToPixel(scale_, value_));
}

void CMySlider::MoveThumbTo(int pixel) {
    if (pixel == thumbPixel_) return;
    thumbPixel_ = pixel;
    update();
}

void CMySlider::RedrawNow() {
    if (surface_.Empty()) return;
    repaint();
}

void CMySlider::Post() {
    if (owner_) owner_->PostMessage(WM_SLIDER_POS, static_cast<WPARAM>(id_), value_);
}

void CMySlider::Step(int delta) {
    const int v = ClampSliderValue(
        scale_, static_cast<int>(std::clamp<long long>(static_cast<long long>(value_) + delta,
                                                       std::numeric_limits<int>::min(),
                                                       std::numeric_limits<int>::max())));
    if (v == value_) return;
    value_ = v;
    Post();
    MoveThumbTo(SliderValueToPixel(scale_, value_));
}

int CMySlider::Along(const QPointF& p) const {
    return static_cast<int>(std::floor(vertical_ ? p.y() : p.x()));
}

void CMySlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const int c = Along(event->position());
        const int p = thumbPixel_;
        const int s = ThumbLength();
        if (c > p && c < p + s) {
            drag_ = kArmed;
            lastCoordinate_ = c;
        } else if (c < p) {
            Step(-1);
        } else if (c > p + s) {
            Step(+1);
        }
    }
    // Taken here, so a click on the slider never reaches the page beneath it.
    event->accept();
}

void CMySlider::mouseMoveEvent(QMouseEvent* event) {
    const int c = Along(event->position());
    // A press arms the drag; it starts once the mouse has gone 2 pixels, and
    // then moves the thumb by the whole distance from the press.
    if (drag_ == kArmed && std::abs(c - lastCoordinate_) >= 2) drag_ = kDragging;
    if (drag_ == kDragging) {
        const int pixel = ClampSliderPixel(scale_, thumbPixel_ + (c - lastCoordinate_));
        if (pixel != thumbPixel_) {
            thumbPixel_ = pixel;
            RedrawNow();
            value_ = ClampSliderValue(scale_, SliderPixelToValue(scale_, pixel));
            // Posted on every pixel moved, even when the rounded value stays.
            Post();
        }
        // Kept even when the thumb stood at an end, so travel beyond the end is
        // not remembered and the thumb comes back as soon as the mouse turns.
        lastCoordinate_ = c;
    }
    event->accept();
}

void CMySlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) drag_ = kIdle;
    event->accept();
}

void CMySlider::wheelEvent(QWheelEvent* event) {
    // One step per notch, however the platform splits or joins the notches
    // into events. A tilt wheel reports along x only.
    const QPoint d = event->angleDelta();
    const int notches = wheelNotches_.Add(this, d.y() != 0 ? d.y() : d.x());
    // A turn away from the user moves a vertical slider up, toward a smaller
    // value, and a horizontal one to the right.
    const int away = vertical_ ? -1 : +1;
    for (int i = 0; i < std::abs(notches); ++i) Step(notches > 0 ? away : -away);
    event->accept();
}

void CMySlider::focusOutEvent(QFocusEvent* event) {
    // A part notch turned before the focus left belongs to no later turn.
    wheelNotches_.Reset();
    QWidget::focusOutEvent(event);
}

void CMySlider::keyPressEvent(QKeyEvent* event) {
    int direction = 0;
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            direction = +1;
            break;
        case Qt::Key_Left:
        case Qt::Key_Down:
            direction = -1;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    // A vertical slider's value grows downward, so "up" lowers it.
    Step(vertical_ ? -direction : direction);
    event->accept();
}

void CMySlider::Compose() {
    SkinCanvas& surface = surface_.Canvas();
    CopyImage(surface, track_.Image());

    const SkinImage& lit = lit_.Image();
    if (lit.width == surface.width && lit.height == surface.height) {
        if (vertical_) {
            // From the thumb down: p = 0 lights the whole track, p < 0 nothing.
            const int p = std::min(thumbPixel_, surface.height - 1);
            if (p >= 0) CopyRows(surface, lit, p, surface.height - 1);
        } else {
            // From the left end up to the thumb: p <= 0 lights nothing.
            const int p = std::min(thumbPixel_, surface.width - 1);
            if (p > 0) CopyColumns(surface, lit, 0, p);
        }
    }

    const SkinImage& thumb = focused_ ? focusedThumb_.Image() : thumb_.Image();
    if (vertical_) {
        AlphaBlit(surface, thumb, 0, thumbPixel_);
    } else {
        AlphaBlit(surface, thumb, thumbPixel_, 0);
    }
    if (!isEnabled()) DimImage(surface);
}

void CMySlider::paintEvent(QPaintEvent*) {
    // Before Setup there is nothing to paint.
    if (clientWidth_ <= 0 || clientHeight_ <= 0) return;
    if (surface_.Empty()) surface_.Reset(clientWidth_, clientHeight_);
    Compose();
    QPainter painter(this);
    BlitSurface(painter, surface_.Canvas());
}
