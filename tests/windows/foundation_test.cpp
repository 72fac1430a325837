// The foundation's Windows adapters against the real (Wine) system: the user's language, the
// report's machine facts, the log file and the build's version.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "base/port.h"
#include "base/text.h"
#include "language/user_language_win.h"
#include "session/global.h"
#include "support/fake_ports.h"
#include "trail/error_trail_win.h"
#include "win/win32_win.h"
#include "win_test_util.h"

namespace qlora {
namespace {

// The version the build defines, as the version resource carries it.
const std::wstring kVersion = std::to_wstring(QLORA_VERSION_MAJOR) + L"." + std::to_wstring(QLORA_VERSION_MINOR) +
                              L"." + std::to_wstring(QLORA_VERSION_PATCH);

TEST(UserLocale, TheUsersLanguageSetsTheLanguageIndexAtStart) {
    const char* const expected = std::getenv("QLORA_EXPECT_LANGUAGE");
    const std::wstring language = expected ? win::FromAnsi(expected) : L"English";
    EXPECT_EQ(WinUserLocale().EnglishLanguageName(), language);
    basGlobal::EnsureStarted();
    EXPECT_EQ(basGlobal::gLanguage, language == L"German" ? basGlobal::kGerman : basGlobal::kEnglish);
}

class WindowsTrail : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(logPath.c_str()); }
    void TearDown() override { ::DeleteFileW(logPath.c_str()); }

    WinTrailHost host;
    ScopedPort<ErrorTrailHost> hostSlot{host};
    testing::RecordingReportView view;
    ScopedPort<ReportView> viewSlot{view};
    const std::wstring logPath = testing::ModuleLogPath();
};

TEST_F(WindowsTrail, ReportCarriesTheComputerNameTheModuleVersionAndTheSystemsOwnText) {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ASSERT_TRUE(::GetComputerNameW(name, &size) && size > 0);
    ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"d"); });
    EXPECT_NE(HuntERR31::Report().find(L" Computer='" + std::wstring(name) + L"' \r\n"), std::wstring::npos);
    EXPECT_NE(HuntERR31::Report().find(L" App='QloraWordAddIn:" + kVersion + L"' "), std::wstring::npos);

    // A system error's line holds the system's own text on one line.
    ReportFailures(L"m.Op", [] { win::ThrowWin32(ERROR_FILE_NOT_FOUND, L"CreateFile"); });
    const auto& report = HuntERR31::Report();
    const auto at = report.find(L"  API Error: (2) ");
    ASSERT_NE(at, std::wstring::npos) << text::ToUtf8(report);
    const auto line = report.substr(at + 17, report.find(L"\r\n", at) - at - 17);
    EXPECT_FALSE(line.empty());
    EXPECT_NE(win::SystemMessage(ERROR_FILE_NOT_FOUND).find(line), std::wstring::npos);
}

TEST_F(WindowsTrail, LogIsAppendedBesideTheModuleInTheAnsiCodePage) {
    ReportFailures(
        L"clsCommandBar.AddButton(strParam)", [] { throw Error(1, L"X", L"\u00C4rger"); }, std::wstring(L"Ä"));
    ReportFailures(L"m.Op", [] { throw Error(2, L"X", L"second"); });
    const std::string bytes = testing::ModuleLog();
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_EQ(bytes.substr(0, 6), "\xC4rger ");
    EXPECT_NE(bytes.find("AddButton(strParam='\xC4')"), std::string::npos);
    EXPECT_NE(bytes.find("------\r\n\r\n\r\n\r\nsecond \r\n"), std::string::npos);
}

TEST_F(WindowsTrail, ALockedLogAndAFailedWriteAreNoEntry) {
    win::UniqueFile holder(::CreateFileW(logPath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"while locked"); });
    ASSERT_EQ(view.reports.size(), 1u);
    EXPECT_EQ(view.reports[0].substr(0, 13), L"while locked ");
    holder.reset();
    EXPECT_EQ(testing::ModuleLog(), "");  // the entry was dropped, nothing half-written

    // A log that opens but takes no bytes (a full disk: Wine shows Linux's /dev/full as
    // Z:\dev\full) has not logged the entry.
    EXPECT_FALSE(host.TryAppendToFile(L"Z:\\dev\\full", L"entry\r\n"));
    EXPECT_TRUE(host.TryAppendToFile(logPath, L"entry\r\n"));
    EXPECT_EQ(testing::ModuleLog(), "entry\r\n");
}

// The program's version resource reads as major.minor.patch; the DLL's file version carries the
// same numbers.
TEST(ModuleVersion, TheProgramAndTheDllCarryTheBuildsVersion) {
    EXPECT_EQ(ModuleVersion(), kVersion);

    const std::wstring path = testing::AddInDll();
    std::vector<BYTE> data(::GetFileVersionInfoSizeW(path.c_str(), nullptr));
    ASSERT_FALSE(data.empty());
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    ASSERT_TRUE(::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length));
    const std::pair<DWORD, DWORD> expected(MAKELONG(QLORA_VERSION_MINOR, QLORA_VERSION_MAJOR), QLORA_VERSION_PATCH);
    EXPECT_EQ(std::pair(info->dwFileVersionMS, info->dwFileVersionLS), expected);
}

}  // namespace
}  // namespace qlora
