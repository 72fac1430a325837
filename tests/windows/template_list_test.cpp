// The template list on the real (Wine) file system: the file the companion product reads, byte
// for byte, hand-written lists with odd pieces, and a save that meets a busy file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "session/global.h"
#include "support/fake_ports.h"
#include "support/temp_folder.h"
#include "templates/template_list.h"
#include "win/win32_win.h"

namespace qlora {
namespace {

class WinTemplateList : public ::testing::Test {
protected:
    WinTemplateList() { basGlobal::gDataPath = temp.Path() + L"\\"; }
    ~WinTemplateList() override { basGlobal::gDataPath = savedDataPath; }

    static std::vector<std::wstring> Entries(const clsTemplateList& list) {
        std::vector<std::wstring> entries;
        for (int32_t i = 1; i <= list.CountTemplates(); ++i) entries.push_back(list.GetEntry(i));
        return entries;
    }

    const std::wstring savedDataPath = basGlobal::gDataPath;
    testing::TempFolder temp;
    testing::TrailFixturePorts ports;
};

TEST_F(WinTemplateList, WrittenListIsByteIdenticalToWhatTheCompanionProductReads) {
    clsTemplateList list;
    EXPECT_EQ(list.FilePath(), temp.Path(L"NewTemplates.ini"));
    ASSERT_TRUE(list.AddTemplate(L"Offer", L"C:\\T\\Offer.doc"));
    ASSERT_TRUE(list.AddTemplate(L"Letter", L"\\\\srv\\share\\Letter.doc"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "Offer||C:\\T\\Offer.doc|>|Letter||\\\\srv\\share\\Letter.doc|>|\r\n");

    clsTemplateList empty;
    ASSERT_TRUE(empty.Save());
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "\r\n");
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});
}

TEST_F(WinTemplateList, HandWrittenListsWithOddPiecesLoadAsTheirReadersExpect) {
    temp.Write(L"NewTemplates.ini",
               "|>|no separator|>|||C:\\nameless.doc|>|\xC4nderung||C:\\Gr\xFC\xDF" "e.doc|>|\xE4nderung||C:\\2.doc|>|"
               "Last||C:\\x|");  // written by hand: no final "|>|" and no line break
    temp.Write(L"Templates.ini", "Rechnung||C:\\R.doc|>|Mahnung||C:\\M.doc");
    clsTemplateList list;
    int loaded = 0;
    const auto connection = list.OnListLoaded([&] { ++loaded; });
    ASSERT_TRUE(list.Load());
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(Entries(list),
              (std::vector<std::wstring>{L"\u00C4nderung||C:\\Gr\u00FC\u00DFe.doc", L"Last||C:\\x|"}));

    EXPECT_TRUE(list.TemplateExists(L"\u00E4NDERUNG"));  // the own list in any case
    EXPECT_TRUE(list.TemplateExists(L"Mahnung"));          // the product's in exact case
    EXPECT_FALSE(list.TemplateExists(L"mahnung"));
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(WinTemplateList, AddTemplateKeepsOutWhatTheCodePageWouldChange) {
    clsTemplateList list;
    EXPECT_FALSE(list.AddTemplate(L"Omega", L"C:\\T\\\u03A9mega.doc"));
    EXPECT_FALSE(list.AddTemplate(L"\u0141\u00F3d\u017A", L"C:\\T\\Lodz.doc"));
    EXPECT_TRUE(list.AddTemplate(L"Gr\u00FC\u00DFe", L"C:\\T\\Gr\u00FC\u00DFe.doc"));
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "Gr\xFC\xDF" "e||C:\\T\\Gr\xFC\xDF" "e.doc|>|\r\n");
}

TEST_F(WinTemplateList, ASaveThatMeetsABusyListKeepsTheOldListAndReportsIt) {
    temp.Write(L"NewTemplates.ini", "Offer||C:\\T\\Offer.doc|>|\r\n");
    clsTemplateList list;
    ASSERT_TRUE(list.Load());
    ASSERT_TRUE(list.AddTemplate(L"Letter", L"C:\\T\\Letter.doc"));
    {
        const win::UniqueFile busy(::CreateFileW(temp.Path(L"NewTemplates.ini").c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(busy);
        EXPECT_FALSE(list.Save());
    }
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "Offer||C:\\T\\Offer.doc|>|\r\n");
    EXPECT_EQ(temp.Names(), std::vector<std::wstring>{L"NewTemplates.ini"});
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_NE(ports.view.reports[0].find(L"Call Stack: clsTemplateList.Save() "), std::wstring::npos);

    ASSERT_TRUE(list.Save());  // the next save goes through
    EXPECT_EQ(temp.Read(L"NewTemplates.ini"), "Offer||C:\\T\\Offer.doc|>|Letter||C:\\T\\Letter.doc|>|\r\n");
}

}  // namespace
}  // namespace qlora
