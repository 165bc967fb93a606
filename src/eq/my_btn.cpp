#include "eq/my_btn.h"

#include <QPaintEvent>
#include <QPainter>

#include "eq/skin_surface.h"
#include "platform/color.h"
#include "platform/window.h"

CMyBtn::CMyBtn(platform::Window* owner, int id, QWidget* parent)
    : QAbstractButton(parent ? parent : owner), id_(id) {
    // The checked state is the owner's; Qt's own check state stays off.
    setCheckable(false);
    if (owner) owner->AddControl(id, this);
}

CMyBtn::~CMyBtn() = default;

void CMyBtn::Setup(const ButtonSkins& images, int flags, std::uint32_t bgColour,
                   std::uint32_t plainFill, std::uint32_t stateFill) {
    look_ = flags & 0xF;
    align_ = (flags >> 4) & 0xF;
    const int w = width(), h = height();

    if (images[4]) {
        background_.Reset(w, h, bgColour);
        AlphaBlit(background_.Canvas(), *images[4], 0, 0);
    } else {
        background_.Reset(w, h, plainFill);
    }
    for (std::size_t i = 0; i < states_.size(); ++i) {
        states_[i].Reset(w, h, stateFill);
        if (images[i]) CopyImage(states_[i].Canvas(), *images[i]);
    }
    surface_ = SkinBuffer();
    update();
}

void CMyBtn::SetupPageButton(const ButtonSkins& images) {
    Setup(images, Flags(kLookCheck, kAlignCentre), 0xC8C8C8, 0xC8C8C8, 0xC8C8C8);
    textColour_ = 0xF0F0F0;
}

void CMyBtn::SetChecked(bool checked) {
    if (checked_ == checked) return;
    checked_ = checked;
    update();
}

void CMyBtn::SetTextColour(std::uint32_t colorref) {
    if (textColour_ == colorref) return;
    textColour_ = colorref;
    update();
}

void CMyBtn::SetTextLeft(int left) {
    if (textLeft_ == left) return;
    textLeft_ = left;
    update();
}

void CMyBtn::SetTextRight(int right) {
    if (textRight_ == right) return;
    textRight_ = right;
    update();
}

QRect CMyBtn::TextRect() const {
    QRect box = rect();
    box.setLeft(textLeft_);
    box.setRight(box.right() - textRight_);
    return box;
}

int CMyBtn::StateIndex() const {
    const bool pressed = isDown();
    if (look_ == kLookPush) return pressed ? 1 : 0;
    if (pressed) return checked_ ? 3 : 1;
    return checked_ ? 2 : 0;
}

void CMyBtn::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const SkinImage& bg = background_.Image();
    if (surface_.Empty() && !bg.Empty()) surface_.Reset(bg.width, bg.height);
    if (!surface_.Empty()) {
        SkinCanvas& surface = surface_.Canvas();
        CopyImage(surface, bg);
        AlphaBlit(surface, states_[static_cast<std::size_t>(StateIndex())].Image(), 0, 0);
        BlitSurface(painter, surface);
    }

    // The caption goes straight onto the widget, over the blitted face.
    painter.setPen(platform::ColorFromRef(isEnabled() ? textColour_ : kDisabledTextColour));
    const QRect box = TextRect();
    int horizontal = Qt::AlignHCenter;
    if (align_ == kAlignLeft) horizontal = Qt::AlignLeft;
    if (align_ == kAlignRight) horizontal = Qt::AlignRight;
    painter.drawText(box, horizontal | Qt::AlignVCenter | Qt::TextSingleLine, text());
}
