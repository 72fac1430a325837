// The Ribbon tab against the in-memory Word: its customUI XML read back by libxml2, the menu that
// must match the toolbar's pop-up, enabled states, clicks doing what the toolbar's do, failures
// that stay in the error trail, and the Ribbon asked again when things change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "addin/word_addin.h"
#include "ribbon/ribbon.h"
#include "support/parsed_xml.h"
#include "support/toolbar_fakes.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ParseXml;
using testing::XmlElement;

class CountingRibbonUi final : public RibbonUi {
public:
    int invalidations = 0;
    void Invalidate() override { ++invalidations; }
    void InvalidateControl(const std::wstring&) override { ++invalidations; }
};

basRibbon::ControlId Id(const std::wstring& id) {
    return [id] { return id; };
}

class Ribbon : public testing::ToolbarTest {
protected:
    ~Ribbon() override { basRibbon::Release(); }

    // The menu's labels as getContent gives them.
    std::vector<std::wstring> MenuLabels() {
        const auto menu = ParseXml(basRibbon::GetContent(Id(L"QuilloraInsertWildcard")));
        std::vector<std::wstring> labels;
        if (menu)
            for (const auto& button : menu->children) labels.push_back(button[L"label"]);
        return labels;
    }
};

// Every element with its id, in document order.
void Collect(const XmlElement& e, std::vector<std::wstring>& out) {
    out.push_back(e.name + (e[L"id"].empty() ? L"" : L" " + e[L"id"]));
    for (const auto& child : e.children) Collect(child, out);
}

TEST_F(Ribbon, TheTabCarriesTheToolbarsCommandsInTheUsersLanguage) {
    struct Case {
        int32_t language;
        std::vector<std::wstring> groups, labels;
    };
    const Case cases[] = {
        {basGlobal::kEnglish,
         {L"Wildcards", L"Template"},
         {L"Insert wildcard", L"Choose wildcards", L"Check wildcards", L"Show wildcards", L"Use as template", L"Info"}},
        {basGlobal::kGerman,
         {L"Platzhalter", L"Vorlage"},
         {L"Platzhalter einfügen", L"Platzhalter auswählen", L"Platzhalter prüfen", L"Platzhalter anzeigen",
          L"Als Vorlage verwenden", L"Info"}},
    };
    const std::set<std::wstring> callbacks{L"Ribbon_OnLoad", L"Ribbon_OnAction", L"Ribbon_GetLabel",
                                           L"Ribbon_GetEnabled", L"Ribbon_GetContent"};
    for (const auto& c : cases) {
        UseLanguage(c.language);
        const auto root = ParseXml(basRibbon::GetCustomUI(L"Microsoft.Word.Document"));
        ASSERT_TRUE(root);
        EXPECT_EQ(root->ns, L"http://schemas.microsoft.com/office/2009/07/customui");
        std::vector<std::wstring> elements;
        Collect(*root, elements);
        EXPECT_THAT(elements, ElementsAre(L"customUI", L"ribbon", L"tabs", L"tab QuilloraTab", L"group QuilloraWildcardsGroup",
                                          L"dynamicMenu QuilloraInsertWildcard", L"button QuilloraChooseWildcards",
                                          L"button QuilloraCheckWildcards", L"button QuilloraShowWildcards",
                                          L"group QuilloraTemplateGroup", L"button QuilloraUseAsTemplate",
                                          L"button QuilloraInfo"));
        const auto& tab = root->children[0].children[0].children[0];
        EXPECT_EQ(tab[L"label"], L"Quillora");
        EXPECT_EQ(tab[L"insertAfterMso"], L"TabHome");
        std::vector<std::wstring> groups, labels;
        for (const auto& group : tab.children) {
            groups.push_back(group[L"label"]);
            for (const auto& control : group.children) {
                labels.push_back(basRibbon::GetLabel(Id(control[L"id"])));
                EXPECT_EQ(control[L"screentip"], labels.back());
                EXPECT_FALSE(control[L"supertip"].empty());
                for (const auto& [name, value] : control.attributes) {
                    if (name.starts_with(L"on") || name.starts_with(L"get")) {
                        EXPECT_TRUE(callbacks.contains(value)) << value;
                    }
                }
            }
        }
        EXPECT_EQ(groups, c.groups);
        EXPECT_EQ(labels, c.labels);
    }
    EXPECT_EQ(basRibbon::GetCustomUI(L"Microsoft.Outlook.Mail.Read"), L"");
    EXPECT_TRUE(ports.view.reports.empty());
}

// The Ribbon's menu and the toolbar's pop-up from the same stored places: the same wildcards in
// the same order, whatever the user's hand left in the registry (gaps, shared places, places
// beyond the end, values that are no number).
TEST_F(Ribbon, TheMenuShowsWhatTheToolbarsPopUpShows) {
    const std::pair<const wchar_t*, const wchar_t*> places[] = {
        {L"WildCard_Subject", L"7"}, {L"WildCard_Body", L"1"}, {L"WildCard_Sender", L"1"}, {L"WildCard_CC", L"abc"},
        {L"WildCard_BCC", L"40"},    {L"WildCard_Size", L"0"}, {L"WildCard_Mileage", L"2"}};
    for (const auto& [name, place] : places) Store(name, place);
    word.NewDocument();
    const auto toolbar = Captions(L"Insert wildcard");
    ASSERT_FALSE(toolbar.empty());
    EXPECT_EQ(MenuLabels(), toolbar);
    const auto menu = ParseXml(basRibbon::GetContent(Id(L"QuilloraInsertWildcard")));
    for (const auto& button : menu->children) {
        EXPECT_EQ(button[L"id"], L"QuilloraInsert_" + button[L"tag"]);
        EXPECT_EQ(button[L"onAction"], L"Ribbon_OnAction");
    }
}

