// The settings store over the real (Wine) registry: values of every kind written with the
// registry API itself and read back through the store, strings written by the store byte for
// byte, the ANSI code page, a key the store may not open with its rights, HKEY_LOCAL_MACHINE,
// and deleting a tree. Every key lives under HKCU (or HKLM)\Software\QloraTests\<test> and is
// removed afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "base/port.h"
#include "settings/program_settings.h"
#include "settings/registry_win.h"
#include "support/fake_ports.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

using namespace std::string_literals;

struct LocalFreeTraits {
    using Type = PSECURITY_DESCRIPTOR;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type p) noexcept { ::LocalFree(p); }
};

class WinProgramSettings : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        program = win::FromAnsi(info->name());
        testKey = L"Software\\QloraTests\\" + program;
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

    // A key of the test's branch opened (created) with all rights through the registry API itself.
    win::UniqueHKey Create(HKEY root, const std::wstring& key) const {
        win::UniqueHKey h;
        EXPECT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, h.put(), nullptr),
                  ERROR_SUCCESS);
        return h;
    }
    static void SetRaw(HKEY h, const wchar_t* name, DWORD type, const void* data, size_t size) {
        ASSERT_EQ(::RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }
    static void SetRawA(HKEY h, const char* name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(::RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // A value as the registry holds it, read with the ANSI API.
    static bool QueryRawA(HKEY root, const std::wstring& key, const char* name, DWORD& type, std::string& bytes) {
        win::UniqueHKey h;
        if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, h.put()) != ERROR_SUCCESS) return false;
        DWORD size = 0;
        if (::RegQueryValueExA(h.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        bytes.assign(size, '\0');
        return ::RegQueryValueExA(h.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) ==
                   ERROR_SUCCESS &&
               (bytes.resize(size), true);
    }

    testing::RecordingPrompt prompt;  // never a real message box in a test run
    ScopedPort<MessagePrompt> promptSlot{prompt};
    ScopedPort<RegistryPort> registrySlot{WindowsRegistry()};
    std::wstring program;
    std::wstring testKey;
    clsProgramSettings settings;
};

TEST_F(WinProgramSettings, EveryValueKindWrittenByTheRegistryApiReadsAsTheStoreDefines) {
    ASSERT_EQ(settings.KeyPath(), testKey + L"\\Settings\\WordAddIn");
    const auto key = Create(HKEY_CURRENT_USER, settings.KeyPath());
    ASSERT_TRUE(key);
    SetRawA(key.get(), "SzWithNul", REG_SZ, "abc\0"s);
    SetRawA(key.get(), "SzWithoutNul", REG_SZ, "abc");
    SetRawA(key.get(), "SzEmpty", REG_SZ, "");
    SetRawA(key.get(), "SzOnlyNul", REG_SZ, "\0"s);
    SetRaw(key.get(), L"SzWide", REG_SZ, L"wide\u00E4", 6 * sizeof(wchar_t));
    SetRaw(key.get(), L"SzWideNoNul", REG_SZ, L"wide", 4 * sizeof(wchar_t));
    const DWORD five = 5, allBits = 0xFFFFFFFF;
    SetRaw(key.get(), L"Dword", REG_DWORD, &five, sizeof five);
    SetRaw(key.get(), L"DwordAllBits", REG_DWORD, &allBits, sizeof allBits);
    const BYTE binary[] = {'1', '2', 0};
    SetRaw(key.get(), L"Binary", REG_BINARY, binary, sizeof binary);
    SetRaw(key.get(), L"Expand", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));
    SetRaw(key.get(), L"Multi", REG_MULTI_SZ, L"a\0b\0", 5 * sizeof(wchar_t));
    const ULONGLONG big = 7;
    SetRaw(key.get(), L"Qword", REG_QWORD, &big, sizeof big);

    const std::pair<const wchar_t*, std::wstring> expected[] = {
        {L"SzWithNul", L"abc"},      {L"SzWithoutNul", L"abc"}, {L"SzEmpty", L"dflt"},   {L"SzOnlyNul", L"dflt"},
        {L"SzWide", L"wide\u00E4"},  {L"SzWideNoNul", L"wide"}, {L"Dword", L"5"},        {L"DwordAllBits", L"-1"},
        {L"Binary", L"dflt"},        {L"Expand", L"dflt"},      {L"Multi", L"dflt"},     {L"Qword", L"dflt"},
        {L"Missing", L"dflt"},
    };
    for (const auto& [name, text] : expected) {
        EXPECT_EQ(settings.ReadEntry(name, L"dflt"), text) << win::ToAnsi(name);
        EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, settings.KeyPath(), name, L"dflt"), text)
            << win::ToAnsi(name);
    }
    auto missing = settings;
    missing.Section = L"NoSuchSection";
    EXPECT_EQ(missing.ReadEntry(L"Dword", L"none"), L"none");
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(WinProgramSettings, WriteEntryStoresAnAnsiStringWithItsTerminatorAndRefusesWhatTheCodePageCannotHold) {
    settings.WriteEntry(L"WildCard_Subject", L"abc");
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryRawA(HKEY_CURRENT_USER, testKey + L"\\Settings\\WordAddIn", "WildCard_Subject", type, bytes));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, "abc\0"s);
    EXPECT_EQ(settings.ReadEntry(L"WildCard_Subject", L"0"), L"abc");

    // Umlauts in the key, the name and the value: one byte each in the code page, the same text
    // for a Unicode reader.
    ASSERT_EQ(::GetACP(), 1252u);
    settings.Section = L"Gr\u00F6\u00DFe";
    settings.WriteEntry(L"\u00C4nderung", L"Gr\u00FC\u00DFe");
    ASSERT_TRUE(QueryRawA(HKEY_CURRENT_USER, testKey + L"\\Gr\u00F6\u00DFe", "\xC4nderung", type, bytes));
    EXPECT_EQ(bytes, "Gr\xFC\xDF" "e\0"s);
    win::UniqueHKey h;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (testKey + L"\\Gr\u00F6\u00DFe").c_str(), 0, KEY_QUERY_VALUE, h.put()),
              ERROR_SUCCESS);
    wchar_t wide[16] = {};
    DWORD size = sizeof wide;
    ASSERT_EQ(::RegQueryValueExW(h.get(), L"\u00C4nderung", nullptr, &type, reinterpret_cast<BYTE*>(wide), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(wide), L"Gr\u00FC\u00DFe");
    EXPECT_EQ(settings.ReadEntry(L"\u00E4nderung", L""), L"Gr\u00FC\u00DFe");  // names without case
    EXPECT_TRUE(prompt.shown.empty());

    // Text the code page cannot hold is refused, not written as another text.
    settings.WriteEntry(L"Folder", L"C:\\\u03A9mega");
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"SetKeyValue");
    EXPECT_EQ(prompt.shown[0].text.substr(0, 10), L"Error: 5. ");
    EXPECT_FALSE(QueryRawA(HKEY_CURRENT_USER, settings.KeyPath(), "Folder", type, bytes));

    // A name only reachable through the Unicode API is not read as the "?" the code page makes of it.
    const auto key = Create(HKEY_CURRENT_USER, settings.KeyPath());
    SetRawA(key.get(), "?", REG_SZ, "question mark");
    EXPECT_EQ(settings.ReadEntry(L"\u03A9", L"dflt"), L"dflt");
    EXPECT_EQ(prompt.shown.size(), 1u);
}

