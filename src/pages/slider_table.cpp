#include "pages/slider_table.h"

#include <QLabel>
#include <algorithm>
#include <string>
#include <vector>

#include "eq/my_btn.h"
#include "eq/my_slider.h"
#include "eq/skin_catalogue.h"
#include "model/level_byte.h"
#include "model/param_image.h"
#include "model/ui_text.h"
#include "pages/page.h"
#include "platform/text_fit.h"

namespace {
constexpr std::uint32_t kPageBackground = 0xF0F0F0;

template <typename Area>
bool InArea(const Area& area, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < std::size(area);
}
}  // namespace

int ReadField(const ParamImage& image, SliderField field) {
    switch (field.kind) {
        case SliderField::kByte:
            return InArea(image.ParamBytes, field.index) ? image.ParamBytes[field.index] : -1;
        case SliderField::kLevel:
            return InArea(image.ParamBytes, field.index)
                       ? level_byte::Level(image.ParamBytes[field.index])
                       : -1;
        case SliderField::kWord:
            return InArea(image.ParamWords, field.index) ? image.ParamWords[field.index] : -1;
    }
    return -1;
}

bool StoreField(ParamImage& image, SliderField field, int v) {
    switch (field.kind) {
        case SliderField::kByte: {
            if (!InArea(image.ParamBytes, field.index)) return false;
            std::uint8_t& b = image.ParamBytes[field.index];
            if (b == static_cast<std::uint8_t>(v)) return false;
            b = static_cast<std::uint8_t>(v);
            return true;
        }
        case SliderField::kLevel: {
            if (!InArea(image.ParamBytes, field.index)) return false;
            std::uint8_t& b = image.ParamBytes[field.index];
            const std::uint8_t next = level_byte::WithLevel(b, v);
            if (b == next) return false;
            b = next;
            return true;
        }
        case SliderField::kWord: {
            if (!InArea(image.ParamWords, field.index)) return false;
            std::uint16_t& w = image.ParamWords[field.index];
            if (w == static_cast<std::uint16_t>(v)) return false;
            w = static_cast<std::uint16_t>(v);
            return true;
        }
    }
    return false;
}

void SliderTable::Add(const SliderRow& row) {
    rows_.push_back(row);
    remembered_.push_back(-1);
    declared_.emplace_back();
    if (CMySlider* slider = Slider(row.id)) slider->SetRange(row.min, row.max);
    DeclareLabelTexts(rows_.size() - 1);
}

void SliderTable::DeclareLabelTexts(std::size_t i) {
    const SliderRow& row = rows_[i];
    if (!row.labelId) return;
    std::vector<DeclaredTexts>& declared = declared_[i];
    const bool known =
        std::any_of(declared.begin(), declared.end(), [&row](const DeclaredTexts& d) {
            return d.label == row.label && d.min <= row.min && row.max <= d.max;
        });
    if (known) return;
    declared.push_back({row.label, row.min, row.max});
    std::vector<std::string> texts;
    for (int v = row.min; v <= row.max; ++v) texts.push_back(FormatValueLabel(row.label, v));
    platform::AddWidestTexts(page_.Control(row.labelId), texts);
}

SliderRow* SliderTable::FindRow(int id) {
    auto it =
        std::find_if(rows_.begin(), rows_.end(), [id](const SliderRow& r) { return r.id == id; });
    return it == rows_.end() ? nullptr : &*it;
}

const SliderRow* SliderTable::Row(int id) const {
    return const_cast<SliderTable*>(this)->FindRow(id);
}

CMySlider* SliderTable::Slider(int id) const { return page_.ControlAs<CMySlider>(id); }

void SliderTable::SetField(int id, SliderField field) {
    if (SliderRow* row = FindRow(id)) row->field = field;
}

void SliderTable::SetRange(int id, int min, int max) {
    SliderRow* row = FindRow(id);
    if (!row) return;
    row->min = min;
    row->max = max;
    if (CMySlider* slider = Slider(id)) slider->SetRange(min, max);
    DeclareLabelTexts(static_cast<std::size_t>(row - rows_.data()));
}

void SliderTable::SetLabel(int id, const LabelFormat& label) {
    SliderRow* row = FindRow(id);
    if (!row) return;
    row->label = label;
    DeclareLabelTexts(static_cast<std::size_t>(row - rows_.data()));
}

void SliderTable::ShowLabel(int id, int v) {
    const SliderRow* row = Row(id);
    if (row && row->labelId) page_.SetItemText(row->labelId, FormatValueLabel(row->label, v));
}

bool SliderTable::OnSliderPos(int id, int pos) {
    SliderRow* row = FindRow(id);
    if (!row) return false;
    int& remembered = remembered_[static_cast<std::size_t>(row - rows_.data())];
    if (pos == remembered) return true;
    remembered = pos;
    ShowLabel(id, pos);
    ParamImage* image = page_.Image();
    if (!image || pos < row->min || pos > row->max) return true;
    if (StoreField(*image, row->field, pos)) page_.PostCommand(row->command, row->argument);
    return true;
}

