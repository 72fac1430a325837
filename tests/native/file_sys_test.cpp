#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "templates/file_sys.h"

namespace qlora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using testing::FakeFileSystem;
using ::testing::HasSubstr;

class FileSysTest : public ::testing::Test {
protected:
    FileSysTest() { fs.AddFolder(L"C:\\T"); }

    testing::TrailFixturePorts ports;
    FakeFileSystem fs;
    ScopedPort<FileSystemPort> fsSlot{fs};
    const std::wstring path = L"C:\\T\\list.ini";
};

TEST_F(FileSysTest, GetPathPartSplitsFolderAndLastPart) {
    // The path fuzz target checks that the parts make up the path; this pins where it is cut.
    EXPECT_EQ(basGlobal::GetPathPart(L"C:\\T\\", false), L"C:");
    EXPECT_EQ(basGlobal::GetPathPart(L"C:\\T\\", true), L"T");
}

TEST_F(FileSysTest, FileExistsCountsOnlyNormalFilesAndFolderExistsOnlyFolders) {
    fs.AddFile(L"C:\\T\\plain.ini", "x");
    fs.AddFile(L"C:\\T\\*.ini", "x");  // a wildcard names no file of its own, even when a file matches it
    EXPECT_FALSE(basFileSys::FileExists(L"C:\\T\\*.ini") || basFileSys::FileExists(L""));
    EXPECT_TRUE(basFileSys::FileExists(L"c:\\t\\PLAIN.INI") && basFileSys::FolderExists(L"C:\\T\\"));

    // Any failure of the file system answers no, and no report.
    fs.failing.emplace(L"Kind", Error(71, L"GetFileAttributes", L"Disk not ready"));
    fs.failing.emplace(L"ListsAsNormalFile", Error(71, L"FindFirstFile", L"Disk not ready"));
    EXPECT_FALSE(basFileSys::FolderExists(L"C:\\T"));
    EXPECT_FALSE(basFileSys::FileExists(L"C:\\T\\plain.ini"));
    EXPECT_TRUE(ports.view.reports.empty());
}

// Temporary files that earlier crashes left are cleared, and the write leaves none of its own.
TEST_F(FileSysTest, FileOutputWritesTheTextWithOneLineBreakAndFileInputGivesItBack) {
    fs.AddFile(L"C:\\T\\list.ini~.tmp", "stale");
    for (int n = 1; n < 100; ++n) fs.AddFile(L"C:\\T\\list.ini~" + std::to_wstring(n) + L".tmp", "stale");
    fs.AddFile(L"C:\\T\\list.ini~100.tmp", "not one of its names");
    for (const std::wstring text : {L"", L"two\r\nlines", L"Gr\u00FC\u00DFe"}) {
        basFileSys::FileOutput(path, text);
        EXPECT_EQ(fs.Bytes(path), FakeFileSystem::Latin1(text) + "\r\n");
        EXPECT_EQ(basFileSys::FileInput(path, false), text);
    }
    EXPECT_EQ(fs.Children(L"C:\\T"), (std::vector<std::wstring>{path, L"C:\\T\\list.ini~100.tmp"}));
}

