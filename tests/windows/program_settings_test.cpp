// The settings store over the real (Wine) registry, its ANSI code page and its rights. Every key
// lives under HKCU (or HKLM)\Software\QloraTests\<test> and is removed afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "base/port.h"
#include "base/text.h"
#include "settings/program_settings.h"
#include "settings/registry_win.h"
#include "support/fake_ports.h"
#include "win/win32_win.h"
#include "win_test_util.h"

namespace qlora {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// The bytes of a value as the registry API takes them.
template <class T>
std::string Bytes(const T& value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
}
std::string Bytes(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

class WinProgramSettings : public ::testing::Test {
protected:
    void SetUp() override {
        settings.RootKey = kHKeyCurrentUser;
        settings.MainBranch = L"Software";
        settings.RegBase = L"QloraTests";
        settings.Program = program;
        settings.Section = L"Settings\\WordAddIn";
        Remove();
    }
    void TearDown() override { Remove(); }

    void Remove() const {
        for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            ::SHDeleteKeyW(root, testKey.c_str());
            ::RegDeleteKeyW(root, L"Software\\QloraTests");  // only once no other test's key is left
        }
    }
    // A value of HKEY_CURRENT_USER as the registry holds it, its type and bytes read with the ANSI API.
    static std::optional<std::pair<DWORD, std::string>> RawA(const std::wstring& key, const char* name) {
        const auto h = testing::OpenKey(HKEY_CURRENT_USER, key, KEY_QUERY_VALUE);
        DWORD type = 0, size = 0;
        if (!h || ::RegQueryValueExA(h.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::string bytes(size, '\0');
        ::RegQueryValueExA(h.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        bytes.resize(size);
        return std::pair(type, bytes);
    }
    // The user was told once that a value could not be set.
    void ExpectWriteRefused() const {
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].title, L"SetKeyValue");
        EXPECT_EQ(prompt.shown[0].text.substr(0, 10), L"Error: 5. ");
    }

    testing::RecordingPrompt prompt;  // never a real message box in a test run
    ScopedPort<MessagePrompt> promptSlot{prompt};
    ScopedPort<RegistryPort> registrySlot{WindowsRegistry()};
    const std::wstring program = win::FromAnsi(::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::wstring testKey = L"Software\\QloraTests\\" + program;
    clsProgramSettings settings;
};

TEST_F(WinProgramSettings, EveryValueKindWrittenByTheRegistryApiReadsAsTheStoreDefines) {
    const struct {
        const wchar_t* name;
        DWORD type;
        std::string bytes;
        std::wstring text;  // as the store reads it; "dflt" is the default asked for
    } values[] = {
        {L"SzWithNul", REG_SZ, Bytes(L"abc\0"sv), L"abc"},
        {L"SzWithoutNul", REG_SZ, Bytes(L"abc"sv), L"abc"},
        {L"SzEmpty", REG_SZ, "", L"dflt"},
        {L"SzOnlyNul", REG_SZ, Bytes(L"\0"sv), L"dflt"},
        {L"Dword", REG_DWORD, Bytes(DWORD{5}), L"5"},
        {L"DwordAllBits", REG_DWORD, Bytes(DWORD{0xFFFFFFFF}), L"-1"},
        {L"Binary", REG_BINARY, "12\0"s, L"dflt"},
        {L"Qword", REG_QWORD, Bytes(ULONGLONG{7}), L"dflt"},
    };
    for (const auto& v : values)
        testing::SetRegistryValue(HKEY_CURRENT_USER, settings.KeyPath(), v.name, v.type, v.bytes.data(),
                                  v.bytes.size());
    for (const auto& v : values) EXPECT_EQ(settings.ReadEntry(v.name, L"dflt"), v.text) << text::ToUtf8(v.name);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WinProgramSettings, WriteEntryStoresAnAnsiStringWithItsTerminatorAndRefusesWhatTheCodePageCannotHold) {
    settings.WriteEntry(L"WildCard_Subject", L"abc");
    EXPECT_EQ(RawA(settings.KeyPath(), "WildCard_Subject"), std::pair(DWORD{REG_SZ}, "abc\0"s));

    // Umlauts in the key, the name and the value: one byte each in the code page.
    ASSERT_EQ(::GetACP(), 1252u);
    settings.Section = L"Gr\u00F6\u00DFe";
    settings.WriteEntry(L"\u00C4nderung", L"Fu\u00DF");
    EXPECT_EQ(RawA(testKey + L"\\Gr\u00F6\u00DFe", "\xC4nderung"), std::pair(DWORD{REG_SZ}, "Fu\xDF\0"s));
    EXPECT_EQ(settings.ReadEntry(L"\u00E4nderung", L""), L"Fu\u00DF");  // names without case
    EXPECT_TRUE(prompt.shown.empty());

    // Text the code page cannot hold is refused, not written as another text.
    settings.WriteEntry(L"Folder", L"C:\\\u03A9mega");
    ExpectWriteRefused();
    EXPECT_EQ(RawA(settings.KeyPath(), "Folder"), std::nullopt);

    // A name only reachable through the Unicode API is not read as the "?" the code page makes of it.
    testing::SetRegistryText(HKEY_CURRENT_USER, settings.KeyPath(), L"?", L"question mark");
    EXPECT_EQ(settings.ReadEntry(L"\u03A9", L"dflt"), L"dflt");
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(WinProgramSettings, KeyDeniedTheRightsOfTheStoreReadsAsTheDefault) {
    const std::wstring key = testKey + L"\\ReadOnly";
    testing::SetRegistryText(HKEY_CURRENT_USER, key, L"DefaultTemplateFolder", L"C:\\Vorlagen");
    // Everyone may do everything except set values: the rights 63 include setting values.
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                       &sd, nullptr));
    const std::unique_ptr<void, decltype(&::LocalFree)> owned(sd, &::LocalFree);
    const auto dacl = testing::OpenKey(HKEY_CURRENT_USER, key, WRITE_DAC);
    ASSERT_EQ(::RegSetKeySecurity(dacl.get(), DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    win::UniqueHKey probe;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, win::ToAnsi(key).c_str(), 0, 63, probe.put()), ERROR_ACCESS_DENIED);
    const auto stored = std::pair(DWORD{REG_SZ}, "C:\\Vorlagen\0"s);
    ASSERT_EQ(RawA(key, "DefaultTemplateFolder"), stored);  // readable as such

    auto readOnly = settings;
    readOnly.Section = L"ReadOnly";
    EXPECT_EQ(readOnly.ReadEntry(L"DefaultTemplateFolder", L"dflt"), L"dflt");
    EXPECT_TRUE(prompt.shown.empty());
    readOnly.WriteEntry(L"DefaultTemplateFolder", L"C:\\Other");
    EXPECT_EQ(RawA(key, "DefaultTemplateFolder"), stored);
    ExpectWriteRefused();
}

// A root number names HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER; an open key's handle passed as a
// root number is not a root.
TEST_F(WinProgramSettings, OnlyPredefinedRootsAreUsedAndDeleteKeyTakesTheWholeTree) {
    const std::wstring key = testKey + L"\\Settings";
    testing::SetRegistryText(HKEY_LOCAL_MACHINE, key, L"Value", L"machine");
    testing::SetRegistryText(HKEY_CURRENT_USER, key, L"Value", L"user");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyLocalMachine, key, L"Value", L""), L"machine");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, key, L"Value", L""), L"user");

    const auto user = testing::OpenKey(HKEY_CURRENT_USER, key, KEY_READ);
    ASSERT_TRUE(user);
    const auto handleAsRoot = static_cast<int32_t>(reinterpret_cast<uintptr_t>(user.get()));
    EXPECT_EQ(settings.ReadKeyEntry(handleAsRoot, L"", L"Value", L"dflt"), L"dflt");
    EXPECT_FALSE(settings.DeleteKey(handleAsRoot, L"Anything"));
    EXPECT_FALSE(settings.DeleteKey(0, testKey));

    // A tree goes with its subkeys and values, and nothing beside it.
    for (const auto* tree : {L"\\Tree\\A\\B", L"\\Tree", L"\\Tree2"})
        testing::SetRegistryText(HKEY_CURRENT_USER, testKey + tree, L"v", tree);
    EXPECT_TRUE(settings.DeleteKey(kHKeyCurrentUser, testKey + L"\\Tree"));
    EXPECT_FALSE(testing::OpenKey(HKEY_CURRENT_USER, testKey + L"\\Tree", KEY_READ));
    EXPECT_TRUE(testing::OpenKey(HKEY_CURRENT_USER, testKey + L"\\Tree2", KEY_READ));
    EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, testKey + L"\\\u03A9"));  // not addressable in ANSI
}

}  // namespace
}  // namespace qlora
