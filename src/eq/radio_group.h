#pragma once
// A group of skinned radio buttons (CMyBtn in the check look) that keeps the
// index it last showed: at most one button checked, and a show of the index
// already shown changes nothing. An index from the unit or a file that lies
// outside the group checks no button and is never used to index one.
#include <initializer_list>
#include <vector>

class CMyBtn;

class RadioGroup {
public:
    RadioGroup() = default;
    explicit RadioGroup(std::initializer_list<CMyBtn*> buttons) : buttons_(buttons) {}

    // Checks the button at index alone; outside 0..count-1 none. False when
    // the group already showed this index.
    bool Show(int index);
    // The index shown; -1 for none.
    int Index() const { return index_; }
    int Count() const { return static_cast<int>(buttons_.size()); }
    bool Contains(int index) const { return index >= 0 && index < Count(); }
    CMyBtn* Button(int index) const { return Contains(index) ? buttons_[index] : nullptr; }

private:
    std::vector<CMyBtn*> buttons_;
    int index_ = -1;
};
