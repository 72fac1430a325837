#include <gtest/gtest.h>

#include "support/data_folder.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "templates/template_list.h"

namespace qlora {
namespace {

using testing::Entries;
using testing::FakeFileSystem;
using Names = std::vector<std::wstring>;

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
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(list.CountTemplates(), 0);
    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    EXPECT_NE(report.find(L"Call Stack: basFileSys.FileInput(strPath={Text}, bolCutEnd=False)"), std::wstring::npos);
    EXPECT_NE(report.find(L"    Value Of strPath:\r\n      '" + kListPath + L"'"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"Call Stack: clsTemplateList.Load() "), std::wstring::npos);

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
    const wchar_t* const lines[] = {L"Call Stack: clsTemplateList.Save() ",
                                    L"Call Stack: clsTemplateList.AddTemplate(strFilePath='C:\\a.doc') ",
                                    L"Call Stack: clsTemplateList.TemplateExists(strName='A') "};
    ASSERT_EQ(ports.view.reports.size(), std::size(lines));
    for (size_t i = 0; i < std::size(lines); ++i) EXPECT_NE(ports.view.reports[i].find(lines[i]), std::wstring::npos);
    EXPECT_EQ(list.CountTemplates(), 1);
}

}  // namespace
}  // namespace qlora
