#include "eq/radio_group.h"

#include "eq/my_btn.h"

bool RadioGroup::Show(int index) {
    if (!Contains(index)) index = -1;
    if (index == index_) return false;
    index_ = index;
    for (int i = 0; i < Count(); ++i)
        if (buttons_[static_cast<std::size_t>(i)])
            buttons_[static_cast<std::size_t>(i)]->SetChecked(i == index);
    return true;
}
