#include "platform/window.h"

#include <gtest/gtest.h>

TEST(Window, Placeholder) {
    platform::Window w;
    EXPECT_EQ(w.Control(1), nullptr);
}
