// The Ribbon tab against the in-memory Word: its XML read back by libxml2, states, clicks and failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "addin/word_addin.h"
#include "ribbon/ribbon.h"
#include "support/parsed_xml.h"
#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ParseXml;

struct CountingRibbonUi final : RibbonUi {
    int invalidations = 0;
    void Invalidate() override { ++invalidations; }
    void InvalidateControl(const std::wstring&) override { ++invalidations; }
};

using namespace basRibbon;

ControlId Id(const std::wstring& id) {
    return [id] { return id; };
}

class Ribbon : public testing::ToolbarTest {
protected:
    ~Ribbon() override { Release(); }

    // The menu's labels; each button's id names its wildcard, its click the one callback.
    std::vector<std::wstring> MenuLabels() {
        const auto menu = ParseXml(GetContent(Id(L"QuilloraInsertWildcard")));
        std::vector<std::wstring> labels;
        for (const auto& button : menu ? menu->children : std::vector<testing::XmlElement>{}) {
            EXPECT_EQ(button[L"id"] + L"|" + button[L"onAction"],
                      L"QuilloraInsert_" + button[L"tag"] + L"|Ribbon_OnAction");
            labels.push_back(button[L"label"]);
        }
        return labels;
    }
};

// Office's schema, the tab's place and the callbacks' names are wordsim's checks (Windows tier);
// that any texts reach their places is the ribbon_xml fuzz target's. Here: which texts they are.
TEST_F(Ribbon, TheTabCarriesTheToolbarsCommandsInTheUsersLanguage) {
    UseLanguage(basGlobal::kGerman);
    const auto root = ParseXml(GetCustomUI(L"Microsoft.Word.Document"));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->ns, L"http://schemas.microsoft.com/office/2009/07/customui");
    std::vector<std::wstring> shown;  // each group's label, then its controls'
    for (const auto& group : root->children[0].children[0].children[0].children) {
        shown.push_back(group[L"label"]);
        for (const auto& control : group.children) {
            shown.push_back(GetLabel(Id(control[L"id"])));
            EXPECT_EQ(control[L"screentip"], shown.back());
        }
    }
    EXPECT_EQ(shown, (std::vector<std::wstring>{L"Platzhalter", L"Platzhalter einfügen", L"Platzhalter auswählen",
                                                L"Platzhalter prüfen", L"Platzhalter anzeigen", L"Vorlage",
                                                L"Als Vorlage verwenden", L"Info"}));
    EXPECT_EQ(GetCustomUI(L"Microsoft.Outlook.Mail.Read"), L"");
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Ribbon, NeedsADocumentWhereTheToolbarDoesAndIsAskedAgainOnDocumentChangeUntilLetGo) {
    const auto ui = std::make_shared<CountingRibbonUi>();
    OnLoad(ui);
    // With a document every control is enabled: the Windows tier's AddInInWordsim.TheRibbonTab... case.
    EXPECT_FALSE(GetEnabled(Id(L"QuilloraInsertWildcard")));
    EXPECT_TRUE(GetEnabled(Id(L"QuilloraChooseWildcards")));
    clsWordAddIn handler;
    handler.myWordApp_DocumentChange();
    EXPECT_EQ(ui->invalidations, 1);
    Release();
    handler.myWordApp_DocumentChange();
    EXPECT_EQ(ui->invalidations, 1);
    basGlobal::gWordApplication.reset();  // asked before the add-in is connected: the texts and defaults answer
    basGlobal::gSettings.reset();
    EXPECT_FALSE(GetEnabled(Id(L"QuilloraUseAsTemplate")));
    EXPECT_EQ(GetLabel(Id(L"QuilloraUseAsTemplate")), L"Use as template");
    EXPECT_EQ(MenuLabels().size(), 18u);
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Ribbon, TheMenuShowsThePopUpsWildcardsAClickOpensTheDialogAndAFailureIsReportedWithTheId) {
    const std::pair<const wchar_t*, const wchar_t*> places[] = {
        {L"WildCard_Subject", L"7"}, {L"WildCard_Body", L"1"}, {L"WildCard_Sender", L"1"}, {L"WildCard_CC", L"abc"},
        {L"WildCard_BCC", L"40"},    {L"WildCard_Size", L"0"}, {L"WildCard_Mileage", L"2"}};
    for (const auto& [name, place] : places) Store(name, place);
    word.NewDocument();  // places with gaps, shared, beyond the end and no number: the menu shows what the pop-up shows
    const auto toolbar = Captions(L"Insert wildcard");
    ASSERT_FALSE(toolbar.empty());
    EXPECT_EQ(MenuLabels(), toolbar);
    for (const auto* id :
         {L"QuilloraInsert_WildCard_Subject", L"QuilloraChooseWildcards", L"QuilloraUseAsTemplate", L"QuilloraInfo"})
        OnAction(Id(id));  // inserting as the toolbar does, and a refused insertion: wordsim's Ribbon (Windows tier)
    EXPECT_THAT(dialogs.shown, ElementsAre(L"frmWildcards", L"frmTemplate", L"frmInfo"));
    const ControlId unreadable = []() -> std::wstring { throw Error(438, L"Ribbon", L"no Id"); };
    const std::pair<std::function<void()>, std::wstring> cases[] = {
        {[] { OnAction(Id(L"QuilloraInsert_WildCard_Nope")); }, L"OnAction(control='QuilloraInsert_WildCard_Nope')"},
        {[] { EXPECT_EQ(GetLabel(Id(L"Nope")), L""); }, L"GetLabel(control='Nope')"},
        {[] { EXPECT_FALSE(GetEnabled(Id(L"QuilloraInfo2"))); }, L"GetEnabled(control='QuilloraInfo2')"},
        {[] { EXPECT_TRUE(ParseXml(GetContent(Id(L"QuilloraInfo")))); }, L"GetContent(control='QuilloraInfo')"},
        {[&] { EXPECT_EQ(GetLabel(unreadable), L""); }, L"GetLabel(control='')"},
    };
    for (const auto& [call, callStack] : cases) {
        ports.view.reports.clear();
        EXPECT_NO_THROW(call());
        EXPECT_THAT(ports.view.reports, ElementsAre(HasSubstr(L"Call Stack: Connect.Ribbon_" + callStack)));
    }
}

}  // namespace
}  // namespace qlora
