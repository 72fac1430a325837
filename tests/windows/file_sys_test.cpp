// The file and path helpers on the real (Wine) file system and shell, and its ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/text.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "support/temp_folder.h"
#include "templates/file_sys.h"
#include "templates/template_list.h"
#include "trail/error_trail.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

class WinFileSys : public ::testing::Test {
protected:
    // Opens a file as a program using it does; `share` is what others may do meanwhile.
    win::UniqueFile HoldOpen(const std::wstring& name, DWORD access, DWORD share) const {
        win::UniqueFile file(::CreateFileW(temp.Path(name).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(file) << ::GetLastError();
        return file;
    }

    testing::TempFolder temp;
    testing::TrailFixturePorts ports;  // messages and reports recorded, none shown
};

// The list the companion product reads holds one byte per character: a list in the code page
// reads back as its text, and what the code page cannot hold is kept out of it.
TEST_F(WinFileSys, TextFilesAndTheTemplateListKeepToTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 1252u);
    clsTemplateList list;
    list.FilePath(temp.Path(L"NewTemplates.ini"));
    EXPECT_FALSE(list.AddTemplate(L"Omega", L"C:\\T\\\u03A9mega.doc"));
    EXPECT_FALSE(list.AddTemplate(L"\u0141\u00F3d\u017A", L"C:\\T\\Lodz.doc"));
    EXPECT_TRUE(list.AddTemplate(L"F\u00FC\u00DF", L"C:\\T\\Ma\u00DF.doc"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "F\xFC\xDF||C:\\T\\Ma\xDF.doc|>|\r\n");

    temp.Write(L"NewTemplates.ini", "\xC4nderung||C:\\Ma\xDF.doc|>|");
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(list.GetEntry(1), L"\u00C4nderung||C:\\Ma\u00DF.doc");
    EXPECT_TRUE(list.TemplateExists(L"\u00E4NDERUNG"));

    // In a file named in the code page, what it cannot hold becomes its replacement character.
    basFileSys::FileOutput(temp.Path(L"Gr\u00FC\u00DFe.ini"), L"\u03A9");
    EXPECT_EQ(temp.Read(L"Gr\u00FC\u00DFe.ini"), "?\r\n");
}

TEST_F(WinFileSys, OnlyNormalFilesAreFilesAndOnlyFoldersAreFolders) {
    for (const auto* name : {L"plain.ini", L"hidden.ini", L"system.ini"}) temp.Write(name, "x\r\n");
    ASSERT_TRUE(::SetFileAttributesW(temp.Path(L"hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW(temp.Path(L"system.ini").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"sub").c_str(), nullptr));
    const struct {
        const wchar_t* name;
        bool file;
        bool folder;
    } cases[] = {
        {L"plain.ini", true, false}, {L"hidden.ini", false, false}, {L"system.ini", false, false},
        {L"sub\\", false, true},     {L"*.ini", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text::ToUtf8(c.name));
        EXPECT_EQ(basFileSys::FileExists(temp.Path(c.name)), c.file);
        EXPECT_EQ(basFileSys::FolderExists(temp.Path(c.name)), c.folder);
    }
}

TEST_F(WinFileSys, CreateFolderCreatesNestedFoldersAndRefusesWhereItCannot) {
    EXPECT_TRUE(basFileSys::CreateFolder(temp.Path(L"A\\B\\C\\")));
    EXPECT_TRUE(basFileSys::FolderExists(temp.Path(L"A\\B\\C")));
    EXPECT_TRUE(basFileSys::CreateFolder(temp.Path(L"A\\B\\C")));  // there already

    // On a drive that is not there: silently refused.
    wchar_t drive = L'Q';
    while (drive < L'Z' && (::GetLogicalDrives() & (1u << (drive - L'A')))) ++drive;
    ASSERT_LT(drive, L'Z');
    EXPECT_FALSE(basFileSys::CreateFolder(std::wstring(1, drive) + L":\\Tandrel\\Quillora"));
    EXPECT_TRUE(ports.prompt.shown.empty());
    EXPECT_TRUE(ports.view.reports.empty());

    // Where a file stands: refused, naming the folder.
    temp.Write(L"F", "file");
    EXPECT_FALSE(basFileSys::CreateFolder(temp.Path(L"F\\G")));
    EXPECT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_EQ(temp.Read(L"F"), "file");
}

TEST_F(WinFileSys, WriteProbeLeavesAnExistingTempTxtUntouched) {
    temp.Write(L"Temp.txt", "the user's own");
    EXPECT_TRUE(basFileSys::HasWriteAccess(temp.Path() + L"\\"));
    EXPECT_EQ(temp.Read(L"Temp.txt"), "the user's own");
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"Temp.txt"});

    EXPECT_FALSE(basFileSys::HasWriteAccess(temp.Path(L"missing")));
    EXPECT_FALSE(basFileSys::HasWriteAccess(temp.Path(L"Temp.txt\\sub")));  // a path under a file
}

// A list file in use is not replaced, nor is a temporary file left; one locked against readers
// is a clear error, and a writer that lets others read does not stand in the way.
TEST_F(WinFileSys, FilesOtherProgramsHoldOpenStayAsTheyWere) {
    const std::wstring path = temp.Path(L"NewTemplates.ini");
    basFileSys::FileOutput(path, L"old|>|");
    {
        const auto busy = HoldOpen(L"NewTemplates.ini", GENERIC_READ, FILE_SHARE_READ);
        EXPECT_THROW(basFileSys::FileOutput(path, L"new|>|"), Error);
        EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "old|>|\r\n");
        EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});
    }
    basFileSys::FileOutput(path, L"new|>|");  // free again: read back below
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});

    {
        const auto locked = HoldOpen(L"NewTemplates.ini", GENERIC_READ, 0);
        const auto denied = testing::ErrorOf([&] { basFileSys::FileInput(path, false); });
        EXPECT_EQ(denied.number, 70);
        EXPECT_NE(denied.description.find(L"Permission denied"), std::wstring::npos);
    }
    const auto writer = HoldOpen(L"NewTemplates.ini", GENERIC_WRITE, FILE_SHARE_READ);
    EXPECT_EQ(basFileSys::FileInput(path, false), L"new|>|");
}

