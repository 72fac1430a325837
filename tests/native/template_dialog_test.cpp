// "Use as template" against the in-memory Word, file system and registry: the proposal, the OK
// checks in their order, what is saved and recorded, the wizard's documents.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "support/data_folder.h"
#include "support/toolbar_fakes.h"
#include "templates/template_dialog.h"
#include "templates/template_list.h"

namespace qlora {
namespace {

using testing::FakeFileSystem;
using enum TemplateField;

const std::wstring kListPath = testing::DataFolder::kPath + L"NewTemplates.ini";
const std::wstring kNoAccess = L"You don't have writeaccess to the selected folder, please choose another one";

// The dialog's fields; setting the path raises its change as the text box does.
class FakeTemplateView : public TemplateView {
public:
    frmTemplate* form = nullptr;
    std::map<TemplateField, std::wstring> texts, toolTips;
    std::vector<TemplateField> selectedAll;
    std::vector<SaveFileRequest> requests;
    // The save dialog's answers; cancelled when none are left.
    std::deque<std::optional<std::wstring>> choices;
    bool saveDialogFails = false;
    int unloads = 0;

    std::wstring Text(TemplateField field) override { return texts[field]; }
    void SetText(TemplateField field, const std::wstring& text) override {
        texts[field] = text;
        if (field == txtPath && form) form->txtPath_Change();
    }
    void SelectAll(TemplateField field) override { selectedAll.push_back(field); }
    void SetToolTip(TemplateField field, const std::wstring& text) override { toolTips[field] = text; }
    std::optional<std::wstring> ChooseSaveFile(const SaveFileRequest& request) override {
        requests.push_back(request);
        if (saveDialogFails) throw Error(32755, L"CommonDialog", L"Cancel was selected.");
        if (choices.empty()) return std::nullopt;
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void Unload() override { ++unloads; }
};

class TemplateWorkflow : public testing::ConnectedTest {
protected:
    TemplateWorkflow() {
        basGlobal::gTemplateList = std::make_shared<clsTemplateList>();
        fs.AddFolder(L"C:\\T");
        view.form = &form;
        word.OnSaveAs([this](const wordsim::Document& doc) { saved.push_back(*doc.savedAs); });
    }
    ~TemplateWorkflow() override { basGlobal::gTemplateList = savedList; }

    void StoreDefaultFolder(const std::wstring& folder) {
        registry.PutString(kHKeyCurrentUser, frmTemplate::kProductSettingsKey, frmTemplate::kDefaultFolderEntry,
                           folder);
    }
    // A saved document with the template name and the wizard's marker it holds, if any.
    void Open(const std::wstring& fullName, const std::wstring& name = L"", const std::wstring& wizard = L"") {
        word.OpenDocument(fullName, L"<<Subject>>");
        const auto variables = word.Application()->ActiveDocument()->Variables();
        if (!name.empty()) variables->Add(L"TemplateName", name);
        if (!wizard.empty()) variables->Add(L"Qlora", wizard);
    }
    std::wstring StoredName() const {
        const auto* variable = word.ActiveDocument()->FindVariable(L"TemplateName");
        return variable ? variable->value : L"<none>";
    }
    std::string ListFile() const { return fs.Bytes(kListPath).value_or("<none>"); }

