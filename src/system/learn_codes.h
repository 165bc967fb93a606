#pragma once
// The unit's 32 learnable functions and how a learned code is shown. Slot
// s = 1..32 is LearnCodes[s - 1]; slots 30..32 exist in the table and on
// the wire but have no function, so they are never offered.
#include <string>

#include "model/param_image.h"

constexpr int kLearnFirstSlot = 1;
constexpr int kLearnLastSlot = static_cast<int>(kLearnCodeCount);
// Slots after this one have no function: their buttons and edits are hidden.
constexpr int kLearnVisibleSlots = 29;

constexpr bool IsLearnSlot(int slot) { return slot >= kLearnFirstSlot && slot <= kLearnLastSlot; }

// The function a slot stands for ("Mute", "M1", ...); one blank for the
// three slots without one, empty outside 1..32.
std::string LearnFunctionName(int slot);

// The code bytes as lower-case hex pairs without separators ("01ab7f");
// empty for an empty code or a length the unit never reports (above 8).
std::string LearnCodeText(const LearnCode& code);

// The learn slot's code: nullptr outside 1..32.
LearnCode* LearnCodeOf(ParamImage& image, int slot);