// The shell's folder, as it is; paths off mapped drives come back unchanged.
TEST_F(WinFileSys, LocalAppDataIsTheShellsFolderAndPathsOffMappedDrivesStayAsTheyAre) {
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, expected), S_OK);
    EXPECT_EQ(clsFileOps().GetPathLocalAppData(), expected);

    for (const std::wstring& path : {temp.Path(L"Offer.doc"), L"C:\\" + std::wstring(300, L'a') + L"\\Offer.doc"})
        EXPECT_EQ(basFileSys::GetNetPath(path), path) << text::ToUtf8(path);
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WinFileSys, ShellDeletesAndRenamesSilentlyButNeverAPathTheCodePageWouldChange) {
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"Old").c_str(), nullptr));
    temp.Write(L"Old\\inside.txt", "x");
    EXPECT_EQ(clsFileOps().RenameFolder(temp.Path(L"Old"), temp.Path(L"New")), 0);
    EXPECT_EQ(temp.Read(L"New\\inside.txt"), "x");

    EXPECT_TRUE(clsFileOps().Delete(temp.Path(L"New") + L"\\", false, true));
    EXPECT_FALSE(basFileSys::FolderExists(temp.Path(L"New")));
    EXPECT_TRUE(ports.view.reports.empty());

    // Never a path the code page would turn into a wildcard.
    for (const auto* name : {L"a", L"b"}) temp.Write(name, "keep");
    EXPECT_FALSE(clsFileOps().Delete(temp.Path(L"\u03A9"), false, true));  // would be "...\?"
    EXPECT_EQ(temp.Names(), (std::vector<std::wstring>{L"a", L"b"}));
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_NE(ports.view.reports[0].find(L"  Number: 5 "), std::wstring::npos);
    EXPECT_NE(ports.view.reports[0].find(L"Call Stack: clsFileOps.Delete("), std::wstring::npos);
}

}  // namespace
}  // namespace qlora
