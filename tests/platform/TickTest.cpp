// Tick count source and wrap-safe comparison; the message hook.
#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "platform/Tick.h"
#include "support/TestSupport.h"

TEST(Tick, ReplaceableSourceAndWrap) {
    plat::SetTickSource([] { return 0xFFFFFFF0u; });
    EXPECT_EQ(plat::GetTickCount(), 0xFFFFFFF0u);
    plat::SetTickSource({});
    EXPECT_TRUE(plat::TickAfter(5u, 0xFFFFFFF0u)) << "5 comes after a wrap";
    EXPECT_FALSE(plat::TickAfter(0xFFFFFFF0u, 5u));
    EXPECT_FALSE(plat::TickAfter(7u, 7u));
}

TEST(MessageBox, CaptureAndRestore) {
    {
        fbwtest::MessageCapture capture(plat::MsgAnswer::No);
        EXPECT_EQ(plat::ShowMessage(plat::MsgKind::Question, "Save?", plat::MsgButtons::YesNo),
                  plat::MsgAnswer::No);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text, "Save?");
        EXPECT_EQ(capture.Messages()[0].kind, plat::MsgKind::Question);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat::ShowMessage(plat::MsgKind::Error, "boom"), plat::MsgAnswer::Ok);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "error: boom\n");
}
