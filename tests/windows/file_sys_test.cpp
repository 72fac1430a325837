// The file and path helpers on the real (Wine) file system and shell: the ANSI code page (the
// template list's too), hidden files, nested folders, the write probe, the replacement of a busy
// file, special folders.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
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
    testing::TempFolder temp;
    testing::TrailFixturePorts ports;  // messages and reports recorded, none shown
};

// Opens a file the way a program that is using it does: others may read it, not replace it.
win::UniqueFile HoldOpen(const std::wstring& path, DWORD share) {
    win::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << ::GetLastError();
    return file;
}

TEST_F(WinFileSys, TextFilesAreInTheAnsiCodePage) {
    ASSERT_EQ(::GetACP(), 1252u);
    const std::wstring path = temp.Path(L"Gr\u00FC\u00DFe.ini");
    basFileSys::FileOutput(path, L"\u00C4nderung||C:\\Gr\u00FC\u00DFe.doc|>|");
    EXPECT_EQ(temp.Read(L"Gr\u00FC\u00DFe.ini"), "\xC4nderung||C:\\Gr\xFC\xDF" "e.doc|>|\r\n");
    EXPECT_EQ(basFileSys::FileInput(path, false), L"\u00C4nderung||C:\\Gr\u00FC\u00DFe.doc|>|");

    temp.Write(L"other.ini", "\xD6l||\xE9t\xE9");
    EXPECT_EQ(basFileSys::FileInput(temp.Path(L"other.ini"), false), L"\u00D6l||\u00E9t\u00E9");

    // What the code page cannot hold becomes its replacement character.
    basFileSys::FileOutput(path, L"\u03A9");
    EXPECT_EQ(temp.Read(L"Gr\u00FC\u00DFe.ini"), "?\r\n");
    EXPECT_EQ(temp.Names(), (std::vector<std::wstring>{L"Gr\u00FC\u00DFe.ini", L"other.ini"}));
}

// The list the companion product reads holds one byte per character: what the code page cannot
// hold is kept out, and a list in the code page reads back as its text.
TEST_F(WinFileSys, TheTemplateListKeepsToTheAnsiCodePage) {
    const struct Restore {
        std::wstring path = basGlobal::gDataPath;
        ~Restore() { basGlobal::gDataPath = path; }
    } restore;
    basGlobal::gDataPath = temp.Path() + L"\\";
    clsTemplateList list;
    EXPECT_FALSE(list.AddTemplate(L"Omega", L"C:\\T\\\u03A9mega.doc"));
    EXPECT_FALSE(list.AddTemplate(L"\u0141\u00F3d\u017A", L"C:\\T\\Lodz.doc"));
    EXPECT_TRUE(list.AddTemplate(L"Gr\u00FC\u00DFe", L"C:\\T\\Gr\u00FC\u00DFe.doc"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "Gr\xFC\xDF" "e||C:\\T\\Gr\xFC\xDF" "e.doc|>|\r\n");

    temp.Write(L"NewTemplates.ini", "\xC4nderung||C:\\Gr\xFC\xDF" "e.doc|>|");
    clsTemplateList loaded;
    ASSERT_TRUE(loaded.Load());
    ASSERT_EQ(loaded.CountTemplates(), 1);
    EXPECT_EQ(loaded.GetEntry(1), L"\u00C4nderung||C:\\Gr\u00FC\u00DFe.doc");
    EXPECT_TRUE(loaded.TemplateExists(L"\u00E4NDERUNG"));
}

TEST_F(WinFileSys, HiddenAndSystemFilesAndFoldersAreNoFiles) {
    temp.Write(L"plain.ini", "a\r\n");
    temp.Write(L"hidden.ini", "b\r\n");
    temp.Write(L"system.ini", "c\r\n");
    ASSERT_TRUE(::SetFileAttributesW(temp.Path(L"hidden.ini").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::SetFileAttributesW(temp.Path(L"system.ini").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"sub").c_str(), nullptr));

    EXPECT_TRUE(basFileSys::FileExists(temp.Path(L"plain.ini")));
    EXPECT_FALSE(basFileSys::FileExists(temp.Path(L"hidden.ini")));
    EXPECT_FALSE(basFileSys::FileExists(temp.Path(L"system.ini")));
    EXPECT_FALSE(basFileSys::FileExists(temp.Path(L"sub")));
    EXPECT_FALSE(basFileSys::FileExists(temp.Path(L"missing.ini")));
    EXPECT_FALSE(basFileSys::FileExists(temp.Path(L"*.ini")));
    EXPECT_EQ(basFileSys::FileInput(temp.Path(L"hidden.ini"), false), L"");

    EXPECT_TRUE(basFileSys::FolderExists(temp.Path(L"sub")));
    EXPECT_TRUE(basFileSys::FolderExists(temp.Path(L"sub") + L"\\"));
    EXPECT_FALSE(basFileSys::FolderExists(temp.Path(L"plain.ini")));
    EXPECT_FALSE(basFileSys::FolderExists(temp.Path(L"missing")));
}

TEST_F(WinFileSys, CreateFolderCreatesNestedFoldersAndRefusesWhereItCannot) {
    const std::wstring deep = temp.Path(L"A\\B\\C");
    EXPECT_TRUE(basFileSys::CreateFolder(deep + L"\\"));
    EXPECT_TRUE(basFileSys::FolderExists(temp.Path(L"A\\B")));
    EXPECT_TRUE(basFileSys::FolderExists(deep));
    EXPECT_TRUE(basFileSys::CreateFolder(deep));  // there already

    // On a drive that is not there: silently refused.
    wchar_t drive = 0;
    const DWORD drives = ::GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y' && !drive; ++letter)
        if (!(drives & (1u << (letter - L'A')))) drive = letter;
    ASSERT_NE(drive, 0);
    EXPECT_FALSE(basFileSys::CreateFolder(std::wstring(1, drive) + L":\\Tandrel\\Quillora"));
    EXPECT_TRUE(ports.prompt.shown.empty());
    EXPECT_TRUE(ports.view.reports.empty());

    // Where a file stands: refused, naming the folder.
    temp.Write(L"F", "file");
    EXPECT_FALSE(basFileSys::CreateFolder(temp.Path(L"F\\G")));
    ASSERT_EQ(ports.prompt.shown.size(), 1u);
    EXPECT_EQ(ports.prompt.shown[0].text, LNG_Main(19) + L"\r\n" + temp.Path(L"F") + L"\\\r\n" + LNG_Main(20));
    EXPECT_EQ(ports.prompt.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(temp.Read(L"F"), "file");
}

TEST_F(WinFileSys, WriteProbeLeavesAnExistingTempTxtUntouched) {
    temp.Write(L"Temp.txt", "the user's own");
    EXPECT_TRUE(basFileSys::HasWriteAccess(temp.Path()));
    EXPECT_TRUE(basFileSys::HasWriteAccess(temp.Path() + L"\\"));
    EXPECT_EQ(temp.Read(L"Temp.txt"), "the user's own");
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"Temp.txt"});

    EXPECT_FALSE(basFileSys::HasWriteAccess(temp.Path(L"missing")));
    EXPECT_FALSE(basFileSys::HasWriteAccess(temp.Path(L"Temp.txt\\sub")));  // a path under a file
}