TEST_F(WinProgramSettings, KeyDeniedTheRightsOfTheStoreReadsAsTheDefault) {
    const std::wstring key = testKey + L"\\ReadOnly";
    {
        const auto h = Create(HKEY_CURRENT_USER, key);
        SetRawA(h.get(), "DefaultTemplateFolder", REG_SZ, "C:\\Vorlagen\0"s);
        // Everyone may do everything except set values: the rights 63 include setting values.
        win::Unique<LocalFreeTraits> sd;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                                           SDDL_REVISION_1, sd.put(), nullptr));
        ASSERT_EQ(::RegSetKeySecurity(h.get(), DACL_SECURITY_INFORMATION, sd.get()), ERROR_SUCCESS);
    }
    win::UniqueHKey probe;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, win::ToAnsi(key).c_str(), 0, 63, probe.put()), ERROR_ACCESS_DENIED);
    DWORD type = 0;
    std::string bytes;
    ASSERT_TRUE(QueryRawA(HKEY_CURRENT_USER, key, "DefaultTemplateFolder", type, bytes));  // readable as such

    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, key, L"DefaultTemplateFolder", L""), L"");
    auto readOnly = settings;
    readOnly.Section = L"ReadOnly";
    EXPECT_EQ(readOnly.ReadEntry(L"DefaultTemplateFolder", L"dflt"), L"dflt");
    EXPECT_TRUE(prompt.shown.empty());
    readOnly.WriteEntry(L"DefaultTemplateFolder", L"C:\\Other");  // refused, and the user is told
    ASSERT_TRUE(QueryRawA(HKEY_CURRENT_USER, key, "DefaultTemplateFolder", type, bytes));
    EXPECT_EQ(bytes, "C:\\Vorlagen\0"s);
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"SetKeyValue");
    EXPECT_EQ(prompt.shown[0].text.substr(0, 10), L"Error: 5. ");
}

