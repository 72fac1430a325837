#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>

#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "support/fake_ports.h"
#include "toolbar/display_names.h"

namespace qlora {
namespace {

// The add-in writes its numbers without printf; each must read as printf writes it, rounding included.
TEST(Numbers, ReadAsTheCLibraryWritesThem) {
    const auto printed = [](const wchar_t* format, auto... values) {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, format, values...);
        return std::wstring(buffer);
    };
    for (const long long n : {0LL, 7LL, -7LL, 2026LL, 123456LL, LLONG_MIN, LLONG_MAX})
        EXPECT_EQ(text::Decimal(n) + L"|" + text::ZeroPadded(n, 4), printed(L"%lld|%04lld", n, n));
    for (const uint32_t n : {0u, 10u, 0x800A01A8u, 0xFFFFFFFFu}) EXPECT_EQ(text::Hexadecimal(n), printed(L"%X", n));
    for (const double d : {0.0, -0.0, -2.5, 1.0 / 3, 2.0 / 3, 0.30000000000000004, 999999999999999.0, 1e15,
                           9999999999999995.0, 1.5e-5, 0.0001, 5e-324, 1.7976931348623157e308, 1000000000000002.5, 4.35,
                           1e100, 99999.99999999999, HUGE_VAL, -HUGE_VAL})
        EXPECT_EQ(text::Significant15(d), printed(L"%.15G", d)) << d;
    EXPECT_EQ(text::Significant15(std::nan("")), L"NAN");
}

TEST(LanguageTexts, BothTablesHoldTheSameEightySixNumbers) {
    EXPECT_EQ(TextCount(), 86);
    int numbered = 0;
    for (int16_t n = -1; n < 400; ++n) {
        EXPECT_EQ(LNG_1(n).empty(), LNG_2(n).empty()) << n;
        numbered += !LNG_1(n).empty();
    }
    EXPECT_EQ(numbered, 63);
}

class TextLanguage : public ::testing::Test {
protected:
    void TearDown() override { SetLngId(saved_), basDisplayNames::ClearNamesList(); }
    int16_t saved_ = gLngId();
    testing::TrailFixturePorts ports;
};

TEST_F(TextLanguage, FixedByTheFirstLookupWhileTheCatalogueFollowsIt) {
    for (const auto* s : {L"German ", L"german", L"", L"Swiss German"})
        EXPECT_EQ(basGlobal::LanguageIndexOf(s), basGlobal::kEnglish) << s;
    const auto name = [](const wchar_t* key, int32_t lng) { return basDisplayNames::GetDisplayName(key, lng); };
    for (int fill = 0; fill < 2; ++fill) basDisplayNames::FillNamesList();  // twice leaves one catalogue
    testing::FixedLocale locale(L"German");
    ScopedPort<UserLocale> slot(locale);
    basGlobal::SetLanguage();
    SetLngId(0);
    EXPECT_EQ(LNG_Main(298) + name(L"WildCard_Subject", -1), L"Vorlage gespeichert<<Betreff>>");
    locale.name.clear();  // a failed query; too late for the texts, not for the catalogue
    basGlobal::SetLanguage();
    EXPECT_EQ(LNG_Main(298) + name(L"WildCard_Subject", -1), L"Vorlage gespeichert<<Subject>>");
    SetLngId(0);
    EXPECT_EQ(LNG_Main(298), L"Template saved");
    SetLngId(3);
    EXPECT_EQ(LNG_Main(298), L"");
    ASSERT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_TRUE(ports.prompt.shown[0].text == L"Wrong LngId !?!" && ports.prompt.shown[0].buttons == MsgButtons::Ok);
    EXPECT_EQ(basDisplayNames::Count(), 34);
    EXPECT_EQ(name(L"WildCard_Subject", 0) + name(L"wildcard_subject", 1) + name(L"WildCard_BCC", 1),
              L"<<Betreff>><<Subject>><<BCC>>");
    EXPECT_EQ(name(L"WildCard_Subject", -2) + name(L"WildCard_Subject", 2) + name(L"WildCard_Nothing", 1), L"");
    basDisplayNames::ClearNamesList();  // it answered "<<Subject>>" before
    EXPECT_EQ(name(L"WildCard_Subject", 1), L"");
    EXPECT_TRUE(ports.view.reports.empty());
}

}  // namespace
}  // namespace qlora
