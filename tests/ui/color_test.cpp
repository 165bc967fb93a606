// Colours in the Windows order 0x00BBGGRR.
#include "platform/color.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(ColorFromRef, ReadsBlueGreenRedFromHighToLow) {
    const struct {
        std::uint32_t ref;
        int r, g, b;
    } cases[] = {
        {0xF6732E, 46, 115, 246},  // the group-box captions' blue
        {0xF0F0F0, 240, 240, 240},
        {0x0000FF, 255, 0, 0},
        {0x00FF00, 0, 255, 0},
        {0xFF0000, 0, 0, 255},
        {0x000000, 0, 0, 0},
        {0xFF123456, 0x56, 0x34, 0x12},  // the top byte is not part of the colour
    };
    for (const auto& c : cases) {
        const QColor color = platform::ColorFromRef(c.ref);
        EXPECT_EQ(color.red(), c.r) << std::hex << c.ref;
        EXPECT_EQ(color.green(), c.g) << std::hex << c.ref;
        EXPECT_EQ(color.blue(), c.b) << std::hex << c.ref;
        EXPECT_EQ(color.alpha(), 255) << std::hex << c.ref;
    }
}

}  // namespace
