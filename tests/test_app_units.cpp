// The pure pieces of the forms: reading numbers from settings text and the
// resize rule.
#include <gtest/gtest.h>

#include "app/main_layout.h"
#include "app/number_text.h"

namespace qv {
namespace {

TEST(NumberText, LeadingNumberOrZero) {
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val("12abc"), 12);
    EXPECT_EQ(Val("  -3 4x"), -34);  // blanks are ignored anywhere
    EXPECT_EQ(Val("1.5e2z"), 150);
    EXPECT_EQ(Val("1.5e"), 1.5);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("&H1F"), 31);
    EXPECT_EQ(Val("&O17"), 15);
    EXPECT_EQ(Val("&H10"), 16);  // 0 digits inside and at the end count
    EXPECT_EQ(Val("&H100"), 256);
    EXPECT_EQ(Val("&O10"), 8);
    EXPECT_EQ(Val("１２"), 0);  // full-width digits are no number
}

TEST(NumberText, RoundsHalfToEvenInsideThe32BitRange) {
    EXPECT_EQ(CLng(2.5), 2);
    EXPECT_EQ(CLng(3.5), 4);
    EXPECT_EQ(CLng(-2.5), -2);
    EXPECT_EQ(CLng(1e20), INT32_MAX);
    EXPECT_EQ(CLng(-1e20), INT32_MIN);
}

// The default size, 5000 twips wide, too narrow and minimized are the form
// tests'; a height between the two thresholds fits the tree, not the list.
TEST(MainLayout, LowWindowSizesTheTreeOnly) {
    const MainLayout low = ComputeMainLayout(8000, 1000, 255, 4395);
    EXPECT_EQ(low.tv1Height, 1000 - 255 - 90);
    EXPECT_FALSE(low.lstHeight);
    EXPECT_EQ(low.tv1Width, 8000 - 3975);
}

}  // namespace
}  // namespace qv
