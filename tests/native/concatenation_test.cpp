#include <gtest/gtest.h>

#include "base/concatenation.h"

namespace qlora {
namespace {

TEST(Concatenation, StartsEmpty) {
    const clsConcatenation c;
    EXPECT_EQ(c.Value(), L"");
    EXPECT_EQ(c.Length(), 0);
    EXPECT_EQ(c.Capacity(), 0);
}

TEST(Concatenation, GrowsByMoreThanEverythingUsedSoFar) {
    clsConcatenation c;
    c.Concat(L"abc");
    EXPECT_EQ(c.Capacity(), 14);  // 7 characters, 3 of them used
    EXPECT_EQ(c.Value(), L"abc");
    EXPECT_EQ(c.Length(), 3);
    c.Concat(L"de");  // fits: byte 11 <= 14
    EXPECT_EQ(c.Capacity(), 14);
    c.Concat(L"fg");  // end 15 > 14: 15 more characters
    EXPECT_EQ(c.Capacity(), 44);
    EXPECT_EQ(c.Value(), L"abcdefg");
}

TEST(Concatenation, EmptyAppendChangesNothing) {
    clsConcatenation c;
    c.Concat(L"");
    EXPECT_EQ(c.Value(), L"");
    EXPECT_EQ(c.Length(), 0);
    c.Concat(L"x");
    c.Concat(L"");
    EXPECT_EQ(c.Value(), L"x");
    EXPECT_EQ(c.Length(), 1);
}

TEST(Concatenation, ClearKeepsTheBufferAndLaterAppendsOverwriteFromTheStart) {
    clsConcatenation c;
    c.Concat(L"Offer||C:\\T\\Offer.doc");
    c.Concat(L"|>|");
    const auto capacity = c.Capacity();
    c.Clear();
    EXPECT_EQ(c.Value(), L"");
    EXPECT_EQ(c.Length(), 0);
    EXPECT_EQ(c.Capacity(), capacity);
    c.Concat(L"ab");
    EXPECT_EQ(c.Value(), L"ab");
}

TEST(Concatenation, ManyAppendsJoinInOrder) {
    clsConcatenation c;
    std::wstring plain;
    for (int i = 0; i < 2000; ++i) {
        const auto piece = std::to_wstring(i) + L"|>|";
        c.Concat(piece);
        plain += piece;
    }
    EXPECT_EQ(c.Value(), plain);
    EXPECT_EQ(c.Length(), static_cast<int32_t>(plain.size()));
}

}  // namespace
}  // namespace qlora
