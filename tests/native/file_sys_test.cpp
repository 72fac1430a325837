// The file layer (basFileSys, clsFileOps) and the template list written through it, against the
// in-memory file system.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "support/data_folder.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "templates/file_sys.h"
#include "templates/template_list.h"

namespace qlora {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using testing::Entries;
using testing::FakeFileSystem;
using ::testing::HasSubstr;
using Names = std::vector<std::wstring>;

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
    EXPECT_FALSE(basFileSys::FolderExists(L"C:\\T") || basFileSys::FileExists(L"C:\\T\\plain.ini"));
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
    fs.folderAttempts.clear();
    basFileSys::CreateFolder(L"\\T\\New");  // from the drive's root, not the current folder
    EXPECT_EQ(fs.folderAttempts.at(0), L"\\T\\");
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

const std::wstring kData = testing::DataFolder::kPath;
const std::wstring kListPath = kData + L"NewTemplates.ini";
const std::wstring kProductPath = kData + L"Templates.ini";
const std::string kExample = "Offer||C:\\T\\Offer.doc|>|Letter||\\\\srv\\share\\Letter.doc|>|\r\n";

class TemplateListTest : public ::testing::Test {
protected:
    Names Loaded(const std::string& bytes) {
        fs.AddFile(kListPath, bytes);
        EXPECT_TRUE(list.Load()) << bytes;
        return Entries(list);
    }

    testing::TrailFixturePorts ports;
    testing::DataFolder data;
    FakeFileSystem& fs = data.fs;
    clsTemplateList list;
};

TEST_F(TemplateListTest, TwoEntriesAreWrittenByteForByteAndReadBackInOrder) {
    ASSERT_TRUE(list.AddTemplate(L"Offer", L"C:\\T\\Offer.doc"));
    ASSERT_TRUE(list.AddTemplate(L"Letter", L"\\\\srv\\share\\Letter.doc"));
    EXPECT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), kExample);

    clsTemplateList reread;
    EXPECT_TRUE(reread.Load());
    EXPECT_EQ(Entries(reread), (Names{L"Offer||C:\\T\\Offer.doc", L"Letter||\\\\srv\\share\\Letter.doc"}));
    EXPECT_EQ(reread.GetEntry(L"LETTER"), L"Letter||\\\\srv\\share\\Letter.doc");
    EXPECT_EQ(reread.GetEntry(0) + reread.GetEntry(3) + reread.GetEntry(L"Offe"), L"");
    clsTemplateList empty;
    EXPECT_TRUE(empty.Save());
    EXPECT_EQ(fs.Bytes(kListPath), "\r\n");
    EXPECT_EQ(Loaded("\r\n"), Names{});
}

TEST_F(TemplateListTest, LoadingSkipsOddPiecesKeepsTheFirstEntryOfANameAndACutLastEntry) {
    EXPECT_EQ(Loaded("no name here|>|||C:\\empty name.doc|>||>|B||C:\\b||c.doc|>|Offer||1|>|offer||2|>|"
                     "\xC4nderung||C:\\\xE4.doc|>|\r\n"),
              (Names{L"B||C:\\b||c.doc", L"Offer||1", L"\u00C4nderung||C:\\\u00E4.doc"}));
    EXPECT_EQ(list.GetEntry(L"\u00E4nderung"), L"\u00C4nderung||C:\\\u00E4.doc");  // Latin-1 letters fold too

    EXPECT_EQ(Loaded("A||x|>|B||y"), (Names{L"A||x", L"B||y"}));
    EXPECT_EQ(Loaded("A||x|>|B||>"), Names{L"A||x"});  // no name is left before the cut marker
    EXPECT_EQ(Loaded("A||x|>|B||y|>\r\n"), (Names{L"A||x", L"B||y"}));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), "A||x|>|B||y|>|\r\n");
}

TEST_F(TemplateListTest, AddingAnExistingNameReplacesItOnlyWithOverwriteAndMovesItToTheEnd) {
    for (const auto* name : {L"A", L"B", L"C"}) list.AddTemplate(name, L"x");
    EXPECT_TRUE(list.AddTemplate(L"b", L"new", true));
    EXPECT_TRUE(list.AddTemplate(L"A", L"again", true));
    EXPECT_FALSE(list.AddTemplate(L"c", L"lost"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), "C||x|>|b||new|>|A||again|>|\r\n");
}