TEST_F(FileSysTest, FileInputDropsOnlyAFinalLineBreakAndFileOutputNeedsAFolder) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"A||x|>|", L"A||x|>|"}, {"\r\n", L""}, {"a\n", L"a\n"}, {"a\r\n\r\n", L"a\r\n"}};
    for (const auto& [bytes, text] : cases) {
        fs.AddFile(L"C:\\T\\in.ini", bytes);
        EXPECT_EQ(basFileSys::FileInput(L"C:\\T\\in.ini", false), text) << bytes;
        EXPECT_EQ(basFileSys::FileInput(L"C:\\T\\in.ini", true), text) << bytes;
    }
    fs.AddFile(L"C:\\T\\hidden.ini", "secret\r\n", true);
    EXPECT_EQ(basFileSys::FileInput(L"C:\\T\\hidden.ini", false), L"");
    basFileSys::FileOutput(L"C:\\Missing\\list.ini", L"x");
    basFileSys::FileOutput(L"list.ini", L"x");  // no folder part at all
    EXPECT_FALSE(fs.Find(L"C:\\Missing\\list.ini") || fs.Find(L"list.ini"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(FileSysTest, AFailingWriteOrReplaceLeavesTheOldFileAndNoTemporaryFile) {
    fs.AddFile(path, "old|>|\r\n");
    for (const wchar_t* step : {L"TryCreateFile", L"MoveReplacing"}) {
        fs.failing.clear();
        fs.failing.emplace(step, Error(61, L"WriteFile", L"Disk full"));
        EXPECT_THROW(basFileSys::FileOutput(path, L"new|>|"), Error) << step;
        EXPECT_EQ(fs.Bytes(path), "old|>|\r\n") << step;
        EXPECT_EQ(fs.Children(L"C:\\T"), std::vector<std::wstring>{path}) << step;
    }
}

TEST_F(FileSysTest, WriteProbeNeverTouchesAFileTheUserHas) {
    fs.AddFile(L"C:\\T\\Temp.txt", "mine");
    fs.AddFile(L"C:\\T\\Temp1.txt", "mine too", true);
    EXPECT_TRUE(basFileSys::HasWriteAccess(L"C:\\T\\"));
    EXPECT_EQ(fs.Bytes(L"C:\\T\\Temp1.txt"), "mine too");
    EXPECT_FALSE(basFileSys::HasWriteAccess(L"C:\\T\\Temp.txt"));
    fs.failing.emplace(L"TryCreateFile", Error(75, L"CreateFile", L"Path/File access error"));
    EXPECT_FALSE(basFileSys::HasWriteAccess(L"C:\\T"));
    EXPECT_EQ(fs.Children(L"C:\\T").size(), 2u);
    EXPECT_TRUE(ports.view.reports.empty());
}

// That only folders of the path are asked about (a path from the drive's root keeping its root) is
// the path fuzz target's; here their order, and where a UNC path begins.
TEST_F(FileSysTest, CreateFolderCreatesEveryMissingFolderOfThePath) {
    fs.AddFolder(L"C:\\Users");
    EXPECT_TRUE(basFileSys::CreateFolder(L"C:\\Users\\u\\AppData\\Tandrel\\Quillora\\"));
    EXPECT_EQ(fs.folderAttempts, (std::vector<std::wstring>{L"C:\\Users\\u\\", L"C:\\Users\\u\\AppData\\",
                                                            L"C:\\Users\\u\\AppData\\Tandrel\\",
                                                            L"C:\\Users\\u\\AppData\\Tandrel\\Quillora\\"}));
    fs.folderAttempts.clear();
    EXPECT_TRUE(basFileSys::CreateFolder(L"C:\\Users\\\\u"));  // exists, an empty part skipped: nothing to do
    EXPECT_TRUE(fs.folderAttempts.empty());
    // A UNC path begins with its share; a share that is not there is not found, silently.
    fs.AddFolder(L"\\\\srv\\share");
    EXPECT_TRUE(basFileSys::CreateFolder(L"\\\\srv\\share\\A"));
    EXPECT_FALSE(basFileSys::CreateFolder(L"\\\\other\\docs\\A"));
    EXPECT_EQ(fs.folderAttempts, (std::vector<std::wstring>{L"\\\\srv\\share\\A\\", L"\\\\other\\docs\\"}));
    EXPECT_TRUE(ports.prompt.shown.empty());
}

TEST_F(FileSysTest, CreateFolderRefusedNamesTheFolderInAMessage) {
    fs.AddFolder(L"C:\\Data");
    fs.refusedFolders.emplace(FakeFileSystem::Key(L"C:\\Data\\A\\B"),
                              Error(errnum::PathFileAccess, L"CreateDirectory", L"Path/File access error"));
    EXPECT_FALSE(basFileSys::CreateFolder(L"C:\\Data\\A\\B\\C"));
    EXPECT_EQ(ports.prompt.shown, (std::vector<testing::RecordingPrompt::Shown>{
                                      {L"You don't have enought rights, to create the folder \r\nC:\\Data\\A\\B\\\r\n.",
                                       L"", MsgButtons::Ok, MsgIcon::Critical}}));
    EXPECT_TRUE(fs.Find(L"C:\\Data\\A"));  // the folders before it stay
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(FileSysTest, GetNetPathGivesTheUncFormOfAMappedDriveOnly) {
    fs.connections[L"x:"] = L"\\\\srv\\share";
    fs.connections[L"y:"] = L"\\\\srv\\root\\";
    fs.connections[L"z:"] = L"not unc";
    fs.connections[L"w:"] = std::wstring(L"\\\\srv\\a\0junk", 12);  // the system's buffer, NUL and all
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"x:\\T\\Offer.doc", L"\\\\srv\\share\\T\\Offer.doc"},
        {L"Y:\\T\\Offer.doc", L"\\\\srv\\root\\T\\Offer.doc"},  // no doubled "\"
        {L"Z:\\T\\Offer.doc", L"Z:\\T\\Offer.doc"},             // the result would not be a UNC path
        {L"W:\\T\\Offer.doc", L"\\\\srv\\a\\T\\Offer.doc"},     // cut at the remote name's NUL
        {L"Offer.doc", L"Offer.doc"},
        {L"", L""},
    };
    for (const auto& [path, net] : cases) EXPECT_EQ(basFileSys::GetNetPath(path), net) << path;
    fs.failing.emplace(L"RemoteName", Error(1222, L"WNetGetConnection", L"The network is not present"));
    EXPECT_THROW(basFileSys::GetNetPath(L"X:\\T\\Offer.doc"), Error);
}

TEST_F(FileSysTest, DeleteAsksTheShellWithTheChosenOptions) {
    for (const auto& [allowUndo, silent, flags] : {std::tuple{true, false, 0x40}, {false, true, 0x414}}) {
        fs.shellCalls.clear();
        EXPECT_TRUE(clsFileOps().Delete(L"C:\\T\\Old\\", allowUndo, silent));  // one trailing "\" dropped
        EXPECT_EQ(fs.shellCalls, (std::vector<FakeFileSystem::ShellCall>{{3, L"C:\\T\\Old", L"", flags}}));
    }
    EXPECT_EQ(fs.pumped, 2);  // pending messages are processed first, each time
    fs.shellResult = 2;
    EXPECT_FALSE(clsFileOps().Delete(L"C:\\T\\Old"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(FileSysTest, RenameFolderAndLocalAppDataAnswerTheShellAndEachReportsItsOwnFailure) {
    fs.shellResult = 0x7C;
    EXPECT_EQ(clsFileOps().RenameFolder(L"C:\\T\\A", L"C:\\T\\B"), 0x7C);
    EXPECT_EQ(fs.shellCalls, (std::vector<FakeFileSystem::ShellCall>{{4, L"C:\\T\\A", L"C:\\T\\B", 0}}));

    fs.failing.emplace(L"ShellFileOperation", Error(5, L"SHFileOperation", L"Invalid procedure call or argument"));
    fs.failing.emplace(L"SpecialFolderPath", Error(7, L"SHGetSpecialFolderLocation", L"Out of memory"));
    EXPECT_FALSE(clsFileOps().Delete(L"C:\\T\\A", false, true));
    EXPECT_EQ(clsFileOps().RenameFolder(L"C:\\T\\A", L"C:\\T\\B"), 0);
    EXPECT_EQ(clsFileOps().GetPathLocalAppData(), L"");
    EXPECT_THAT(
        ports.view.reports,
        ElementsAre(HasSubstr(L"Call Stack: clsFileOps.Delete(strPath='C:\\T\\A', bolAllowUndo=False, bolSilent=True)"),
                    HasSubstr(L"Call Stack: clsFileOps.RenameFolder(strPath='C:\\T\\A', strNewName='C:\\T\\B')"),
                    AllOf(HasSubstr(L"Call Stack: clsFileOps.GetSpecialFolderLocation(CSIDL=28) "),
                          HasSubstr(L"Call Stack: clsFileOps.GetPathLocalAppData() "))));
}

}  // namespace
}  // namespace qlora
