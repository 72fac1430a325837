// The settings store against the in-memory registry (the real one's code pages and rights are the
// Windows tier's), and where each bitness finds the registered classes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "base/class_views.h"
#include "settings/program_settings.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

using namespace std::string_literals;
using Kind = RegistryPort::RawValue::Kind;
using testing::FakeRegistry;
using testing::kAddinSection;

class ProgramSettingsTest : public ::testing::Test {
protected:
    testing::TrailFixturePorts ports;
    FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    const clsProgramSettings settings = *testing::AddInSettings();
};

TEST_F(ProgramSettingsTest, KeyPathJoinsTheFourPartsDropsOneTrailingSeparatorAndStartsUnderLocalMachine) {
    const clsProgramSettings fresh;
    registry.PutString(kHKeyLocalMachine, L"SOFTWARE\\\\\\Settings", L"Name", L"machine");
    EXPECT_EQ(fresh.ReadEntry(L"Name", L"d"), L"machine");

    EXPECT_EQ(settings.KeyPath(), kAddinSection);
    for (const auto& [program, section, path] : {std::tuple{L"Quillora", L"", L"SOFTWARE\\Tandrel\\Quillora"},
                                                 {L"Quillora", L"Settings\\", L"SOFTWARE\\Tandrel\\Quillora\\Settings"},
                                                 {L"", L"", L"SOFTWARE\\Tandrel\\"}}) {
        auto s = settings;
        s.Program = program;
        s.Section = section;
        EXPECT_EQ(s.KeyPath(), path);
    }
}

TEST_F(ProgramSettingsTest, ValuesReadAsTextOrTheDefaultAndAreWrittenAsStrings) {
    const std::pair<std::optional<RegistryPort::RawValue>, std::wstring> cases[] = {
        {std::nullopt, L"dflt"},
        {{{Kind::String, L"ab\0\0"s}}, L"ab\0"s},
        {{{Kind::String, L"a\0b"s}}, L"a\0b"s},  // one NUL only
        {{{Kind::Number, L"", 0}}, L"0"},
    };
    for (const auto& [stored, expected] : cases) {
        FakeRegistry fresh;
        ScopedPort<RegistryPort> slot{fresh};
        if (stored) fresh.Put(kHKeyCurrentUser, kAddinSection, L"BarLeft", *stored);
        EXPECT_EQ(settings.ReadEntry(L"BarLeft", L"dflt"), expected) << text::ToUtf8(expected);
        EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, kAddinSection, L"BarLeft", L"dflt"), expected);
    }
    const std::wstring key = L"Software\\Tandrel\\Quillora\\Settings\\";  // used unchanged, separator included
    registry.PutString(kHKeyCurrentUser, key, L"DefaultTemplateFolder", L"C:\\Vorlagen");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, key, L"DefaultTemplateFolder", L""), L"C:\\Vorlagen");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyLocalMachine, key, L"DefaultTemplateFolder", L"none"), L"none");

    settings.WriteEntry(L"WildCard_Subject", L"");  // even empty, with its terminator
    EXPECT_EQ(registry.writes.at(0).data, L"\0"s);
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST_F(ProgramSettingsTest, UnexpectedFailureShowsABoxTitledWithTheOperationAndGoesNoFurther) {
    registry.PutString(kHKeyCurrentUser, kAddinSection, L"BarTop", L"7");
    const std::pair<const wchar_t*, std::function<std::wstring()>> operations[] = {
        {L"GetKeyValue", [&] { return settings.ReadEntry(L"BarTop", L"0"); }},
        {L"GetKeyValue", [&] { return settings.ReadKeyEntry(kHKeyCurrentUser, kAddinSection, L"BarTop", L"0"); }},
        {L"SetKeyValue", [&] { return settings.WriteEntry(L"BarTop", L"8"), std::wstring(L"0"); }},
    };
    std::vector<testing::RecordingPrompt::Shown> boxes;
    for (const auto& [title, operation] : operations) {
        registry.failNext = Error(1113, L"RegSetValueExA", L"No mapping for the Unicode character exists.");
        EXPECT_EQ(operation(), L"0");
        boxes.push_back({L"Error: 1113. No mapping for the Unicode character exists.", title, MsgButtons::Ok});
    }
    EXPECT_EQ(ports.prompt.shown, boxes);
    EXPECT_TRUE(ports.view.reports.empty());  // a box, not an error report
    EXPECT_EQ(settings.ReadEntry(L"BarTop", L"0"), L"7");
}