TEST_F(Ribbon, NeedsADocumentWhereTheToolbarDoes) {
    struct Case {
        std::wstring id;
        bool withoutDocument, withDocument;
    };
    const Case cases[] = {{L"QuilloraInsertWildcard", false, true},
                          {L"QuilloraChooseWildcards", true, true},
                          {L"QuilloraCheckWildcards", false, true},
                          {L"QuilloraShowWildcards", false, true},
                          {L"QuilloraUseAsTemplate", false, true},
                          {L"QuilloraInfo", true, true}};
    for (const auto& c : cases) EXPECT_EQ(basRibbon::GetEnabled(Id(c.id)), c.withoutDocument) << c.id;
    word.NewDocument();
    for (const auto& c : cases) EXPECT_EQ(basRibbon::GetEnabled(Id(c.id)), c.withDocument) << c.id;

    // Asked before the add-in is connected: the texts and the defaults answer.
    basGlobal::gWordApplication.reset();
    basGlobal::gSettings.reset();
    EXPECT_FALSE(basRibbon::GetEnabled(Id(L"QuilloraUseAsTemplate")));
    EXPECT_EQ(basRibbon::GetLabel(Id(L"QuilloraUseAsTemplate")), L"Use as template");
    EXPECT_EQ(MenuLabels().size(), 18u);
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Ribbon, AClickDoesWhatTheToolbarsControlDoes) {
    word.NewDocument();
    basRibbon::OnAction(Id(L"QuilloraInsert_WildCard_Subject"));
    ASSERT_TRUE(word.Click(L"Quillora Toolbar/Insert wildcard/Subject"));
    const auto document = word.Application()->ActiveDocument();
    EXPECT_TRUE(document->Bookmarks()->Exists(L"WildCard_Subject"));
    EXPECT_TRUE(document->Bookmarks()->Exists(L"WildCard_Subject1"));
    EXPECT_THAT(word.DumpDocument(), HasSubstr(L"<<Subject>><<Subject>>"));

    for (const auto& [id, dialog] : {std::pair{L"QuilloraChooseWildcards", L"frmWildcards"},
                                     std::pair{L"QuilloraUseAsTemplate", L"frmTemplate"},
                                     std::pair{L"QuilloraInfo", L"frmInfo"}}) {
        dialogs.shown.clear();
        basRibbon::OnAction(Id(id));
        EXPECT_THAT(dialogs.shown, ElementsAre(dialog)) << id;
    }
    EXPECT_TRUE(ports.view.reports.empty());
}

TEST_F(Ribbon, AFailureIsReportedWithTheControlsIdAndNeverLeaves) {
    word.NewDocument();
    word.Refuse(L"Bookmarks.Add", {});
    const basRibbon::ControlId unreadable = [] () -> std::wstring { throw Error(438, L"Ribbon", L"no Id"); };
    struct Case {
        std::function<void()> call;
        std::wstring callStack;  // the outermost operation with the Ribbon control's id
    };
    const Case cases[] = {
        {[] { basRibbon::OnAction(Id(L"QuilloraInsert_WildCard_Subject")); },
         L"clsWildCardBtn.myButton_Click(Ctrl='QuilloraInsert_WildCard_Subject', CancelDefault=False)"},
        {[] { basRibbon::OnAction(Id(L"QuilloraInsert_WildCard_Nope")); },
         L"Connect.Ribbon_OnAction(control='QuilloraInsert_WildCard_Nope')"},
        {[] { EXPECT_EQ(basRibbon::GetLabel(Id(L"Nope")), L""); }, L"Connect.Ribbon_GetLabel(control='Nope')"},
        {[] { EXPECT_FALSE(basRibbon::GetEnabled(Id(L"QuilloraInfo2"))); },
         L"Connect.Ribbon_GetEnabled(control='QuilloraInfo2')"},
        {[] { EXPECT_TRUE(ParseXml(basRibbon::GetContent(Id(L"QuilloraInfo")))); },
         L"Connect.Ribbon_GetContent(control='QuilloraInfo')"},
        {[&] { EXPECT_EQ(basRibbon::GetLabel(unreadable), L""); }, L"Connect.Ribbon_GetLabel(control='')"},
    };
    for (const auto& c : cases) {
        ports.view.reports.clear();
        EXPECT_NO_THROW(c.call());
        ASSERT_EQ(ports.view.reports.size(), 1u) << text::ToUtf8(c.callStack);
        EXPECT_THAT(ports.view.reports[0], HasSubstr(L"Call Stack: " + c.callStack));
    }
}

TEST_F(Ribbon, IsAskedAgainOnDocumentChangeUntilTheAddInLetsItGo) {
    const auto ui = std::make_shared<CountingRibbonUi>();
    basRibbon::OnLoad(ui);
    clsWordAddIn handler;
    handler.myWordApp_DocumentChange();
    EXPECT_EQ(ui->invalidations, 1);
    basRibbon::Release();
    handler.myWordApp_DocumentChange();
    EXPECT_EQ(ui->invalidations, 1);
}

}  // namespace
}  // namespace qlora
