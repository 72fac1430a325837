#include <gtest/gtest.h>

#include <memory>

#include "support/data_folder.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "templates/template_list.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

using testing::Entries;
using testing::FakeFileSystem;

const std::wstring kData = testing::DataFolder::kPath;
const std::wstring kListPath = kData + L"NewTemplates.ini";
const std::wstring kProductPath = kData + L"Templates.ini";
const std::string kExample = "Offer||C:\\T\\Offer.doc|>|Letter||\\\\srv\\share\\Letter.doc|>|\r\n";

class TemplateListTest : public ::testing::Test {
protected:
    testing::TrailFixturePorts ports;
    testing::DataFolder data;
    FakeFileSystem& fs = data.fs;
};

TEST_F(TemplateListTest, TwoEntriesAreWrittenByteForByteAndReadBackInOrder) {
    clsTemplateList list;
    ASSERT_TRUE(list.AddTemplate(L"Offer", L"C:\\T\\Offer.doc"));
    ASSERT_TRUE(list.AddTemplate(L"Letter", L"\\\\srv\\share\\Letter.doc"));
    EXPECT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), kExample);

    clsTemplateList reread;
    EXPECT_TRUE(reread.Load());
    EXPECT_EQ(Entries(reread),
              (std::vector<std::wstring>{L"Offer||C:\\T\\Offer.doc", L"Letter||\\\\srv\\share\\Letter.doc"}));
    EXPECT_EQ(reread.GetEntry(L"LETTER"), L"Letter||\\\\srv\\share\\Letter.doc");
    for (const int32_t unknown : {-1, 0, 3}) EXPECT_EQ(reread.GetEntry(unknown), L"");
    for (const auto* unknown : {L"", L"Offe"}) EXPECT_EQ(reread.GetEntry(unknown), L"");
}

TEST_F(TemplateListTest, EmptyListIsALineBreakAndReadsBackEmpty) {
    fs.AddFile(kListPath, "A||a|>|\r\n");
    clsTemplateList list;
    EXPECT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), "\r\n");
    list.AddTemplate(L"X", L"x");
    EXPECT_TRUE(list.Load());
    EXPECT_EQ(list.CountTemplates(), 0);
}

TEST_F(TemplateListTest, LoadingSkipsOddPiecesAndKeepsTheFirstEntryOfAName) {
    fs.AddFile(kListPath,
               "no name here|>|||C:\\empty name.doc|>||>|B||C:\\b||c.doc|>|Offer||1|>|offer||2|>|OFFER||3|>|"
               "\xC4nderung||C:\\\xE4.doc|>|\r\n");
    clsTemplateList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"B||C:\\b||c.doc", L"Offer||1", L"\u00C4nderung||C:\\\u00E4.doc"}));
    EXPECT_EQ(list.GetEntry(L"offer"), L"Offer||1");
    EXPECT_EQ(list.GetEntry(L"\u00E4nderung"), L"\u00C4nderung||C:\\\u00E4.doc");  // Latin-1 letters fold too
}

TEST_F(TemplateListTest, AFileWithoutFinalLineBreakKeepsItsLastEntryWhole) {
    fs.AddFile(kListPath, "A||x|>|");
    clsTemplateList list;
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Entries(list), std::vector<std::wstring>{L"A||x"});

    fs.AddFile(kListPath, "A||x|>|B||y");  // the last one even without its "|>|"
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"A||x", L"B||y"}));

    // Cut short inside the marker: what came before it is the entry, and it reads back so.
    for (const char* cut : {"A||x|>|B||y|>", "A||x|>|B||y|>\r\n"}) {
        fs.AddFile(kListPath, cut);
        ASSERT_TRUE(list.Load());
        EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"A||x", L"B||y"})) << cut;
        ASSERT_TRUE(list.Save());
        EXPECT_EQ(fs.Bytes(kListPath), "A||x|>|B||y|>|\r\n");
    }
    fs.AddFile(kListPath, "A||x|>|B||>");  // no name is left before the cut marker
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(Entries(list), std::vector<std::wstring>{L"A||x"});
}

TEST_F(TemplateListTest, AddingAnExistingNameReplacesItOnlyWithOverwriteAndMovesItToTheEnd) {
    clsTemplateList list;
    list.AddTemplate(L"A", L"a");
    list.AddTemplate(L"B", L"b");
    list.AddTemplate(L"C", L"c");
    EXPECT_FALSE(list.AddTemplate(L"b", L"new"));
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"A||a", L"B||b", L"C||c"}));
    EXPECT_TRUE(list.AddTemplate(L"b", L"new", true));
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"A||a", L"C||c", L"b||new"}));
    EXPECT_EQ(list.GetEntry(L"B"), L"b||new");
    EXPECT_TRUE(list.AddTemplate(L"A", L"again", true));
    EXPECT_EQ(list.GetEntry(L"c"), L"C||c");
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), "C||c|>|b||new|>|A||again|>|\r\n");
}