TEST_F(WinFileSys, ABusyListFileStaysAsItWasAndNoTemporaryFileRemains) {
    const std::wstring path = temp.Path(L"NewTemplates.ini");
    basFileSys::FileOutput(path, L"old|>|");
    {
        const auto busy = HoldOpen(path, FILE_SHARE_READ);  // in use, not to be replaced
        EXPECT_THROW(basFileSys::FileOutput(path, L"new|>|"), Error);
        EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "old|>|\r\n");
        EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});
    }
    basFileSys::FileOutput(path, L"new|>|");  // free again
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "new|>|\r\n");
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});
}

TEST_F(WinFileSys, ReadingAFileAnotherProgramLocksIsAClearError) {
    temp.Write(L"locked.ini", "x\r\n");
    const auto locked = HoldOpen(temp.Path(L"locked.ini"), 0);
    const auto denied = testing::ErrorOf([&] { basFileSys::FileInput(temp.Path(L"locked.ini"), false); });
    EXPECT_EQ(denied.number, 70);
    EXPECT_NE(denied.description.find(L"Permission denied"), std::wstring::npos);
    // A reader does not stand in the way of a program that writes the file.
    temp.Write(L"written.ini", "y\r\n");
    const auto writer = win::UniqueFile(::CreateFileW(temp.Path(L"written.ini").c_str(), GENERIC_WRITE,
                                                      FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    EXPECT_EQ(basFileSys::FileInput(temp.Path(L"written.ini"), false), L"y");
}

TEST_F(WinFileSys, LocalAppDataIsTheShellsFolderAndPathsOffMappedDrivesStayAsTheyAre) {
    wchar_t expected[MAX_PATH] = {};
    ASSERT_EQ(::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, expected), S_OK);
    const std::wstring folder = clsFileOps().GetPathLocalAppData();
    EXPECT_EQ(folder, expected);
    EXPECT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    EXPECT_TRUE(basFileSys::FolderExists(folder));

    // Paths off mapped drives come back unchanged.
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'a') + L"\\Offer.doc";
    for (const std::wstring& path :
         {temp.Path(L"Offer.doc"), std::wstring(L"\\\\srv\\share\\T\\Offer.doc"), std::wstring(L"Offer.doc"),
          std::wstring(L"C:\\"), std::wstring(L""), longPath, std::wstring(L"C:\\\u03A9\\Offer.doc")})
        EXPECT_EQ(basFileSys::GetNetPath(path), path) << text::ToUtf8(path);
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WinFileSys, ShellDeletesAndRenamesSilentlyButNeverAPathTheCodePageWouldChange) {
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"Old").c_str(), nullptr));
    temp.Write(L"Old\\inside.txt", "x");
    EXPECT_EQ(clsFileOps().RenameFolder(temp.Path(L"Old"), temp.Path(L"New")), 0);
    EXPECT_TRUE(basFileSys::FolderExists(temp.Path(L"New")));
    EXPECT_EQ(temp.Read(L"New\\inside.txt"), "x");

    EXPECT_TRUE(clsFileOps().Delete(temp.Path(L"New") + L"\\", false, true));
    EXPECT_FALSE(basFileSys::FolderExists(temp.Path(L"New")));
    EXPECT_FALSE(clsFileOps().Delete(temp.Path(L"New"), false, true));  // gone already
    EXPECT_TRUE(ports.view.reports.empty());

    // Never a path the code page would turn into a wildcard.
    temp.Write(L"a", "keep");
    temp.Write(L"b", "keep");
    EXPECT_FALSE(clsFileOps().Delete(temp.Path(L"\u03A9"), false, true));  // would be "...\?"
    EXPECT_EQ(temp.Names(), (std::vector<std::wstring>{L"a", L"b"}));
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_NE(ports.view.reports[0].find(L"  Number: 5 "), std::wstring::npos);
    EXPECT_NE(ports.view.reports[0].find(L"Call Stack: clsFileOps.Delete("), std::wstring::npos);
}

}  // namespace
}  // namespace qlora