// A root number names HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, where a new store reads under the
// former; an open key's handle passed as a root number is not a root.
TEST_F(WinProgramSettings, OnlyPredefinedRootsAreUsedAndDeleteKeyTakesTheWholeTree) {
    const std::wstring key = testKey + L"\\Settings";
    SetRawA(Create(HKEY_LOCAL_MACHINE, key).get(), "Value", REG_SZ, "machine\0"s);
    const auto user = Create(HKEY_CURRENT_USER, key);
    SetRawA(user.get(), "Value", REG_SZ, "user\0"s);
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyLocalMachine, key, L"Value", L""), L"machine");
    EXPECT_EQ(settings.ReadKeyEntry(kHKeyCurrentUser, key, L"Value", L""), L"user");
    auto fresh = clsProgramSettings();
    fresh.RegBase = L"QloraTests";
    fresh.Program = program;
    EXPECT_EQ(fresh.ReadEntry(L"Value", L""), L"machine");

    const auto handleAsRoot = static_cast<int32_t>(reinterpret_cast<uintptr_t>(user.get()));
    EXPECT_EQ(settings.ReadKeyEntry(handleAsRoot, L"", L"Value", L"dflt"), L"dflt");
    EXPECT_FALSE(settings.DeleteKey(handleAsRoot, L"Anything"));
    EXPECT_FALSE(settings.DeleteKey(0, testKey));

    // A tree goes with its subkeys and values, and nothing beside it.
    {
        const auto deep = Create(HKEY_CURRENT_USER, testKey + L"\\Tree\\A\\B");
        SetRawA(deep.get(), "v", REG_SZ, "1\0"s);
        const auto tree = Create(HKEY_CURRENT_USER, testKey + L"\\Tree");
        SetRawA(tree.get(), "v", REG_SZ, "2\0"s);
        Create(HKEY_CURRENT_USER, testKey + L"\\Tree2");
    }
    EXPECT_TRUE(settings.DeleteKey(kHKeyCurrentUser, testKey + L"\\Tree"));
    win::UniqueHKey h;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (testKey + L"\\Tree").c_str(), 0, KEY_READ, h.put()),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (testKey + L"\\Tree2").c_str(), 0, KEY_READ, h.put()), ERROR_SUCCESS);
    EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, testKey + L"\\Tree"));
    EXPECT_FALSE(settings.DeleteKey(kHKeyCurrentUser, testKey + L"\\\u03A9"));  // not addressable in ANSI
}

}  // namespace
}  // namespace qlora
