// The settings store against the in-memory registry: key paths, reading with defaults, value
// kinds, writing, deleting, and the message box of an unexpected failure.
#include <gtest/gtest.h>

#include <string>

#include "settings/program_settings.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

using namespace std::string_literals;
using Kind = RegistryPort::RawValue::Kind;
using testing::FakeRegistry;

const std::wstring kAddinKey = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";

class ProgramSettingsTest : public ::testing::Test {
protected:
    // The add-in's own configuration, in the order the handler sets it.
    static clsProgramSettings AddinSettings() {
        clsProgramSettings settings;
        settings.RootKey = kHKeyCurrentUser;
        settings.MainBranch = L"SOFTWARE";
        settings.RegBase = L"Tandrel";
        settings.Program = L"Quillora";
        settings.Section = L"Settings\\WordAddIn";
        return settings;
    }

    testing::TrailFixturePorts ports;
    FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    const clsProgramSettings settings = AddinSettings();
};

TEST_F(ProgramSettingsTest, NewStoreReadsUnderLocalMachineWithItsInitialPath) {
    const clsProgramSettings fresh;
    EXPECT_EQ(fresh.RootKey, static_cast<int32_t>(0x80000002u));
    EXPECT_EQ(fresh.MainBranch, L"SOFTWARE");
    EXPECT_EQ(fresh.RegBase, L"");
    EXPECT_EQ(fresh.Program, L"");
    EXPECT_EQ(fresh.Section, L"Settings");
    EXPECT_EQ(fresh.IniName, L"");

    registry.PutString(kHKeyLocalMachine, L"SOFTWARE\\\\\\Settings", L"Name", L"machine");
    EXPECT_EQ(fresh.ReadEntry(L"Name", L"d"), L"machine");
    registry.PutString(kHKeyCurrentUser, L"SOFTWARE\\\\\\Settings", L"Name", L"user");
    EXPECT_EQ(fresh.ReadEntry(L"Name", L"d"), L"machine");
}

TEST_F(ProgramSettingsTest, KeyPathJoinsTheFourPartsAndDropsOneTrailingSeparator) {
    EXPECT_EQ(settings.KeyPath(), kAddinKey);
    const auto pathWith = [&](std::wstring program, std::wstring section) {
        auto s = settings;
        s.Program = std::move(program);
        s.Section = std::move(section);
        return s.KeyPath();
    };
    EXPECT_EQ(pathWith(L"Quillora", L""), L"SOFTWARE\\Tandrel\\Quillora");
    EXPECT_EQ(pathWith(L"Quillora", L"Settings\\"), L"SOFTWARE\\Tandrel\\Quillora\\Settings");
    EXPECT_EQ(pathWith(L"", L""), L"SOFTWARE\\Tandrel\\");  // once only

    auto s = settings;
    s.Section = L"";
    s.ReadEntry(L"X", L"");
    ASSERT_EQ(registry.openedKeys.size(), 1u);
    EXPECT_EQ(registry.openedKeys[0], L"SOFTWARE\\Tandrel\\Quillora");
}

