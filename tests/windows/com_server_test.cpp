// The registered DLL: self-registration per machine and per user, checked key by key, and
// late-bound script clients using its public classes by ProgID.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "win_test_util.h"
#include "support/temp_folder.h"
#include "win/class_views_win.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

using testing::kClsids;
using testing::Regsvr32;
using testing::RunProcess;
using ::testing::StrCaseEq;

const std::wstring kDll = testing::AddInDll();
const wchar_t* const kClasses[] = {L"Connect",        L"clsWordAddIn",     L"clsWord",
                                   L"clsWildCardBtn", L"clsTemplateList",  L"clsOperatingSystem",
                                   L"clsFileOps",     L"clsConcatenation", L"clsCommandBar"};
const wchar_t* const kInterfaces[] = {
    L"{7C59478C-6F9B-4D0A-8275-DA86D563AD15}", L"{EAEE2B92-7CD3-420C-AA44-C0560745CBA8}",
    L"{7E5944AA-12DA-44FA-A800-5F72B8116851}", L"{AC07B621-16EC-43FE-8366-39141E116DB7}",
    L"{E82FE97A-B862-4E79-92D6-D5E9C9CB549F}", L"{44D28D0E-9918-47A7-A693-54835963B06F}",
    L"{9F70FF8E-5E47-4BEF-93E7-6CDCDCC55158}", L"{97AA1077-1118-415F-A6DD-2F9F85A82E90}",
    L"{B8AF4702-3564-4FDA-928F-B7A39624808D}", L"{507E192A-3E2A-4666-A727-A6D5A7C7A239}"};
constexpr wchar_t kLibId[] = L"{B723B871-C56D-4F1F-9454-58731B63F031}";
constexpr wchar_t kExtensibility[] = L"{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}";

// The classes of the machine or of the user as this program's bitness finds them: per machine
// through the system's redirector, per user at the path of this program's view.
struct Classes {
    HKEY root;
    classes::View view = classes::View::Native;
    REGSAM access = 0;

    std::wstring Path(const std::wstring& key) const {
        if (key.empty()) return L"Software\\Classes";
        return root == HKEY_CURRENT_USER ? win::UserClassPath(view, key) : L"Software\\Classes\\" + key;
    }
    win::UniqueHKey Open(const std::wstring& key) const { return testing::OpenKey(root, Path(key), KEY_READ | access); }
    std::wstring Read(const std::wstring& key, const wchar_t* name = nullptr) const {
        wchar_t buffer[1024] = {};
        DWORD size = sizeof(buffer);
        const auto opened = Open(key);
        const bool read = opened && ::RegGetValueW(opened.get(), nullptr, name, RRF_RT_REG_SZ, nullptr, buffer,
                                                   &size) == ERROR_SUCCESS;
        return read ? buffer : L"<none>";
    }
    bool Exists(const std::wstring& key) const { return static_cast<bool>(Open(key)); }
    // The names directly below a key: what registration may add to and must leave as it was.
    std::set<std::wstring> SubkeyNames(const std::wstring& key) const {
        std::set<std::wstring> names;
        const auto opened = Open(key);
        wchar_t name[256];
        for (DWORD i = 0; opened && ::RegEnumKeyW(opened.get(), i, name, std::size(name)) == ERROR_SUCCESS; ++i)
            names.insert(name);
        return names;
    }
};

const Classes kMachine{HKEY_LOCAL_MACHINE};
const Classes kUser{HKEY_CURRENT_USER, win::ThisProcessView(), win::kUserClassAccess};
// The per-user classes as a program of the other bitness finds them.
const Classes kOtherUser{HKEY_CURRENT_USER, classes::Other(win::ThisProcessView()), win::kUserClassAccess};

constexpr bool k64Bit = sizeof(void*) == 8;
constexpr const wchar_t* kPlatform = k64Bit ? L"win64" : L"win32";
constexpr const wchar_t* kOtherPlatform = k64Bit ? L"win32" : L"win64";

