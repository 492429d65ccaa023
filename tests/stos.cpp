// The number stack on its own.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "funkcje.h"

namespace {

std::string listing(node *const *top)
{
    testing::internal::CaptureStdout();
    showall(top);
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

void empty(node **top)
{
    while (*top != nullptr)
        pop(top);
}

TEST(Stos, EmptyStackCountsZeroAndListsNothing)
{
    node *top = nullptr;
    EXPECT_EQ(count(&top), 0);
    EXPECT_EQ(count(&top, 1), 0);
    EXPECT_EQ(listing(&top), "");
}

TEST(Stos, PopReturnsInReverseOrderAndEmptiesTheHandle)
{
    node *top = nullptr;
    for (std::int32_t v : {1, 2, 3})
        push(&top, v);
    EXPECT_EQ(count(&top), 3);
    EXPECT_EQ(listing(&top), "3 2 1 ");
    EXPECT_EQ(pop(&top), 3);
    EXPECT_EQ(pop(&top), 2);
    EXPECT_EQ(pop(&top), 1);
    EXPECT_EQ(top, nullptr);
    EXPECT_EQ(count(&top), 0);
}

TEST(Stos, ExtremeValuesSurvive)
{
    node *top = nullptr;
    push(&top, INT32_MIN);
    push(&top, INT32_MAX);
    EXPECT_EQ(listing(&top), "2147483647 -2147483648 ");
    EXPECT_EQ(pop(&top), INT32_MAX);
    EXPECT_EQ(pop(&top), INT32_MIN);
}

// The checks of the commands ask only "0, 1 or more?", so a bound must stop the walk
// without changing the answer below it.
TEST(Stos, CountStopsAtItsLimit)
{
    node *top = nullptr;
    for (int i = 0; i < 1000; ++i)
        push(&top, i);
    EXPECT_EQ(count(&top), 1000);
    EXPECT_EQ(count(&top, 2), 2);
    EXPECT_EQ(count(&top, 1000), 1000);
    EXPECT_EQ(count(&top, 5000), 1000);
    empty(&top);
    push(&top, 7);
    EXPECT_EQ(count(&top, 2), 1);
    empty(&top);
}

} // namespace