// Every ANSI code page's letters fold, not only Latin-1's; letters without a one-to-one capital
// stay apart.
TEST_F(TemplateListTest, NamesThatDifferOnlyInLetterCaseAreOneTemplateInEveryCodePage) {
    fs.anyCodePage = true;
    const std::pair<const wchar_t*, const wchar_t*> same[] = {
        {L"\u0160ablona", L"\u0161ablona"},                                                  // 1250
        {L"\u0428\u0430\u0431\u043B\u043E\u043D", L"\u0448\u0430\u0431\u043B\u043E\u043D"},  // 1251
        {L"\u0130ZM\u0130R", L"izmir"},                                                      // 1254
        {L"\u0178ves \u0152uvre", L"\u00FFves \u0153uvre"},                                  // 1252's extra letters
        {L"\uFF21\u2163", L"\uFF41\u2173"},  // full width, Roman numeral (932)
    };
    for (const auto& [upper, lower] : same) {
        clsTemplateList one;
        ASSERT_TRUE(one.AddTemplate(upper, L"C:\\a.doc"));
        EXPECT_FALSE(one.AddTemplate(lower, L"C:\\b.doc")) << lower;
        EXPECT_TRUE(one.TemplateExists(lower));
    }
    for (const wchar_t* apart : {L"Stra\u00DFe", L"STRASSE", L"\u0131", L"I"})
        EXPECT_TRUE(list.AddTemplate(apart, L"C:\\x.doc")) << apart;
}

// Whatever AddTemplate accepts must read back, which the template_list fuzz target holds for any
// name and path; these are the refusals the fuzzer finds least easily.
TEST_F(TemplateListTest, AddTemplateRefusesWhatTheFileCouldNotGiveBack) {
    list.AddTemplate(L"Keep", L"C:\\keep.doc");
    const std::pair<const wchar_t*, const wchar_t*> refused[] = {
        {L"A|", L"C:\\x.doc"},      // would read back as name "A"
        {L"\u0100", L"C:\\x.doc"},  // outside the code page
    };
    for (const auto& [name, path] : refused) EXPECT_FALSE(list.AddTemplate(name, path, true)) << name << L" " << path;
    EXPECT_FALSE(list.AddTemplate(L"Keep", L"C:\\a||b.doc", true));  // nothing is removed either
    EXPECT_EQ(Entries(list), Names{L"Keep||C:\\keep.doc"});
    EXPECT_TRUE(list.AddTemplate(L"A|B", L"C:\\x.doc|"));  // odd but sound: a single "|" comes back as written
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(TemplateListTest, TemplateExistsFindsOwnNamesInAnyCaseAndTheProductsInExactCaseReadAnew) {
    fs.AddFile(kProductPath, "Invoice||C:\\i.doc|>|Reminder||C:\\r.doc\r\n");
    list.AddTemplate(L"Offer", L"C:\\o.doc");
    const std::pair<const wchar_t*, bool> cases[] = {{L"OFFER", true}, {L"Invoice", true},  {L"invoice", false},
                                                     {L"Inv", false},  {L"Reminder", true}, {L"Letter", false}};
    for (const auto& [name, exists] : cases) EXPECT_EQ(list.TemplateExists(name), exists) << name;
    fs.AddFile(kProductPath, "Letter||C:\\l.doc|>|\r\n");
    EXPECT_TRUE(list.TemplateExists(L"Letter"));
    fs.nodes.erase(FakeFileSystem::Key(kProductPath));
    EXPECT_FALSE(list.TemplateExists(L"Letter"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(TemplateListTest, ListLoadedIsRaisedAfterEveryLoadThatDoesNotFail) {
    std::vector<int32_t> seen;  // the count when raised: once the entries are in
    auto connection = list.OnListLoaded([&] { seen.push_back(list.CountTemplates()); });
    EXPECT_TRUE(list.Load());  // no file
    Loaded("A||a|>|\r\n");
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 1}));

    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(std::tuple(seen.size(), list.CountTemplates()), std::tuple(2u, 0));  // not raised, and nothing kept
    EXPECT_THAT(ports.view.reports,
                ElementsAre(AllOf(HasSubstr(L"Call Stack: basFileSys.FileInput(strPath={Text}, bolCutEnd=False)"),
                                  HasSubstr(L"    Value Of strPath:\r\n      '" + kListPath + L"'"),
                                  HasSubstr(L"Call Stack: clsTemplateList.Load() "))));

    fs.failing.clear();
    connection.Reset();
    list.Load();
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(TemplateListTest, AFailedSaveKeepsTheOldListAndEachMethodReportsItsOwnFailure) {
    fs.AddFile(kListPath, kExample);
    fs.AddFile(kProductPath, "A||a|>|\r\n");
    list.AddTemplate(L"Only", L"C:\\only.doc");
    fs.failing.emplace(L"MoveReplacing", Error(70, L"MoveFileEx", L"Permission denied"));
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), kExample);
    EXPECT_EQ(fs.Children(kData), (Names{kListPath, kProductPath}));
    fs.failing.emplace(L"FitsCodePage", Error(7, L"WideCharToMultiByte", L"Out of memory"));
    EXPECT_FALSE(list.AddTemplate(L"A", L"C:\\a.doc"));
    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    EXPECT_FALSE(list.TemplateExists(L"A"));
    EXPECT_THAT(ports.view.reports,
                ElementsAre(HasSubstr(L"Call Stack: clsTemplateList.Save() "),
                            HasSubstr(L"Call Stack: clsTemplateList.AddTemplate(strFilePath='C:\\a.doc') "),
                            HasSubstr(L"Call Stack: clsTemplateList.TemplateExists(strName='A') ")));
    EXPECT_EQ(list.CountTemplates(), 1);
}

}  // namespace
}  // namespace qlora