struct Snapshot {
    std::set<std::wstring> root, clsid, iface, typelib;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Classes& classes) {
    return {classes.SubkeyNames(L""), classes.SubkeyNames(L"CLSID"), classes.SubkeyNames(L"Interface"),
            classes.SubkeyNames(L"TypeLib")};
}

void ExpectRegisteredUnder(const Classes& classes) {
    for (size_t i = 0; i < std::size(kClasses); ++i) {
        const std::wstring progId = std::wstring(L"QloraWordAddIn.") + kClasses[i];
        const std::wstring clsid = std::wstring(L"CLSID\\") + kClsids[i];
        EXPECT_EQ(classes.Read(progId + L"\\CLSID"), kClsids[i]) << progId;
        EXPECT_THAT(classes.Read(clsid + L"\\InprocServer32"), StrCaseEq(kDll));
        EXPECT_EQ(classes.Read(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
        EXPECT_EQ(classes.Read(clsid + L"\\ProgID"), progId);
        EXPECT_EQ(classes.Read(clsid + L"\\TypeLib"), kLibId);
    }
    for (const auto* iid : kInterfaces) {
        EXPECT_EQ(classes.Read(std::wstring(L"Interface\\") + iid + L"\\TypeLib"), kLibId) << iid;
        EXPECT_EQ(classes.Read(std::wstring(L"Interface\\") + iid + L"\\TypeLib", L"Version"), L"1.0");
    }
    EXPECT_THAT(classes.Read(std::wstring(L"TypeLib\\") + kLibId + L"\\1.0\\0\\" + kPlatform), StrCaseEq(kDll));
    // Office's connection interface is described in the library but registered by Office alone.
    EXPECT_FALSE(classes.Exists(std::wstring(L"Interface\\") + kExtensibility));
}

TEST(Registration, MachineWideRegistersEveryClassAndUnregisteringLeavesNothingBehind) {
    const Snapshot before = Take(kMachine);
    ASSERT_EQ(Regsvr32(L""), 0u);
    ExpectRegisteredUnder(kMachine);
    const Snapshot registered = Take(kMachine);
    EXPECT_EQ(registered.root.size(), before.root.size() + std::size(kClasses));
    EXPECT_EQ(registered.clsid.size(), before.clsid.size() + std::size(kClsids));
    EXPECT_EQ(registered.iface.size(), before.iface.size() + std::size(kInterfaces));
    EXPECT_EQ(registered.typelib.size(), before.typelib.size() + 1);

    ASSERT_EQ(Regsvr32(L"/u"), 0u);
    EXPECT_EQ(Take(kMachine), before);
}

TEST(Registration, PerUserRegistrationNeedsNoMachineKeys) {
    const Snapshot machine = Take(kMachine);
    const Snapshot user = Take(kUser);
    ASSERT_EQ(Regsvr32(L"/n /i:user"), 0u);
    ExpectRegisteredUnder(kUser);
    EXPECT_EQ(Take(kMachine), machine);
    ASSERT_EQ(Regsvr32(L"/u /n /i:user"), 0u);
    EXPECT_EQ(Take(kUser), user);
}

// One setup registers both DLLs for the user: each where its own Word looks, neither one's
// registration or removal taking the other's classes, and the shared ProgIDs and type library
// staying while the other still uses them.
TEST(Registration, PerUserRegistrationKeepsToItsBitnessAndLeavesTheOthersClasses) {
    const std::wstring other = L"C:\\other\\QloraWordAddIn.dll";
    const std::wstring connect = std::wstring(L"CLSID\\") + kClsids[0] + L"\\InprocServer32";
    const std::wstring library = std::wstring(L"TypeLib\\") + kLibId + L"\\1.0";
    const auto set = [](const std::wstring& path, const std::wstring& value) {
        testing::SetRegistryText(HKEY_CURRENT_USER, path, nullptr, value, win::kUserClassAccess);
    };
    // Parents the stand-ins create go again at the end, as registration's own do.
    const std::wstring parents[] = {kOtherUser.Path(L"CLSID"), kUser.Path(L"TypeLib"),
                                    L"Software\\Classes\\Wow6432Node"};
    bool existed[std::size(parents)] = {};
    for (size_t i = 0; i < std::size(parents); ++i)
        existed[i] =
            static_cast<bool>(testing::OpenKey(HKEY_CURRENT_USER, parents[i], KEY_READ | win::kUserClassAccess));
    // The other bitness's registration of the connect class, as its own DLL writes it.
    set(kOtherUser.Path(connect), other);
    set(kUser.Path(L"QloraWordAddIn.Connect\\CLSID"), kClsids[0]);
    set(kUser.Path(library + L"\\0\\" + kOtherPlatform), other);

    ASSERT_EQ(Regsvr32(L"/n /i:user"), 0u);
    ExpectRegisteredUnder(kUser);
    EXPECT_EQ(kOtherUser.Read(connect), other);
    for (size_t i = 1; i < std::size(kClsids); ++i)
        EXPECT_FALSE(kOtherUser.Exists(std::wstring(L"CLSID\\") + kClsids[i])) << kClsids[i];

    ASSERT_EQ(Regsvr32(L"/u /n /i:user"), 0u);
    EXPECT_EQ(kOtherUser.Read(connect), other);
    EXPECT_EQ(kUser.Read(L"QloraWordAddIn.Connect\\CLSID"), kClsids[0]);
    EXPECT_FALSE(kUser.Exists(L"QloraWordAddIn.clsWord"));
    EXPECT_EQ(kUser.Read(library + L"\\0\\" + kOtherPlatform), other);
    EXPECT_FALSE(kUser.Exists(library + L"\\0\\" + kPlatform));
    EXPECT_FALSE(kUser.Exists(std::wstring(L"CLSID\\") + kClsids[0]));

    for (const auto& stand_in :
         {kOtherUser.Path(std::wstring(L"CLSID\\") + kClsids[0]), kUser.Path(L"QloraWordAddIn.Connect"),
          kUser.Path(std::wstring(L"TypeLib\\") + kLibId)}) {
        if (const auto key = testing::OpenKey(HKEY_CURRENT_USER, stand_in, KEY_ALL_ACCESS | win::kUserClassAccess))
            ::RegDeleteTreeW(key.get(), nullptr);
        ::RegDeleteKeyExW(HKEY_CURRENT_USER, stand_in.c_str(), win::kUserClassAccess, 0);
    }
    for (size_t i = 0; i < std::size(parents); ++i)
        if (!existed[i]) ::RegDeleteKeyExW(HKEY_CURRENT_USER, parents[i].c_str(), win::kUserClassAccess, 0);
}

// Scripts use the classes as any late-bound client does. Registered machine-wide: Wine does not
// show per-user classes in HKEY_CLASSES_ROOT as Windows does.
class LateBoundClients : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(Regsvr32(L""), 0u); }
    static void TearDownTestSuite() { Regsvr32(L"/u"); }

    // Runs a script, whose every check prints a PASS or FAIL line, with a folder for its files.
    void ExpectAllPassed(const std::wstring& script, size_t checks) const {
        const std::string output = RunProcess(L"cscript.exe //nologo \"" + std::wstring(QLORA_TEST_SCRIPTS) + L"/" +
                                              script + L"\" \"" + folder.Path() + L"\"")
                                       .output;
        EXPECT_EQ(testing::Occurrences(output, "PASS "), checks) << output;
        EXPECT_TRUE(output.ends_with("DONE all passed\r\n")) << output;  // the script ran to its end
    }

    testing::TempFolder folder;
};

TEST_F(LateBoundClients, VBScriptUsesEveryPublicClass) { ExpectAllPassed(L"late_bound.vbs", 22); }

TEST_F(LateBoundClients, JScriptUsesThemToo) { ExpectAllPassed(L"late_bound.js", 2); }

}  // namespace
}  // namespace qlora
