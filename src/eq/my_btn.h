#pragma once
// CMyBtn: the skinned push button, check box and radio button. It shows one of
// four state pictures over a prepared background and writes its caption on
// top. It keeps no logic: a click reaches the owner as clicked(), and only the
// owner sets checked (a click never changes it).
#include <QAbstractButton>
#include <array>
#include <cstdint>

#include "eq/skin_catalogue.h"
#include "eq/skin_image.h"

namespace platform {
class Window;
}

class CMyBtn : public QAbstractButton {
    Q_OBJECT
public:
    // ButtonLook, flags bits 0-3.
    static constexpr int kLookPush = 0;   // normal and pressed only
    static constexpr int kLookCheck = 1;  // all four states
    // TextAlign, flags bits 4-7.
    static constexpr int kAlignCentre = 0;
    static constexpr int kAlignLeft = 1;
    static constexpr int kAlignRight = 2;
    static constexpr int Flags(int look, int align) { return (look & 0xF) | (align & 0xF) << 4; }

    // Registers itself with the owner under id (owner may be null).
    CMyBtn(platform::Window* owner, int id, QWidget* parent = nullptr);
    ~CMyBtn() override;

    // images: normal, pressed, checked, checked and pressed, background; any
    // may be null. The fills are pixel words 0xAARRGGBB: the background
    // composite is bgColour with images[4] blended over it, or plainFill when
    // there is no background image; each state composite is stateFill with its
    // image copied raw over it, so stateFill's alpha decides what shows around
    // the image. Reads the widget's size: call it once the button is placed.
    void Setup(const ButtonSkins& images, int flags, std::uint32_t bgColour,
               std::uint32_t plainFill, std::uint32_t stateFill);
    // The main window's page buttons: check look, centred caption in 0xF0F0F0,
    // all fills 0xC8C8C8.
    void SetupPageButton(const ButtonSkins& images);

    // Each setter repaints when the value changes.
    void SetChecked(bool checked);
    bool Checked() const { return checked_; }
    // A Windows COLORREF, 0x00BBGGRR.
    void SetTextColour(std::uint32_t colorref);
    std::uint32_t TextColour() const { return textColour_; }
    // Left edge in pixels of the caption's rectangle.
    void SetTextLeft(int left);
    int TextLeft() const { return textLeft_; }
    // Pixels kept clear of the caption at the right edge, so a right-aligned
    // caption stays off a framed picture's border.
    void SetTextRight(int right);
    int TextRight() const { return textRight_; }
    // Where the caption is written: the button between its text margins.
    QRect TextRect() const;

    int Id() const { return id_; }
    int Look() const { return look_; }
    int Align() const { return align_; }
    // 0 normal, 1 pressed, 2 checked, 3 checked and pressed: what a paint
    // shows now.
    int StateIndex() const;

    static constexpr std::uint32_t kDisabledTextColour = 0xA0A0A0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int id_;
    int look_ = kLookPush;
    std::array<SkinBuffer, 4> states_;
    SkinBuffer background_;
    SkinBuffer surface_;  // created on the first paint
    bool checked_ = false;
    int align_ = kAlignCentre;
    std::uint32_t textColour_ = 0;
    int textLeft_ = 0;
    int textRight_ = 0;
};