// Every ANSI code page's letters fold, not only Latin-1's; letters without a one-to-one capital
// stay apart.
TEST_F(TemplateListTest, NamesThatDifferOnlyInLetterCaseAreOneTemplateInEveryCodePage) {
    fs.anyCodePage = true;
    const std::pair<const wchar_t*, const wchar_t*> same[] = {
        {L"\u0160ablona", L"\u0161ablona"},                      // Šablona (1250, 1252)
        {L"\u0428\u0430\u0431\u043B\u043E\u043D", L"\u0448\u0430\u0431\u043B\u043E\u043D"},  // Шаблон (1251)
        {L"\u0401\u0416", L"\u0451\u0436"},                    // ЁЖ
        {L"\u03A0\u03A1\u038C\u03A4\u03A5\u03A0\u039F", L"\u03C0\u03C1\u03CC\u03C4\u03C5\u03C0\u03BF"},  // 1253
        {L"\u0130ZM\u0130R", L"izmir"},                         // 1254
        {L"\u0178ves \u0152uvre", L"\u00FFves \u0153uvre"},    // 1252's extra letters
        {L"\u01A0\u01AF", L"\u01A1\u01B0"},                    // 1258
        {L"\uFF21\u2163", L"\uFF41\u2173"},                    // full width, Roman numeral (932)
    };
    for (const auto& [upper, lower] : same) {
        clsTemplateList list;
        ASSERT_TRUE(list.AddTemplate(upper, L"C:\\a.doc"));
        EXPECT_FALSE(list.AddTemplate(lower, L"C:\\b.doc")) << lower;
        EXPECT_EQ(list.GetEntry(lower), std::wstring(upper) + L"||C:\\a.doc");
        EXPECT_TRUE(list.TemplateExists(lower));
    }
    clsTemplateList list;
    for (const wchar_t* apart : {L"Stra\u00DFe", L"STRASSE", L"\u0131", L"I"})
        EXPECT_TRUE(list.AddTemplate(apart, L"C:\\x.doc")) << apart;
}

TEST_F(TemplateListTest, AddTemplateRefusesWhatTheFileCouldNotGiveBack) {
    clsTemplateList list;
    list.AddTemplate(L"Keep", L"C:\\keep.doc");
    struct Case {
        const wchar_t* name;
        const wchar_t* path;
    };
    const Case refused[] = {
        {L"", L"C:\\x.doc"},
        {L"A||B", L"C:\\x.doc"},
        {L"A|>|B", L"C:\\x.doc"},
        {L"A", L"C:\\a||b.doc"},
        {L"A", L"C:\\a|>|b.doc"},
        {L"A|", L"C:\\x.doc"},      // would read back as name "A"
        {L"A|>", L"C:\\x.doc"},     // "|>|" across name and separator
        {L"A", L">|C:\\x.doc"},     // ... across separator and path
        {L"A", L"C:\\x.doc|>"},     // ... across path and end
        {L"\u0100", L"C:\\x.doc"},  // outside the code page
        {L"A", L"C:\\\u03A9.doc"},
    };
    for (const auto& c : refused) {
        EXPECT_FALSE(list.AddTemplate(c.name, c.path)) << c.name << L" " << c.path;
        EXPECT_FALSE(list.AddTemplate(c.name, c.path, true)) << c.name << L" " << c.path;
    }
    EXPECT_FALSE(list.AddTemplate(L"Keep", L"C:\\a||b.doc", true));  // nothing is removed either
    EXPECT_EQ(Entries(list), std::vector<std::wstring>{L"Keep||C:\\keep.doc"});
    EXPECT_TRUE(ports.view.reports.empty());

    // Odd but sound: a single "|" comes back as written.
    EXPECT_TRUE(list.AddTemplate(L"A|B", L"C:\\x.doc|"));
    ASSERT_TRUE(list.Save());
    clsTemplateList reread;
    reread.Load();
    EXPECT_EQ(Entries(reread), (std::vector<std::wstring>{L"Keep||C:\\keep.doc", L"A|B||C:\\x.doc|"}));
}