TEST_F(ProgramSettingsTest, ValuesReadAsTextOrTheDefault) {
    struct Case {
        const char* what;
        std::optional<RegistryPort::RawValue> stored;
        std::wstring expected;
    };
    const Case cases[] = {
        {"absent", std::nullopt, L"dflt"},
        {"empty string", RegistryPort::RawValue{Kind::String, L""}, L"dflt"},
        {"only the terminator", RegistryPort::RawValue{Kind::String, L"\0"s}, L"dflt"},
        {"string with NUL", RegistryPort::RawValue{Kind::String, L"abc\0"s}, L"abc"},
        {"string without NUL", RegistryPort::RawValue{Kind::String, L"abc"}, L"abc"},
        {"one NUL removed only", RegistryPort::RawValue{Kind::String, L"ab\0\0"s}, L"ab\0"s},
        {"inner NUL kept", RegistryPort::RawValue{Kind::String, L"a\0b"s}, L"a\0b"s},
        {"dword 5", RegistryPort::RawValue{Kind::Number, L"", 5}, L"5"},
        {"dword 0 is a value", RegistryPort::RawValue{Kind::Number, L"", 0}, L"0"},
        {"dword all bits", RegistryPort::RawValue{Kind::Number, L"", -1}, L"-1"},
        {"other kind", RegistryPort::RawValue{Kind::Other, L"x"}, L"dflt"},
    };
    for (const auto& c : cases) {
        FakeRegistry fresh;
        ScopedPort<RegistryPort> slot{fresh};
        if (c.stored) fresh.Put(kHKeyCurrentUser, kAddinKey, L"BarLeft", *c.stored);
        EXPECT_EQ(settings.ReadEntry(L"BarLeft", L"dflt"), c.expected) << c.what;
        EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, kAddinKey, L"BarLeft", L"dflt"), c.expected) << c.what;
    }
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST_F(ProgramSettingsTest, ReadKeyEntryUsesItsRootAndPathUnchanged) {
    const std::wstring key = L"Software\\Tandrel\\Quillora\\Settings\\";
    registry.PutString(kHKeyCurrentUser, L"Software\\Tandrel\\Quillora\\Settings", L"DefaultTemplateFolder", L"wrong");
    registry.PutString(kHKeyCurrentUser, key, L"DefaultTemplateFolder", L"C:\\Vorlagen");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, key, L"DefaultTemplateFolder", L""), L"C:\\Vorlagen");
    EXPECT_EQ(registry.openedKeys.back(), key);
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyLocalMachine, key, L"DefaultTemplateFolder", L"none"), L"none");
}

TEST_F(ProgramSettingsTest, WriteEntryStoresTheTextWithItsTerminatorAsAString) {
    settings.WriteEntry(L"WildCard_Subject", L"abc");
    ASSERT_EQ(registry.writes.size(), 1u);
    const auto& w = registry.writes[0];
    EXPECT_EQ(w.root, kHKeyCurrentUser);
    EXPECT_EQ(w.key, kAddinKey);
    EXPECT_EQ(w.name, L"WildCard_Subject");
    EXPECT_EQ(w.data, L"abc\0"s);
    EXPECT_EQ(w.data.size(), 4u);
    EXPECT_EQ(w.type, kRegSz);
    EXPECT_EQ(settings.ReadEntry(L"WildCard_Subject", L"0"), L"abc");

    settings.WriteEntry(L"WildCard_Subject", L"");  // an empty value reads like a missing one
    EXPECT_EQ(registry.writes.back().data, L"\0"s);
    EXPECT_EQ(settings.ReadEntry(L"WildCard_Subject", L"0"), L"0");
}

TEST_F(ProgramSettingsTest, UnexpectedFailureShowsABoxTitledWithTheOperationAndGoesNoFurther) {
    const Error failure(1113, L"RegSetValueExA", L"No mapping for the Unicode character exists.");
    registry.PutString(kHKeyCurrentUser, kAddinKey, L"BarTop", L"7");

    registry.failNext = failure;
    EXPECT_EQ(settings.ReadEntry(L"BarTop", L"0"), L"0");
    registry.failNext = failure;
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, kAddinKey, L"BarTop", L"1"), L"1");
    registry.failNext = failure;
    settings.WriteEntry(L"BarTop", L"8");

    ASSERT_EQ(ports.prompt.shown.size(), 3u);
    for (const auto& [box, title] : {std::pair{ports.prompt.shown[0], L"GetKeyValue"},
                                     std::pair{ports.prompt.shown[1], L"GetKeyValue"},
                                     std::pair{ports.prompt.shown[2], L"SetKeyValue"}}) {
        EXPECT_EQ(box.text, L"Error: 1113. No mapping for the Unicode character exists.");
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.buttons, MsgButtons::Ok);
    }
    EXPECT_TRUE(ports.view.reports.empty());  // a box, not an error report
    EXPECT_EQ(settings.ReadEntry(L"BarTop", L"0"), L"7");  // the value is still there
}

