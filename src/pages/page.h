#pragma once
// What every page has in common: a child window of the main dialog on the
// light page background, swallowing Enter and Escape, turning the nudge keys
// into WM_KEY_NUDGE for the main window.
#include <span>

#include "platform/window.h"

class QGroupBox;
struct ParamImage;

// A control's caption from the UI text table: one row in every kind, or a
// row for KTV and another for the cinema and auto kinds (otherRow >= 0).
struct PageCaption {
    int id;
    int row;
    int otherRow = -1;
};
// The row a caption shows in a kind (SystemMode; any kind but 0 reads as
// cinema or auto).
constexpr int CaptionRow(const PageCaption& caption, int systemMode) {
    return systemMode != 0 && caption.otherRow >= 0 ? caption.otherRow : caption.row;
}

class CPage : public platform::Window {
    Q_OBJECT
public:
    // The main window that receives the page's commands and nudges.
    explicit CPage(platform::Window* mainWindow);

    // Recaptions the page's controls in this language (0 English, 1 Chinese).
    virtual void SetLanguage(int language);
    int Language() const { return language_; }
    // The page's captions from the text table; a control the page lacks is
    // skipped.
    virtual std::span<const PageCaption> Captions() const { return {}; }
    // Sets every caption of Captions() for the page's language and the
    // image's kind (KTV before the page is wired).
    void ApplyCaptions();

    // Hands the page the parameter image it edits. Until then the page edits
    // nothing.
    virtual void Wire(ParamImage* image) { image_ = image; }
    ParamImage* Image() const { return image_; }
    // Posts WM_SEND_COMMAND (code, lParam) to the main window; the image
    // already holds what the command carries.
    void PostCommand(unsigned code, LPARAM lParam);

protected:
    platform::Window* Main() const { return main_; }
    bool OnKeyDown(int qtKey, const QString& text) override;
    void paintEvent(QPaintEvent* event) override;

private:
    platform::Window* main_;
    ParamImage* image_ = nullptr;
    int language_ = 0;
};

// A group box of a page: its caption in the pages' group colour, under the
// controls it frames.
QGroupBox* CreateGroupBox(CPage* page, int id, const QRect& rect);

// The nudge keys of every page and the main window: A/Q music down/up,
// S/W microphone, D/E effect. Returns false for any other key.
bool NudgeForKey(int qtKey, int* column, int* up);