void SliderTable::Load() {
    const ParamImage* image = page_.Image();
    if (!image) return;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const SliderRow& row = rows_[i];
        const int value = ReadField(*image, row.field);
        if (value < 0) continue;
        CMySlider* slider = Slider(row.id);
        if (slider) slider->SetPos(value);
        // The slider now stands where the image says (clamped to its range).
        remembered_[i] = slider ? slider->Value() : value;
        ShowLabel(row.id, value);
    }
    LoadPolarity();
}

void SliderTable::RefreshLabels() {
    const ParamImage* image = page_.Image();
    if (!image) return;
    for (const SliderRow& row : rows_) {
        const int value = ReadField(*image, row.field);
        if (value >= 0) ShowLabel(row.id, value);
    }
}

void SliderTable::AddPolarity(int buttonId, SliderField byte, unsigned command, LPARAM argument) {
    polarity_.push_back({buttonId, byte, command, argument});
    if (CMyBtn* button = page_.ControlAs<CMyBtn>(buttonId))
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [this, buttonId] { OnPolarityClick(buttonId); });
}

SliderTable::Polarity* SliderTable::FindPolarity(int id) {
    auto it = std::find_if(polarity_.begin(), polarity_.end(),
                           [id](const Polarity& p) { return p.buttonId == id; });
    return it == polarity_.end() ? nullptr : &*it;
}

void SliderTable::SetPolarityField(int buttonId, SliderField byte) {
    if (Polarity* p = FindPolarity(buttonId)) p->byte = byte;
}

void SliderTable::ShowPolarity(const Polarity& p, bool inverted) {
    page_.SetItemText(p.buttonId, level_byte::PolarityCaption(inverted));
    if (CMyBtn* button = page_.ControlAs<CMyBtn>(p.buttonId)) button->SetChecked(inverted);
}

bool SliderTable::OnPolarityClick(int buttonId) {
    Polarity* p = FindPolarity(buttonId);
    if (!p) return false;
    ParamImage* image = page_.Image();
    if (!image || !InArea(image->ParamBytes, p->byte.index)) return true;
    std::uint8_t& b = image->ParamBytes[p->byte.index];
    b = level_byte::PolarityToggled(b);
    ShowPolarity(*p, level_byte::Inverted(b));
    page_.PostCommand(p->command, p->argument);
    return true;
}

void SliderTable::LoadPolarity() {
    const ParamImage* image = page_.Image();
    if (!image) return;
    for (const Polarity& p : polarity_)
        if (InArea(image->ParamBytes, p.byte.index))
            ShowPolarity(p, level_byte::Inverted(image->ParamBytes[p.byte.index]));
}

CMySlider* CreatePageSlider(CPage* page, int id, const QRect& rect, int min, int max) {
    auto* slider = new CMySlider(page, id, page);
    slider->setGeometry(rect);
    slider->Setup(PageSliderSkins(), kPageBackground, CMySlider::kHorizontal);
    slider->SetFocused(true);
    slider->SetRange(min, max);
    return slider;
}

CMyBtn* CreatePolarityButton(CPage* page, int id, const QRect& rect, std::uint32_t fill) {
    auto* button = new CMyBtn(page, id, page);
    button->setGeometry(rect);
    button->Setup(PolaritySkins(), CMyBtn::Flags(CMyBtn::kLookCheck, CMyBtn::kAlignCentre), fill,
                  fill, 0);
    button->setText("+");
    return button;
}

void CreateSliderRow(CPage* page, SliderTable& table, const SliderRow& row,
                     const SliderPlace& place) {
    if (place.captionId) {
        auto* caption = new QLabel(page);
        caption->setGeometry(place.caption);
        page->AddControl(place.captionId, caption);
    }
    CreatePageSlider(page, row.id, QRect(place.slider, QSize(kPageSliderWidth, kPageSliderHeight)),
                     row.min, row.max);
    if (row.labelId) {
        auto* label = new QLabel(page);
        label->setGeometry(place.label);
        page->AddControl(row.labelId, label);
    }
    table.Add(row);
}

void CreateSliderColumn(CPage* page, SliderTable& table, const SliderColumn& column,
                        std::span<const CaptionedRow> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CaptionedRow& r = rows[i];
        const int y = column.RowY(static_cast<int>(i));
        CreateSliderRow(
            page, table, r.row,
            {r.captionId, QRect(column.captionX, y, column.captionWidth, kPageSliderHeight),
             QPoint(column.sliderX, y),
             QRect(column.labelX, y, column.labelWidth, kPageSliderHeight)});
        if (r.polarityId) {
            CreatePolarityButton(page, r.polarityId, QRect(column.polarityX, y + 2, 20, 20),
                                 column.polarityFill);
            table.AddPolarity(r.polarityId, r.row.field, r.row.command, r.row.argument);
        }
    }
}

void SetRowCaptions(CPage* page, std::span<const CaptionedRow> rows, int language) {
    for (const CaptionedRow& r : rows)
        page->SetItemText(r.captionId, UiText(language, r.captionRow));
}