TEST_F(ProgramSettingsTest, DeleteKeyDeletesANamedKeyOnlyAndNeverTheWholeRoot) {
    registry.PutString(kHKeyCurrentUser, L"Software\\Q", L"v", L"1");
    EXPECT_TRUE(settings.DeleteKey(kHKeyCurrentUser, L"Software\\Q"));
    for (const std::wstring key : {L"", L"\\", L"\\\\"}) EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, key)) << key.size();
    EXPECT_EQ(registry.deleted, std::vector<std::wstring>{L"Software\\Q"});
}

TEST_F(ProgramSettingsTest, DeleteKeyPassesAFailureOnWithItsTrailLine) {
    registry.failNext = Error(5, L"Registry", L"Invalid procedure call or argument");
    EXPECT_THROW(settings.DeleteKey(kHKeyCurrentUser, L"Software\\QloraTests"), Error);
    EXPECT_NE(HuntERR31::Report().find(
                  L"Call Stack: clsProgramSettings.DeleteKey(lngRoot=-2147483647, strKey='Software\\QloraTests')"),
              std::wstring::npos)
        << HuntERR31::Report();
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST(ProgramSettingsDetached, WithoutARegistryEverythingReadsAsTheDefault) {
    testing::TrailFixturePorts ports;
    ASSERT_EQ(Installed<RegistryPort>::Get(), nullptr);
    const clsProgramSettings settings;
    EXPECT_EQ(settings.ReadEntry(L"BarTop", L"3"), L"3");
    settings.WriteEntry(L"BarTop", L"4");
    EXPECT_EQ(settings.ReadEntry(L"BarTop", L"3"), L"3");
    EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, L"Software\\X"));
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST(ParseWholeNumber, AcceptsDecimalWholeNumbersOf32BitsOnly) {
    EXPECT_EQ(ParseWholeNumber(L"0"), 0);
    EXPECT_EQ(ParseWholeNumber(L"12"), 12);
    EXPECT_EQ(ParseWholeNumber(L" -7 "), -7);
    EXPECT_EQ(ParseWholeNumber(L"+3"), 3);
    EXPECT_EQ(ParseWholeNumber(L"2147483647"), 2147483647);
    EXPECT_EQ(ParseWholeNumber(L"-2147483648"), INT32_MIN);
    EXPECT_EQ(ParseWholeNumber(L"007"), 7);
    for (const wchar_t* bad : {L"", L" ", L"-", L"+-5", L"1 2", L"12abc", L"1.5", L"&H10", L"0x10",
                               L"2147483648", L"-2147483649", L"99999999999999999999", L"\xFF11"})
        EXPECT_EQ(ParseWholeNumber(bad), std::nullopt) << text::ToUtf8(bad);
}

TEST_F(ProgramSettingsTest, ReadWholeNumberFallsBackForTextThatIsNoNumber) {
    registry.PutString(kHKeyCurrentUser, kAddinKey, L"BarLeft", L"120\0"s);
    registry.PutString(kHKeyCurrentUser, kAddinKey, L"BarTop", L"oben");
    registry.Put(kHKeyCurrentUser, kAddinKey, L"BarRowIndex", {Kind::Number, L"", 2});
    EXPECT_EQ(settings.ReadWholeNumber(L"BarLeft", 0), 120);
    EXPECT_EQ(settings.ReadWholeNumber(L"BarTop", 5), 5);
    EXPECT_EQ(settings.ReadWholeNumber(L"BarRowIndex", 0), 2);
    EXPECT_EQ(settings.ReadWholeNumber(L"BarPosition", 3), 3);
}

}  // namespace
}  // namespace qlora
