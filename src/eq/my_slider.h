#pragma once
// CMySlider: the skinned slider. A track, a lit copy of the track between one
// end and the thumb, and a thumb moving over them. The value maps linearly to
// the thumb pixel; every change the user makes (click, drag, wheel, arrow
// keys) is posted to the owner as WM_SLIDER_POS (wParam the control id,
// lParam the value). SetPos moves the thumb without a message.
#include <QWidget>
#include <cstdint>

#include "eq/skin_catalogue.h"
#include "eq/skin_image.h"
#include "eq/slider_scale.h"
#include "platform/wheel_notches.h"

namespace platform {
class Window;
}

class CMySlider : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHorizontal = 1;  // Setup flags bit 0

    // Registers itself with the owner under id; owner receives WM_SLIDER_POS.
    CMySlider(platform::Window* owner, int id, QWidget* parent = nullptr);
    ~CMySlider() override;

    // Builds the composites from the widget's size: call it once the slider is
    // placed. track and lit come together (both or neither); without them the
    // track is plain 0x00FF0000. Without a focused thumb the focused look is a
    // solid 0xFF00FF00 block. Afterwards range 0 .. travel, pixel ends 0 and
    // travel (client length less thumb length), value 0.
    void Setup(const SkinImage* track, const SkinImage* lit, const SkinImage* thumb,
               const SkinImage* focusedThumb, std::uint32_t bgColour, int flags);
    void Setup(const SliderSkins& skins, std::uint32_t bgColour, int flags) {
        Setup(skins.track, skins.lit, skins.thumb, skins.focusedThumb, bgColour, flags);
    }

    // Range and pixel ends take effect with the next SetPos. Reversed bounds
    // are ordered.
    void SetRange(int min, int max);
    void SetPixelEnds(int atMin, int atMax);

    // Clamps to min .. max, stores the value and moves the thumb; repaints only
    // when the thumb pixel changes. Never posts.
    void SetPos(int value);

    // The focused thumb is drawn while set; the owner calls RedrawNow after.
    void SetFocused(bool focused) { focused_ = focused; }
    bool Focused() const { return focused_; }
    // Paints at once; nothing before the first paint.
    void RedrawNow();

    int Id() const { return id_; }
    int Value() const { return value_; }
    int Min() const { return scale_.min; }
    int Max() const { return scale_.max; }
    int PixelAtMin() const { return scale_.pixelAtMin; }
    int PixelAtMax() const { return scale_.pixelAtMax; }
    int ThumbPixel() const { return thumbPixel_; }
    bool Vertical() const { return vertical_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    enum DragState { kIdle, kArmed, kDragging };

    int Along(const QPointF& p) const;  // y on a vertical slider, x on a horizontal one
    int ThumbLength() const { return vertical_ ? thumbHeight_ : thumbWidth_; }
    // A user change of value by delta: posted unless clamping leaves it as it was.
    void Step(int delta);
    void Post();
    void MoveThumbTo(int pixel);  // repaints later when the pixel changes
    void Compose();

    platform::Window* owner_;
    int id_;
    SkinBuffer thumb_;
    SkinBuffer focusedThumb_;
    SkinBuffer track_;
    SkinBuffer surface_;  // created on the first paint
    SkinBuffer lit_;
    bool vertical_ = true;
    bool focused_ = false;
    int flags_ = 0;
    int thumbWidth_ = 0;
    int thumbHeight_ = 0;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int value_ = 0;
    SliderScale scale_{0, 100, 0, 0};
    int thumbPixel_ = 0;
    DragState drag_ = kIdle;
    int lastCoordinate_ = 0;
    platform::WheelNotches wheelNotches_;
};
