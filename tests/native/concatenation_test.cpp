#include <gtest/gtest.h>

#include "base/concatenation.h"

namespace qlora {
namespace {

// The trail builds its reports with it: pieces join in order across every growth, and Clear starts
// over without keeping old text.
TEST(Concatenation, JoinsInOrderAndClearStartsOver) {
    clsConcatenation c;
    EXPECT_EQ(c.Value(), L"");
    std::wstring plain;
    for (int i = 0; i < 2000; ++i) {
        const auto piece = i % 7 == 0 ? std::wstring() : std::to_wstring(i) + L"|>|";
        c.Concat(piece);
        plain += piece;
    }
    EXPECT_EQ(c.Value(), plain);
    EXPECT_EQ(c.Length(), static_cast<int32_t>(plain.size()));
    c.Clear();
    EXPECT_EQ(c.Value(), L"");
    EXPECT_EQ(c.Length(), 0);
    c.Concat(L"ab");
    EXPECT_EQ(c.Value(), L"ab");
}

}  // namespace
}  // namespace qlora
