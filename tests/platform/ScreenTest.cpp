// The replaceable screen depth and Caps Lock state.
#include <gtest/gtest.h>

#include "platform/Screen.h"

TEST(Screen, DefaultsAndReplacements) {
    EXPECT_EQ(plat::ScreenColourDepth(), 32);
    EXPECT_FALSE(plat::CapsLockOn());
    plat::SetScreenDepthSource([] { return 4; });
    plat::SetCapsLockSource([] { return true; });
    EXPECT_EQ(plat::ScreenColourDepth(), 4);
    EXPECT_TRUE(plat::CapsLockOn());
    plat::SetScreenDepthSource({});
    plat::SetCapsLockSource({});
    EXPECT_EQ(plat::ScreenColourDepth(), 32);
    EXPECT_FALSE(plat::CapsLockOn());
}
