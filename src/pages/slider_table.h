#pragma once
// The value sliders of a page as rows of one table: each row says where its
// value lives in the parameter image (a byte, the level bits of a level
// byte, or a word), its range, its value label and the command a change
// posts. One piece of code stores, labels and posts for every page, and one
// handles the polarity buttons of level bytes.
//
// A slider remembers the last position its page handled and ignores a report
// of the same position; every position the program sets is remembered too,
// so a later move back to the old position still counts as a change.
#include <QRect>
#include <cstdint>
#include <span>
#include <vector>

#include "model/value_label.h"
#include "platform/window.h"

class CPage;
class CMyBtn;
class CMySlider;
struct ParamImage;

// Where a value lives in the parameter image.
struct SliderField {
    enum Kind { kByte, kLevel, kWord };
    Kind kind = kByte;
    int index = 0;  // into ParamBytes (kByte, kLevel) or ParamWords (kWord)

    static constexpr SliderField Byte(int i) { return {kByte, i}; }
    static constexpr SliderField Level(int i) { return {kLevel, i}; }
    static constexpr SliderField Word(int i) { return {kWord, i}; }
    bool operator==(const SliderField&) const = default;
};

// The value a field holds now (the level bits of a level byte); -1 when the
// index lies outside its area.
int ReadField(const ParamImage& image, SliderField field);
// Stores v; false when the field already held it (nothing to send) or the
// index lies outside its area.
bool StoreField(ParamImage& image, SliderField field, int v);

struct SliderRow {
    int id = 0;       // the CMySlider
    int labelId = 0;  // its value label; 0: none
    int min = 0;
    int max = 0;
    SliderField field;
    LabelFormat label;
    unsigned command = 0;
    LPARAM argument = 0;
};

class SliderTable {
public:
    explicit SliderTable(CPage& page) : page_(page) {}

    // The page has created the slider (and its label) under the row's ids;
    // the slider takes the row's range, and the label declares its widest
    // texts (platform::SetWidestTexts) for the layout test.
    void Add(const SliderRow& row);
    const SliderRow* Row(int id) const;
    // A kind switch or an echo type moves a row to another field, range or
    // label; the slider takes the new range. Sends nothing.
    void SetField(int id, SliderField field);
    void SetRange(int id, int min, int max);
    void SetLabel(int id, const LabelFormat& label);

    // WM_SLIDER_POS: false when id is none of the table's sliders. A new
    // position rewrites the label, stores the value and, when the stored
    // value changed, posts the row's command.
    bool OnSliderPos(int id, int pos);

    // Every slider's position and label from the image; remembers each
    // position set. Sends nothing.
    void Load();
    // Every label from the image.
    void RefreshLabels();
    void ShowLabel(int id, int v);

    // Polarity buttons of level bytes: "+" in phase, "-" inverted; checked
    // while inverted. A click toggles bit 7, keeps the level and always posts.
    // The page has created the button; the table answers its clicks.
    void AddPolarity(int buttonId, SliderField byte, unsigned command, LPARAM argument);
    void SetPolarityField(int buttonId, SliderField byte);
    // BN_CLICKED of a polarity button: false when it is none of the table's.
    bool OnPolarityClick(int buttonId);
    // Every polarity button's caption and check from the image. Sends nothing.
    void LoadPolarity();

private:
    struct Polarity {
        int buttonId;
        SliderField byte;
        unsigned command;
        LPARAM argument;
    };
    SliderRow* FindRow(int id);
    Polarity* FindPolarity(int id);
    void ShowPolarity(const Polarity& p, bool inverted);
    CMySlider* Slider(int id) const;
    // The row's label declares every text it can show in the row's range and
    // format, added to those of earlier ranges and formats. A range and format
    // declared before (a kind switch back, every refresh's layout) declares
    // nothing again.
    void DeclareLabelTexts(std::size_t row);

    CPage& page_;
    std::vector<SliderRow> rows_;
    std::vector<int> remembered_;  // per row; -1: none handled yet
    struct DeclaredTexts {
        LabelFormat label;
        int min, max;
    };
    std::vector<std::vector<DeclaredTexts>> declared_;  // per row
    std::vector<Polarity> polarity_;
};

// A page's value slider in the page skin, horizontal, ranged.
CMySlider* CreatePageSlider(CPage* page, int id, const QRect& rect, int min, int max);
constexpr int kPageSliderWidth = 135;
constexpr int kPageSliderHeight = 24;

// Where a row's controls stand on its page: the caption (id 0: none), the
// slider's top left corner, the value label.
struct SliderPlace {
    int captionId = 0;
    QRect caption;
    QPoint slider;
    QRect label;
};
// Creates the row's caption, slider and value label (plain labels) and adds
// the row to the table.
void CreateSliderRow(CPage* page, SliderTable& table, const SliderRow& row,
                     const SliderPlace& place);

// A row with its caption's text row and, for a level byte, its polarity
// button (0: none).
struct CaptionedRow {
    SliderRow row;
    int captionId, captionRow;
    int polarityId;
};
// A column of rows top-down, each a caption left of its slider, value label
// and polarity button.
struct SliderColumn {
    int captionX, captionWidth;
    int sliderX;
    int labelX, labelWidth;
    int polarityX;
    int top, step;
    std::uint32_t polarityFill;
    int RowY(int row) const { return top + row * step; }
};
// Creates the column's controls, adds its rows and polarity buttons to the
// table (a polarity click posts its row's command).
void CreateSliderColumn(CPage* page, SliderTable& table, const SliderColumn& column,
                        std::span<const CaptionedRow> rows);
// Sets every row's caption in the language.
void SetRowCaptions(CPage* page, std::span<const CaptionedRow> rows, int language);
// What a polarity button sits on: a grey square of its own on the output,
// reverb, echo and system pages, the page's own grey on the microphone and
// calibration pages.
constexpr std::uint32_t kPolarityGrey = 0xC0C0C0;
constexpr std::uint32_t kPolarityOnPage = 0xF0F0F0;
// A level byte's polarity button: the check look on its fill, captioned "+".
CMyBtn* CreatePolarityButton(CPage* page, int id, const QRect& rect, std::uint32_t fill);