TEST_F(TemplateListTest, TemplateExistsFindsOwnNamesInAnyCaseAndTheProductsInExactCase) {
    fs.AddFile(kProductPath, "Invoice||C:\\i.doc|>|Reminder||C:\\r.doc\r\n");
    clsTemplateList list;
    list.AddTemplate(L"Offer", L"C:\\o.doc");
    EXPECT_TRUE(list.TemplateExists(L"Offer"));
    EXPECT_TRUE(list.TemplateExists(L"OFFER"));
    EXPECT_TRUE(list.TemplateExists(L"Invoice"));
    EXPECT_FALSE(list.TemplateExists(L"invoice"));
    EXPECT_FALSE(list.TemplateExists(L"Inv"));      // the name must be followed by "||"
    EXPECT_TRUE(list.TemplateExists(L"Reminder"));  // the last piece has no "|>|"
    EXPECT_FALSE(list.TemplateExists(L"Letter"));

    // The product's list is read anew at every call.
    fs.AddFile(kProductPath, "Letter||C:\\l.doc|>|\r\n");
    EXPECT_TRUE(list.TemplateExists(L"Letter"));
    EXPECT_FALSE(list.TemplateExists(L"Invoice"));
    fs.nodes.erase(FakeFileSystem::Key(kProductPath));
    EXPECT_FALSE(list.TemplateExists(L"Letter"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(TemplateListTest, ListLoadedIsRaisedAfterEveryLoadThatDoesNotFail) {
    clsTemplateList list;
    int raised = 0;
    int32_t countSeen = -1;
    auto connection = list.OnListLoaded([&] {
        ++raised;
        countSeen = list.CountTemplates();
    });
    EXPECT_TRUE(list.Load());  // no file
    EXPECT_EQ(raised, 1);
    fs.AddFile(kListPath, "\r\n");
    list.Load();
    EXPECT_EQ(raised, 2);
    fs.AddFile(kListPath, "A||a|>|\r\n");
    list.Load();
    EXPECT_EQ(raised, 3);
    EXPECT_EQ(countSeen, 1);  // raised once the entries are in

    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    EXPECT_FALSE(list.Load());
    EXPECT_EQ(raised, 3);
    EXPECT_EQ(list.CountTemplates(), 0);
    ASSERT_EQ(ports.view.reports.size(), 1u);
    const auto& report = ports.view.reports[0];
    EXPECT_NE(report.find(L"  Number: 70 "), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"Call Stack: basFileSys.FileInput(strPath={Text}, bolCutEnd=False)"), std::wstring::npos);
    EXPECT_NE(report.find(L"    Value Of strPath:\r\n      '" + kListPath + L"'"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"Call Stack: clsTemplateList.Load() "), std::wstring::npos);
    EXPECT_NE(ports.host.files[L"C:\\Addin\\Errors.txt"].find(L"clsTemplateList.Load"), std::wstring::npos);

    fs.failing.clear();
    connection.Reset();
    list.Load();
    EXPECT_EQ(raised, 3);
}

TEST_F(TemplateListTest, AConnectionMayOutliveTheList) {
    EventConnection connection;
    {
        clsTemplateList list;
        connection = list.OnListLoaded([] {});
    }
    connection.Reset();
    EXPECT_FALSE(connection.Connected());
}

TEST_F(TemplateListTest, AFailedSaveKeepsTheOldListAndIsReported) {
    fs.AddFile(kListPath, kExample);
    clsTemplateList list;
    list.AddTemplate(L"Only", L"C:\\only.doc");
    fs.failing.emplace(L"MoveReplacing", Error(70, L"MoveFileEx", L"Permission denied"));
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(fs.Bytes(kListPath), kExample);
    EXPECT_EQ(fs.Children(kData), std::vector<std::wstring>{kListPath});
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_NE(ports.view.reports[0].find(L"Call Stack: clsTemplateList.Save() "), std::wstring::npos);
}

TEST_F(TemplateListTest, AddTemplateAndTemplateExistsReportTheirOwnFailures) {
    clsTemplateList list;
    fs.failing.emplace(L"FitsCodePage", Error(7, L"WideCharToMultiByte", L"Out of memory"));
    EXPECT_FALSE(list.AddTemplate(L"A", L"C:\\a.doc"));
    fs.failing.clear();
    fs.AddFile(kProductPath, "A||a|>|\r\n");
    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    EXPECT_FALSE(list.TemplateExists(L"A"));
    ASSERT_EQ(ports.view.reports.size(), 2u);
    EXPECT_NE(ports.view.reports[0].find(L"Call Stack: clsTemplateList.AddTemplate(strFilePath='C:\\a.doc') "),
              std::wstring::npos);
    EXPECT_NE(ports.view.reports[1].find(L"Call Stack: clsTemplateList.TemplateExists(strName='A') "),
              std::wstring::npos);
    EXPECT_EQ(list.CountTemplates(), 0);
}

}  // namespace
}  // namespace qlora
