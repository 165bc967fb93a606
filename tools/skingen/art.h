#pragma once
// The look of every skin: one drawing per catalogue use.
#include <optional>

#include "eq/skin_catalogue.h"
#include "raster.h"

namespace skingen {

// The picture of one catalogue entry, at the entry's size; nothing for an
// entry that has no drawing.
std::optional<Canvas> Draw(const SkinSpec& spec);

}  // namespace skingen
