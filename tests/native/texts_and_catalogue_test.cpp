#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <limits>

#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"

namespace qlora {
namespace {

// The add-in writes its numbers itself, without the C library's printf: each must read as that
// printf writes it, rounding and exponent form included.
TEST(Numbers, ReadAsTheCLibraryWritesThem) {
    const auto printed = [](const wchar_t* format, auto value) {
        wchar_t buffer[64];
        std::swprintf(buffer, 64, format, value);
        return std::wstring(buffer);
    };
    for (const long long n : {0LL, 7LL, -7LL, 42LL, -100LL, 2026LL, 123456LL, LLONG_MIN, LLONG_MAX}) {
        EXPECT_EQ(text::Decimal(n), printed(L"%lld", n));
        EXPECT_EQ(text::ZeroPadded(n, 2), printed(L"%02lld", n));
        EXPECT_EQ(text::ZeroPadded(n, 4), printed(L"%04lld", n));
    }
    for (const uint32_t n : {0u, 9u, 10u, 0xABCDEFu, 0x800A01A8u, 0xFFFFFFFFu})
        EXPECT_EQ(text::Hexadecimal(n), printed(L"%X", n));
    const double numbers[] = {0.0, -0.0, 1.0, -2.5, 0.1, 1.0 / 3, 2.0 / 3, 123456789012345.0, 999999999999999.0,
                              9999999999999995.0, 1e15, 1e16, 1.5e-5, 0.0001, 0.00012345, 1e-300, 5e-324,
                              DBL_MAX, 1000000000000002.5, 3.14159265358979, 0.30000000000000004,
                              std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                              12345.678901234567, 1e21, 1e100, 4.35, 1e-5, 99999.99999999999};
    for (const double d : numbers) EXPECT_EQ(text::Significant15(d), printed(L"%.15G", d)) << d;
    EXPECT_EQ(text::Significant15(std::nan("")), L"NAN");
    EXPECT_EQ(text::DateTime(2026, 3, 9, 14, 5, 7), L"2026-03-09 14:05:07");
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

// The text language is fixed once for the process; these cases set it as the language selection does.
class TextLanguage : public ::testing::Test {
protected:
    void TearDown() override { SetLngId(saved_); }
    int16_t saved_ = gLngId();
    testing::RecordingPrompt prompt;
    ScopedPort<MessagePrompt> slot{prompt};
};

TEST_F(TextLanguage, FirstLookupFixesTheLanguageFromTheLanguageIndex) {
    SetLngId(0);
    basGlobal::gLanguage = basGlobal::kGerman;
    EXPECT_EQ(LNG_Main(298), L"Vorlage gespeichert");
    EXPECT_EQ(gLngId(), 1);
    basGlobal::gLanguage = basGlobal::kEnglish;  // too late: the texts stay German
    EXPECT_EQ(LNG_Main(298), L"Vorlage gespeichert");

    SetLngId(0);
    EXPECT_EQ(LNG_Main(298), L"Template saved");
    EXPECT_EQ(gLngId(), 2);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(TextLanguage, ImpossibleLanguageSaysSoAndGivesNothing) {
    SetLngId(3);
    EXPECT_EQ(LNG_Main(298), L"");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].text, L"Wrong LngId !?!");
    EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::Ok);
}

TEST(LanguageIndex, OnlyGermanExactlyIsGerman) {
    EXPECT_EQ(basGlobal::LanguageIndexOf(L"German"), basGlobal::kGerman);
    for (const wchar_t* other : {L"english", L"German ", L"german", L"", L"Swiss German", L"French"})
        EXPECT_EQ(basGlobal::LanguageIndexOf(other), basGlobal::kEnglish) << other;

    testing::FixedLocale locale(L"German");
    ScopedPort<UserLocale> slot(locale);
    basGlobal::SetLanguage();
    EXPECT_EQ(basGlobal::gLanguage, basGlobal::kGerman);
    locale.name.clear();  // a failed query
    basGlobal::SetLanguage();
    EXPECT_EQ(basGlobal::gLanguage, basGlobal::kEnglish);
}

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override { basDisplayNames::FillNamesList(); }
    void TearDown() override {
        basDisplayNames::ClearNamesList();
        basGlobal::gLanguage = basGlobal::kEnglish;
    }
    testing::TrailFixturePorts ports;
};

TEST_F(Catalogue, GivesTheWildcardsNameInEitherLanguageAndNothingForTheUnknown) {
    EXPECT_EQ(basDisplayNames::Count(), 34);
    basDisplayNames::FillNamesList();  // filling twice leaves one catalogue
    EXPECT_EQ(basDisplayNames::Count(), 34);
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Subject", 0), L"<<Betreff>>");
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"wildcard_subject", 1), L"<<Subject>>");  // keys ignore case
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_BCC", 1), L"<<BCC>>");          // English as German
    basGlobal::gLanguage = basGlobal::kGerman;
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Subject", -1), L"<<Betreff>>");  // the current language
    for (const int32_t language : {-2, 2}) EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Subject", language), L"");
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Nothing", 1), L"");
    basDisplayNames::ClearNamesList();
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Subject", 1), L"");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Catalogue, ASingleBarInsideANameDoesNotSplitIt) {
    basDisplayNames::AddEntry(L"WildCard_Odd", L"<<a|b>>", L"<<c|>>");
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Odd", 0), L"<<a|b>>");
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Odd", 1), L"<<c|>>");
}

TEST_F(Catalogue, DuplicateNameInAnyCaseFailsWithItsTrailLine) {
    const auto duplicate = testing::ErrorOf([] { basDisplayNames::AddEntry(L"WILDCARD_SUBJECT", L"<<x>>", L""); });
    EXPECT_EQ(duplicate.number, errnum::DuplicateKey);
    EXPECT_NE(duplicate.description.find(L"  Call Stack: basDisplayNames.AddEntry(strName='WILDCARD_SUBJECT', "
                                         L"strGerman='<<x>>', strEnglish='') "),
              std::wstring::npos);
    EXPECT_EQ(basDisplayNames::GetDisplayName(L"WildCard_Subject", 1), L"<<Subject>>");
}

}  // namespace
}  // namespace qlora