    const std::shared_ptr<clsTemplateList> savedList = basGlobal::gTemplateList;
    testing::DataFolder data;
    FakeFileSystem& fs = data.fs;
    std::vector<word::SaveAsArgs> saved;
    FakeTemplateView view;
    frmTemplate form{view};
};

// The stored name or the file name, and the document's own path as a .doc file (SaveAs writes
// Word 97-2003's format); a web document goes to the folder last recorded, or the default folder.
TEST_F(TemplateWorkflow, TheProposalIsTheStoredOrFileNameAndADocBesideTheDocumentOrInTheLastFolder) {
    StoreDefaultFolder(L"D:\\Q");
    const std::wstring web = L"https://example.com/sites/t/Offer.docx";
    const std::tuple<std::wstring, std::wstring, std::string, std::wstring, std::wstring> cases[] = {
        {L"C:\\T\\Offer 2026.doc", L"Offer", "", L"C:\\T\\Offer 2026.doc", L"Offer"},
        {L"C:\\T\\Letter.v2.doc", L"", "", L"C:\\T\\Letter.v2.doc", L"Letter.v2"},
        {L"C:\\T\\Offer.2026.rtf", L"", "", L"C:\\T\\Offer.2026.doc", L"Offer.2026"},
        {L"C:\\T\\Offer.DOC", L"", "", L"C:\\T\\Offer.DOC", L"Offer"},
        {L"C:\\T\\Offer", L"", "", L"C:\\T\\Offer.doc", L"Offer"},
        {L"C:\\T\\.doc", L"", "", L"C:\\T\\.doc", L""},
        {web, L"", "", L"D:\\Q\\Offer.doc", L"Offer"},
        {web, L"", "Memo||E:\\Forms\\Memo.doc|>|\r\n", L"E:\\Forms\\Offer.doc", L"Offer"},
    };
    for (const auto& [fullName, storedName, list, proposed, name] : cases) {
        SCOPED_TRACE(text::ToUtf8(fullName));
        if (!list.empty()) fs.AddFile(kListPath, list);
        Open(fullName, storedName);
        view.selectedAll.clear();
        form.Form_Load();
        EXPECT_TRUE(view.requests.empty());  // a saved document needs no save dialog first
        EXPECT_EQ(view.texts[txtPath] + L"|" + view.texts[txtName], proposed + L"|" + name);
        EXPECT_EQ(view.selectedAll, std::vector{txtName});
        view.SetText(txtPath, L"");
        form.cmdFile_Click();  // "..." with an empty path starts from the proposal
        EXPECT_EQ(view.requests.back().fileName, proposed);
        view.requests.clear();
        word.CloseDocument();
    }
    EXPECT_TRUE(prompt.shown.empty() && reports.empty());
}

TEST_F(TemplateWorkflow, ANeverSavedDocumentAsksForThePathFirstAndTheSaveDialogChangesOnlyIt) {
    word.NewDocument();
    form.Form_Load();  // cancelled: both fields empty
    EXPECT_EQ(view.texts[txtPath] + view.texts[txtName], L"");

    StoreDefaultFolder(L"D:\\Q");
    prompt.shown.clear();
    view.requests.clear();
    view.choices.push_back(L"D:\\Q\\Memo.doc");
    form.Form_Load();
    EXPECT_EQ(prompt.shown.at(0).text, L"Please select the path, where do you want to save the template");
    EXPECT_EQ(view.requests.at(0),
              (SaveFileRequest{L"Word documents (*.doc)|*.doc", L"D:\\Q\\Document1.doc", L".doc"}));
    EXPECT_EQ(view.texts[txtPath] + L"|" + view.texts[txtName], L"D:\\Q\\Memo.doc|Memo");

    view.choices.push_back(L"C:\\T\\Other.doc");
    form.cmdFile_Click();
    EXPECT_EQ(view.toolTips[txtPath], L"C:\\T\\Other.doc");
    view.saveDialogFails = true;
    form.cmdFile_Click();
    EXPECT_EQ(std::tuple(view.texts[txtPath], reports.size(), view.unloads), std::tuple(L"C:\\T\\Other.doc", 0u, 0));
}

TEST_F(TemplateWorkflow, OkSavesInWordsFormatStoresTheNameAndRecordsTheTemplate) {
    fs.connections[L"x:"] = L"\\\\srv\\share";
    fs.AddFolder(L"\\\\srv\\share\\T");
    const std::string both = "Offer||C:\\T\\Offer.doc|>|Letter||C:\\T\\Letter.doc|>|\r\n";
    const std::wstring offer = L"C:\\T\\Offer.doc", taken = L"C:\\T\\Taken.doc";
    struct Case {
        const char* what;
        std::string list;
        std::wstring existing, storedName;
        const wchar_t *name, *path;  // typed over the proposal unless null
        MsgAnswer answer;
        std::wstring titles;   // of the messages shown (the text of one without), each followed by "|"
        std::wstring savedAs;  // none: nothing saved, nothing recorded
        std::string listAfter;
        bool folderRefusesWriting = false;
    };
    const Case cases[] = {
        {"as typed, not trimmed", "", L"", L"", L"Offer ", L"C:\\T\\Offer.DOC", MsgAnswer::Yes, L"",
         L"C:\\T\\Offer.DOC", "Offer ||C:\\T\\Offer.DOC|>|\r\n"},
        {"again under its own name and file: replaced, at the end", both, offer, L"Offer", nullptr, nullptr,
         MsgAnswer::Yes, L"", offer, "Letter||C:\\T\\Letter.doc|>|Offer||C:\\T\\Offer.doc|>|\r\n"},
        {"its own name to another file", both, L"", L"Offer", nullptr, L"C:\\T\\Offer 2.doc", MsgAnswer::Yes, L"",
         L"C:\\T\\Offer 2.doc", "Letter||C:\\T\\Letter.doc|>|Offer||C:\\T\\Offer 2.doc|>|\r\n"},
        {"its own name in other letters", both, L"", L"Offer", L"OFFER", nullptr, MsgAnswer::Yes, L"", offer,
         "Letter||C:\\T\\Letter.doc|>|OFFER||C:\\T\\Offer.doc|>|\r\n"},
        {"a mapped drive: its UNC form", "", L"", L"", nullptr, L"X:\\T\\Offer.doc", MsgAnswer::Yes, L"",
         L"\\\\srv\\share\\T\\Offer.doc", "Offer||\\\\srv\\share\\T\\Offer.doc|>|\r\n"},
        {"an existing file, No, the folder writable: silently nothing", "", taken, L"", nullptr, taken.c_str(),
         MsgAnswer::No, L"File already exists|", L"", "<none>"},
        {"an existing file, No, the folder refuses writing: warned", "", taken, L"", nullptr, taken.c_str(),
         MsgAnswer::No, L"File already exists|" + kNoAccess + L"|", L"", "<none>", true},
        {"a path differing in letter case only is another file", "", offer, L"Offer", nullptr, L"C:\\t\\offer.doc",
         MsgAnswer::No, L"File already exists|", L"", "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs.nodes.erase(FakeFileSystem::Key(kListPath));
        fs.failing.clear();
        if (c.folderRefusesWriting)
            fs.failing.emplace(L"TryCreateFile", Error(70, L"CreateFile", L"Permission denied"));
        if (!c.list.empty()) fs.AddFile(kListPath, c.list);
        if (!c.existing.empty()) fs.AddFile(c.existing, "x");
        Open(offer, c.storedName);
        saved.clear();
        prompt.shown.clear();
        prompt.answers = {c.answer};
        const int unloads = view.unloads;
        form.Form_Load();
        if (c.name) view.SetText(txtName, c.name);
        if (c.path) view.SetText(txtPath, c.path);
        form.cmdOk_Click();

        std::wstring titles;
        for (const auto& shown : prompt.shown) titles += (shown.title.empty() ? shown.text : shown.title) + L"|";
        EXPECT_EQ(std::tuple(titles, ListFile()), std::tuple(c.titles, c.listAfter));
        const bool saves = !c.savedAs.empty();
        EXPECT_EQ(StoredName(), c.name ? c.name : !c.storedName.empty() ? c.storedName : saves ? L"Offer" : L"<none>");
        EXPECT_EQ(view.unloads, unloads + saves);
        ASSERT_EQ(saved.size(), size_t{saves});
        for (const auto& s : saved) {
            EXPECT_EQ(std::tuple(s.FileName, s.FileFormat), std::tuple(c.savedAs, 0));  // 0: Word 97-2003's
            EXPECT_FALSE(s.LockComments || s.Password || s.AddToRecentFiles || s.WritePassword ||
                         s.ReadOnlyRecommended || s.EmbedTrueTypeFonts || s.SaveNativePictureFormat ||
                         s.SaveFormsData || s.SaveAsAOCELetter);
        }
        if (!c.existing.empty()) fs.nodes.erase(FakeFileSystem::Key(c.existing));
        word.CloseDocument();
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(TemplateWorkflow, TheChecksRunInTheirOrderEachStoppingWithItsMessage) {
    fs.AddFile(testing::DataFolder::kPath + L"Templates.ini", "Memo||C:\\Q\\Memo.doc|>|\r\n");
    fs.AddFile(L"C:\\T\\Taken.doc", "x");
    Open(L"C:\\T\\Offer.doc");
    const std::wstring cyrillic = L"\u041f\u0438\u0441\u044c\u043c\u043e";
    const std::wstring invalid = L"Invalid template name", characters = L"Invalid characters";
    // The title tells the check; the folder's has none, its text stands in.
    const std::tuple<std::wstring, std::wstring, std::wstring> cases[] = {
        {L"", L"", L"No path entered"},
        {L"", L"C:\\T\\New.doc", L"No name entered"},
        {L"Offer", L"C:\\T\\Offer.docx", L"Invalid file extension"},
        {L"Offer", L"https://example.com/sites/t/Offer.doc", L"Invalid path"},
        // Names and paths the template lists could not hold come before everything they spoil.
        {L"Memo||2026", L"C:\\T\\Taken.doc", invalid},
        {L"Offer|>|", L"C:\\T\\New.doc", invalid},
        {L"Offer|", L"C:\\T\\New.doc", invalid},
        {cyrillic, L"C:\\T\\New.doc", characters},
        {L"Offer", L"C:\\T\\" + cyrillic + L".doc", characters},
        {L"Memo", L"C:\\T\\Taken.doc", L"Name is already used"},  // the name before the file
        {L"New", L"C:\\Missing\\New.doc", kNoAccess},
    };
    for (const auto& [name, path, title] : cases) {
        SCOPED_TRACE(text::ToUtf8(name + L" " + path));
        prompt.shown.clear();
        form.Form_Load();
        view.SetText(txtName, name);
        view.SetText(txtPath, path);
        form.cmdOk_Click();
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].title.empty() ? prompt.shown[0].text : prompt.shown[0].title, title);
        EXPECT_EQ(prompt.shown[0].icon, title.starts_with(L"No ") ? MsgIcon::Information : MsgIcon::Exclamation);
        EXPECT_EQ(view.texts[txtName] + L"|" + view.texts[txtPath], name + L"|" + path);
    }
    EXPECT_EQ(std::tuple(saved.size(), StoredName(), view.unloads, ListFile()), std::tuple(0u, L"<none>", 0, "<none>"));
}

// The companion product, or a second Word, records a template while the dialog is open.
TEST_F(TemplateWorkflow, OkReadsTheListAgainSoThatAnotherWritersEntryStaysAndCounts) {
    const std::string both = "Invoice||C:\\Q\\Invoice.doc|>|Offer||C:\\T\\Offer.doc|>|\r\n";
    Open(L"C:\\T\\Offer.doc");
    form.Form_Load();
    fs.AddFile(kListPath, "Invoice||C:\\Q\\Invoice.doc|>|\r\n");
    view.SetText(txtName, L"invoice");
    form.cmdOk_Click();
    EXPECT_EQ(Told(),
              L"Name is already used: A template with this name already exists, please choose an other name.\n");
    view.SetText(txtName, L"Offer");
    form.cmdOk_Click();
    EXPECT_EQ(ListFile(), both);

    Open(L"C:\\T\\Letter.doc");  // a list that cannot be read now: reported, not written over, the document not saved
    form.Form_Load();
    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    form.cmdOk_Click();
    fs.failing.clear();
    EXPECT_EQ(std::tuple(ListFile(), reports.size(), saved.size()), std::tuple(both, 1u, 1u));
}

TEST_F(TemplateWorkflow, AWizardDocumentIsSavedButNotRecordedAndYesClosesIt) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        Open(L"C:\\T\\Wizard.doc", L"", L"Offer");
        form.Form_Load();
        prompt.shown.clear();
        prompt.answers = {answer};
        form.cmdOk_Click();
        EXPECT_EQ(Told(), L"Template saved: Do you want to go back to the Quillora Template Wizard?\n");
        EXPECT_EQ(prompt.shown.at(0).buttons, MsgButtons::YesNo);
        EXPECT_EQ(word.DocumentCount(), answer == MsgAnswer::Yes ? 0 : 1);  // closed without a further question
    }
    EXPECT_EQ(std::tuple(saved.size(), StoredName(), view.unloads, ListFile()), std::tuple(2u, L"Wizard", 2, "<none>"));
}

TEST_F(TemplateWorkflow, AFailingSaveKeepsTheDocumentsNameAsItWasAndTheListUnchanged) {
    fs.AddFile(kListPath, "Offer||C:\\T\\Offer.doc|>|\r\n");
    word.Refuse(L"Document.SaveAs");
    for (const std::wstring name : {L"Offer", L""}) {
        Open(name.empty() ? L"C:\\T\\Letter.doc" : L"C:\\T\\Offer.doc", name);
        form.Form_Load();
        view.SetText(txtName, L"Offer 2");
        form.cmdOk_Click();
        EXPECT_THAT(reports.back(), ::testing::HasSubstr(L"Call Stack: frmTemplate.cmdOk_Click() "));
        EXPECT_EQ(StoredName(), name.empty() ? L"<none>" : name);
    }
    EXPECT_EQ(std::tuple(reports.size(), view.unloads, ListFile()),
              std::tuple(2u, 0, "Offer||C:\\T\\Offer.doc|>|\r\n"));
}

}  // namespace
}  // namespace qlora