TEST_F(ProgramSettingsTest, DeleteKeyDeletesANamedKeyOnlyAndPassesAFailureOnWithItsTrailLine) {
    registry.PutString(kHKeyCurrentUser, L"Software\\Q", L"v", L"1");
    EXPECT_TRUE(settings.DeleteKey(kHKeyCurrentUser, L"Software\\Q"));
    for (const std::wstring key : {L"", L"\\", L"\\\\"}) EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, key));
    EXPECT_EQ(registry.deleted, std::vector<std::wstring>{L"Software\\Q"});  // never the whole root

    registry.failNext = Error(5, L"Registry", L"Invalid procedure call or argument");
    EXPECT_THROW(settings.DeleteKey(kHKeyCurrentUser, L"Software\\T"), Error);
    EXPECT_NE(HuntERR31::Report().find(L"clsProgramSettings.DeleteKey(lngRoot=-2147483647, strKey='Software\\T')"),
              std::wstring::npos);
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST_F(ProgramSettingsTest, WholeNumbersAreDecimalOf32BitsAndOtherTextFallsBack) {
    for (auto [t, n] : {std::pair{L" -7 ", -7}, {L"+3", 3}, {L"2147483647", INT32_MAX}, {L"-2147483648", INT32_MIN}})
        EXPECT_EQ(ParseWholeNumber(t), n);
    for (const wchar_t* bad : {L"", L" ", L"-", L"+-5", L"1 2", L"12abc", L"1.5", L"&H10", L"0x10", L"2147483648",
                               L"-2147483649", L"99999999999999999999", L"\xFF11"})
        EXPECT_EQ(ParseWholeNumber(bad), std::nullopt) << text::ToUtf8(bad);
    registry.PutString(kHKeyCurrentUser, kAddinSection, L"BarLeft", L"120\0"s);
    registry.PutString(kHKeyCurrentUser, kAddinSection, L"BarTop", L"oben");
    for (const auto& [name, n] : {std::pair{L"BarLeft", 120}, {L"BarTop", 0}, {L"BarPosition", 0}})
        EXPECT_EQ(settings.ReadWholeNumber(name, 0), n) << text::ToUtf8(name);
}

// 32-bit programs on 64-bit Windows find classes and interfaces under Wow6432Node, but share the
// ProgIDs and type libraries with 64-bit programs.
TEST(ClassViews, OnlyTheRedirectedKeysMoveForThirtyTwoBitPrograms) {
    const struct {
        std::wstring_view key, native, wow64;
    } cases[] = {
        {L"CLSID\\{1}\\InprocServer32", L"CLSID\\{1}\\InprocServer32", L"Wow6432Node\\CLSID\\{1}\\InprocServer32"},
        {L"clsid", L"clsid", L"Wow6432Node\\clsid"},
        {L"Interface\\{2}", L"Interface\\{2}", L"Wow6432Node\\Interface\\{2}"},
        {L"QloraWordAddIn.Connect\\CLSID", L"QloraWordAddIn.Connect\\CLSID", L"QloraWordAddIn.Connect\\CLSID"},
        {L"TypeLib\\{3}\\1.0", L"TypeLib\\{3}\\1.0", L"TypeLib\\{3}\\1.0"},
        {L"CLSIDX\\{1}", L"CLSIDX\\{1}", L"CLSIDX\\{1}"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classes::KeyIn(classes::View::Native, c.key), c.native);
        EXPECT_EQ(classes::KeyIn(classes::View::Wow64, c.key), c.wow64);
    }
    EXPECT_EQ(classes::Other(classes::View::Native), classes::View::Wow64);
    EXPECT_EQ(classes::Other(classes::View::Wow64), classes::View::Native);
}

}  // namespace
}  // namespace qlora
