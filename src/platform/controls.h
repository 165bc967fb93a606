#pragma once
// Standard controls whose handlers run for the user's action only, never when
// code sets the control: a page refresh that pushes the parameter image into
// its controls must not read as the user's change and send a command back.
// Built on Qt's user-only signals; the setters use Qt calls that never raise
// them.
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace platform {

// The user picked an item (mouse, keyboard or wheel), even the current one.
void OnUserSelect(QComboBox* combo, std::function<void(int index)> fn);
// The user typed in the edit: each change, with the whole text in UTF-8.
void OnUserEdit(QLineEdit* edit, std::function<void(const std::string& utf8)> fn);
// The user clicked the button (mouse or space); a check box is already
// toggled when fn runs.
void OnUserClick(QAbstractButton* button, std::function<void()> fn);

// The edit takes only text whose every character has a GBK form: typed or
// pasted text with one it lacks is refused whole, as the unit's texts travel
// as GBK bytes.
void AcceptOnlyGbk(QLineEdit* edit);

// An index the list does not hold (a value from the unit or a file out of
// range) selects nothing.
void SetComboSelection(QComboBox* combo, int index);
// Empties the combo, adds the items, then selects index as SetComboSelection.
void FillCombo(QComboBox* combo, const std::vector<std::string>& items, int index);
void SetEditText(QLineEdit* edit, const std::string& utf8);
// Replaces a combo's items and keeps the selected index: none stays none, an
// index the new list lacks selects none.
void RefillCombo(QComboBox* combo, const std::vector<std::string>& utf8Items);

// A list of rows and columns as a report list with grid lines shows it: a
// line under every row and after every column, the whole row selected.
void ShowAsGridList(QTreeWidget* list);
inline constexpr unsigned kGridLineRgb = 0xD0D0D0;

}  // namespace platform
