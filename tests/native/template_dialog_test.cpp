// "Use as template" against the in-memory Word, file system and registry: the proposal, the OK
// checks in their order, what is saved and recorded, the wizard's documents.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/port.h"
#include "base/text.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "settings/program_settings.h"
#include "support/data_folder.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "templates/template_dialog.h"
#include "templates/template_list.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::HasSubstr;
using testing::FakeFileSystem;
using Variables = std::vector<std::pair<std::wstring, std::wstring>>;

const std::wstring kListPath = testing::DataFolder::kPath + L"NewTemplates.ini";
const std::wstring kNoAccess = L"You don't have writeaccess to the selected folder, please choose another one";

// The dialog's fields; setting the path raises its change as the text box does.
class FakeTemplateView : public TemplateView {
public:
    frmTemplate* form = nullptr;
    std::map<TemplateField, std::wstring> texts, toolTips;
    std::vector<TemplateField> selectedAll;
    std::vector<SaveFileRequest> requests;
    std::deque<std::optional<std::wstring>> choices;  // the save dialog's answers; cancelled when none are left
    bool saveDialogFails = false;
    int unloads = 0;

    std::wstring Text(TemplateField field) override { return texts[field]; }
    void SetText(TemplateField field, const std::wstring& text) override {
        texts[field] = text;
        if (field == TemplateField::txtPath && form) form->txtPath_Change();
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

class TemplateWorkflow : public ::testing::Test {
protected:
    TemplateWorkflow() {
        basGlobal::gLanguage = basGlobal::kEnglish;
        SetLngId(2);
        basGlobal::gWordApplication = word.Application();
        basGlobal::gSettings = testing::AddInSettings();
        basGlobal::gTemplateList = std::make_shared<clsTemplateList>();
        fs.AddFolder(L"C:\\Templates");
        view.form = &form;
        word.OnSaveAs([this](const wordsim::Document& doc) { saved.push_back(*doc.savedAs); });
    }
    ~TemplateWorkflow() override {
        basGlobal::gWordApplication.reset();
        basGlobal::gSettings.reset();
        basGlobal::gTemplateList = savedList;
        basGlobal::gLanguage = savedLanguage;
        SetLngId(savedLngId);
    }

    void StoreDefaultFolder(const std::wstring& folder) {
        registry.PutString(kHKeyCurrentUser, frmTemplate::kProductSettingsKey, frmTemplate::kDefaultFolderEntry, folder);
    }
    void OpenSaved(const std::wstring& fullName, const Variables& variables = {}) {
        word.OpenDocument(fullName, L"<<Subject>>");
        for (const auto& [name, value] : variables) word.Application()->ActiveDocument()->Variables()->Add(name, value);
    }
    std::wstring Variable(const std::wstring& name) const {
        const auto* variable = word.ActiveDocument()->FindVariable(name);
        return variable ? variable->value : L"<none>";
    }
    void Type(TemplateField field, const std::wstring& text) { view.SetText(field, text); }
    std::string ListFile() const { return fs.Bytes(kListPath).value_or("<none>"); }

    const std::shared_ptr<clsTemplateList> savedList = basGlobal::gTemplateList;
    const int32_t savedLanguage = basGlobal::gLanguage;
    const int16_t savedLngId = gLngId();

    testing::TrailFixturePorts ports;
    testing::RecordingPrompt& prompt = ports.prompt;
    std::vector<std::wstring>& reports = ports.view.reports;
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    testing::DataFolder data;
    FakeFileSystem& fs = data.fs;
    wordsim::Word word;
    std::vector<word::SaveAsArgs> saved;
    FakeTemplateView view;
    frmTemplate form{view};
};

// The stored name or the file name, and the document's own path as a .doc file (SaveAs writes
// Word 97-2003's format); a web document goes to the folder last recorded, or the default folder.
TEST_F(TemplateWorkflow, TheProposalIsTheStoredOrFileNameAndADocFileBesideTheDocumentOrInTheLastFolderUsed) {
    StoreDefaultFolder(L"D:\\Quillora");
    const std::wstring web = L"https://example.com/sites/t/Offer.docx";
    struct Case {
        std::wstring fullName;
        Variables variables;
        std::string list;
        std::wstring proposed, name;
        bool fromWizard;
    };
    const Case cases[] = {
        {L"C:\\Templates\\Offer 2026.doc", {{L"TemplateName", L"Offer"}}, "", L"C:\\Templates\\Offer 2026.doc", L"Offer", false},
        {L"C:\\Templates\\Letter.v2.doc", {{L"Qlora", L"1"}}, "", L"C:\\Templates\\Letter.v2.doc", L"Letter.v2", true},
        {L"C:\\Templates\\Offer.2026.rtf", {}, "", L"C:\\Templates\\Offer.2026.doc", L"Offer.2026", false},
        {L"C:\\Templates\\Offer.DOC", {}, "", L"C:\\Templates\\Offer.DOC", L"Offer", false},
        {L"C:\\Templates\\Offer", {}, "", L"C:\\Templates\\Offer.doc", L"Offer", false},
        {L"C:\\Templates\\.doc", {}, "", L"C:\\Templates\\.doc", L"", false},
        {web, {}, "", L"D:\\Quillora\\Offer.doc", L"Offer", false},
        {web, {}, "Memo||E:\\Forms\\Memo.doc|>|\r\n", L"E:\\Forms\\Offer.doc", L"Offer", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text::ToUtf8(c.fullName));
        if (!c.list.empty()) fs.AddFile(kListPath, c.list);
        OpenSaved(c.fullName, c.variables);
        view.selectedAll.clear();
        form.Form_Load();
        EXPECT_TRUE(view.requests.empty());  // a saved document needs no save dialog first
        EXPECT_EQ(view.texts[TemplateField::txtPath], c.proposed);
        EXPECT_EQ(view.toolTips[TemplateField::txtPath], c.proposed);
        EXPECT_EQ(view.texts[TemplateField::txtName], c.name);
        EXPECT_EQ(view.selectedAll, std::vector<TemplateField>{TemplateField::txtName});
        EXPECT_EQ(form.FromWizard(), c.fromWizard);
        Type(TemplateField::txtPath, L"");
        form.cmdFile_Click();  // "..." with an empty path starts from the proposal
        EXPECT_EQ(view.requests.back().fileName, c.proposed);
        view.requests.clear();
        word.CloseDocument();
    }
    EXPECT_TRUE(prompt.shown.empty() && reports.empty());
}

TEST_F(TemplateWorkflow, ANeverSavedDocumentAsksForThePathFirstAndTheSaveDialogChangesOnlyThePath) {
    word.NewDocument();
    form.Form_Load();  // cancelled: both fields empty, OK asks for a path
    EXPECT_EQ(view.requests.at(0).fileName, L"Document1.doc");  // no default folder stored
    EXPECT_EQ(view.texts[TemplateField::txtPath] + view.texts[TemplateField::txtName], L"");
    form.cmdOk_Click();
    EXPECT_EQ(prompt.shown.back().text, L"Please select a path for the template first");

    StoreDefaultFolder(L"D:\\Quillora\\Templates");
    prompt.shown.clear();
    view.requests.clear();
    view.choices.push_back(L"D:\\Quillora\\Templates\\Memo.doc");
    form.Form_Load();
    EXPECT_EQ(prompt.shown.at(0).text, L"Please select the path, where do you want to save the template");
    EXPECT_EQ(view.requests.at(0), (SaveFileRequest{L"Word documents (*.doc)|*.doc",
                                                    L"D:\\Quillora\\Templates\\Document1.doc", L".doc"}));
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"D:\\Quillora\\Templates\\Memo.doc");
    EXPECT_EQ(view.texts[TemplateField::txtName], L"Memo");

    view.choices.push_back(L"C:\\Templates\\Other.doc");
    form.cmdFile_Click();
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    EXPECT_EQ(view.toolTips[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    view.saveDialogFails = true;
    form.cmdFile_Click();
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(view.unloads, 0);
}

// OK on a saved document: what is asked, what SaveAs writes (Word 97-2003's format, nothing else
// set), the name stored in the document and the list file's bytes afterwards.
TEST_F(TemplateWorkflow, OkSavesInWordsFormatStoresTheNameAndRecordsTheTemplate) {
    fs.connections[L"x:"] = L"\\\\srv\\share";
    fs.AddFolder(L"\\\\srv\\share\\T");
    const std::string offerAndLetter = "Offer||C:\\Templates\\Offer.doc|>|Letter||C:\\Templates\\Letter.doc|>|\r\n";
    const std::wstring taken = L"C:\\Templates\\Taken.doc";
    struct Case {
        const char* what;
        std::string list;
        std::wstring existing, storedName;
        std::optional<std::wstring> name, path;  // typed over the proposal
        std::vector<MsgAnswer> answers;
        std::vector<std::wstring> titles;
        std::wstring savedAs;  // none: nothing saved, nothing recorded
        std::string listAfter;
        bool folderRefusesWriting = false;
    };
    const Case cases[] = {
        {"as typed, not trimmed", "", L"", L"", L"Offer ", L"C:\\Templates\\Offer.DOC", {}, {},
         L"C:\\Templates\\Offer.DOC", "Offer ||C:\\Templates\\Offer.DOC|>|\r\n"},
        {"again under its own name and file: replaced, at the end", offerAndLetter, L"C:\\Templates\\Offer.doc",
         L"Offer", {}, {}, {}, {}, L"C:\\Templates\\Offer.doc",
         "Letter||C:\\Templates\\Letter.doc|>|Offer||C:\\Templates\\Offer.doc|>|\r\n"},
        {"its own name to another file", offerAndLetter, L"", L"Offer", {}, L"C:\\Templates\\Offer 2.doc", {}, {},
         L"C:\\Templates\\Offer 2.doc", "Letter||C:\\Templates\\Letter.doc|>|Offer||C:\\Templates\\Offer 2.doc|>|\r\n"},
        {"its own name in other letters", offerAndLetter, L"", L"Offer", L"OFFER", {}, {}, {},
         L"C:\\Templates\\Offer.doc", "Letter||C:\\Templates\\Letter.doc|>|OFFER||C:\\Templates\\Offer.doc|>|\r\n"},
        {"a mapped drive: its UNC form", "", L"", L"", {}, L"X:\\T\\Offer.doc", {}, {},
         L"\\\\srv\\share\\T\\Offer.doc", "Offer||\\\\srv\\share\\T\\Offer.doc|>|\r\n"},
        {"an existing file, Yes", "", taken, L"", {}, taken, {MsgAnswer::Yes}, {L"File already exists"}, taken,
         "Offer||C:\\Templates\\Taken.doc|>|\r\n"},
        {"an existing file, No, the folder writable: silently nothing", "", taken, L"", {}, taken, {MsgAnswer::No},
         {L"File already exists"}, L"", "<none>"},
        {"an existing file, No, the folder refuses writing: warned", "", taken, L"", {}, taken, {MsgAnswer::No},
         {L"File already exists", L""}, L"", "<none>", true},
        {"a path differing in letter case only is another file", "", L"C:\\Templates\\Offer.doc", L"Offer", {},
         L"C:\\TEMPLATES\\offer.doc", {MsgAnswer::No}, {L"File already exists"}, L"", "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs.nodes.erase(FakeFileSystem::Key(kListPath));
        fs.failing.clear();
        if (c.folderRefusesWriting) fs.failing.emplace(L"TryCreateFile", Error(70, L"CreateFile", L"Permission denied"));
        if (!c.list.empty()) fs.AddFile(kListPath, c.list);
        if (!c.existing.empty()) fs.AddFile(c.existing, "x");
        OpenSaved(L"C:\\Templates\\Offer.doc",
                  c.storedName.empty() ? Variables{} : Variables{{L"TemplateName", c.storedName}});
        saved.clear();
        prompt.shown.clear();
        prompt.answers = c.answers;
        const int unloads = view.unloads;
        form.Form_Load();
        if (c.name) Type(TemplateField::txtName, *c.name);
        if (c.path) Type(TemplateField::txtPath, *c.path);
        form.cmdOk_Click();

        std::vector<std::wstring> titles;
        for (const auto& shown : prompt.shown) titles.push_back(shown.title);
        EXPECT_EQ(titles, c.titles);
        if (c.folderRefusesWriting) {
            EXPECT_EQ(prompt.shown.back().text, kNoAccess);
        }
        EXPECT_EQ(ListFile(), c.listAfter);
        if (c.savedAs.empty()) {
            EXPECT_TRUE(saved.empty());
            EXPECT_EQ(Variable(L"TemplateName"), c.storedName.empty() ? L"<none>" : c.storedName);
            EXPECT_EQ(view.unloads, unloads);
        } else {
            ASSERT_EQ(saved.size(), 1u);
            EXPECT_EQ(saved[0].FileName, c.savedAs);
            EXPECT_EQ(saved[0].FileFormat, 0);
            EXPECT_FALSE(saved[0].LockComments || saved[0].Password || saved[0].AddToRecentFiles ||
                         saved[0].WritePassword || saved[0].ReadOnlyRecommended || saved[0].EmbedTrueTypeFonts ||
                         saved[0].SaveNativePictureFormat || saved[0].SaveFormsData || saved[0].SaveAsAOCELetter);
            EXPECT_EQ(Variable(L"TemplateName"), c.name.value_or(c.storedName.empty() ? L"Offer" : c.storedName));
            EXPECT_EQ(view.unloads, unloads + 1);
        }
        if (!c.existing.empty()) fs.nodes.erase(FakeFileSystem::Key(c.existing));
        word.CloseDocument();
    }
    EXPECT_TRUE(reports.empty());
}

TEST_F(TemplateWorkflow, TheChecksRunInTheirOrderEachStoppingWithItsMessage) {
    fs.AddFile(testing::DataFolder::kPath + L"Templates.ini", "Memo||C:\\Q\\Memo.doc|>|\r\n");
    fs.AddFile(L"C:\\Templates\\Taken.doc", "x");
    OpenSaved(L"C:\\Templates\\Offer.doc");
    const std::wstring separator = L"A template name must not contain \"||\" or \"|>|\" and must not end with \"|\". "
                                   L"Please choose another name.";
    const std::wstring codePage = L"The template's name and path may only hold characters of the system's character "
                                  L"set. Please choose another name or path.";
    const std::wstring extension = L"The template is saved as a Word document (*.doc). Please choose a file name "
                                   L"ending in \".doc\".";
    const std::wstring web = L"A template cannot be saved to a web address. Please choose a path on your computer or "
                             L"in your network.";
    const std::wstring cyrillic = L"\u041f\u0438\u0441\u044c\u043c\u043e";
    struct Case {
        std::wstring name, path, text, title;
    };
    const Case cases[] = {
        {L"", L"", L"Please select a path for the template first", L"No path entered"},
        {L"", L"C:\\Templates\\New.doc", L"Please enter a name for the template first", L"No name entered"},
        {L"Offer", L"C:\\Templates\\Offer.docx", extension, L"Invalid file extension"},
        {L"Offer", L"https://example.com/sites/t/Offer.doc", web, L"Invalid path"},
        // Names and paths the template lists could not hold come before everything they would spoil.
        {L"Memo||2026", L"C:\\Templates\\Taken.doc", separator, L"Invalid template name"},
        {L"Offer|>|", L"C:\\Templates\\New.doc", separator, L"Invalid template name"},
        {L"Offer|", L"C:\\Templates\\New.doc", separator, L"Invalid template name"},
        {cyrillic, L"C:\\Templates\\New.doc", codePage, L"Invalid characters"},
        {L"Offer", L"C:\\Templates\\" + cyrillic + L".doc", codePage, L"Invalid characters"},
        {L"Memo", L"C:\\Templates\\Taken.doc",  // the name comes before the file
         L"A template with this name already exists, please choose an other name.", L"Name is already used"},
        {L"New", L"C:\\Missing\\New.doc", kNoAccess, L""},
    };
    for (const auto& c : cases) {
        prompt.shown.clear();
        form.Form_Load();
        Type(TemplateField::txtName, c.name);
        Type(TemplateField::txtPath, c.path);
        form.cmdOk_Click();
        ASSERT_EQ(prompt.shown.size(), 1u) << text::ToUtf8(c.name) << " " << text::ToUtf8(c.path);
        EXPECT_EQ(prompt.shown[0].text, c.text);
        EXPECT_EQ(prompt.shown[0].title, c.title);
        EXPECT_EQ(prompt.shown[0].icon, c.text.starts_with(L"Please") ? MsgIcon::Information : MsgIcon::Exclamation);
        EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(view.texts[TemplateField::txtName], c.name);  // the fields stay as they were
        EXPECT_EQ(view.texts[TemplateField::txtPath], c.path);
    }
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(Variable(L"TemplateName"), L"<none>");
    EXPECT_EQ(view.unloads, 0);
    EXPECT_EQ(ListFile(), "<none>");
}

// The companion product, or a second Word, records a template while the dialog is open.
TEST_F(TemplateWorkflow, OkReadsTheListAgainSoThatAnotherWritersEntryStaysAndCounts) {
    const std::string both = "Invoice||C:\\Q\\Invoice.doc|>|Offer||C:\\Templates\\Offer.doc|>|\r\n";
    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    fs.AddFile(kListPath, "Invoice||C:\\Q\\Invoice.doc|>|\r\n");
    Type(TemplateField::txtName, L"invoice");
    form.cmdOk_Click();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"Name is already used");
    Type(TemplateField::txtName, L"Offer");
    form.cmdOk_Click();
    EXPECT_EQ(ListFile(), both);

    OpenSaved(L"C:\\Templates\\Letter.doc");  // a list that cannot be read now is not written over
    form.Form_Load();
    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    form.cmdOk_Click();
    fs.failing.clear();
    EXPECT_EQ(ListFile(), both);
    EXPECT_EQ(reports.size(), 1u);
    EXPECT_EQ(saved.size(), 1u);  // and the document was not saved either
}

TEST_F(TemplateWorkflow, AWizardDocumentIsSavedButNotRecordedAndYesClosesIt) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        OpenSaved(L"C:\\Templates\\Wizard.doc", {{L"Qlora", L"Offer"}});
        form.Form_Load();
        prompt.shown.clear();
        prompt.answers = {answer};
        form.cmdOk_Click();
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text + L"/" + prompt.shown[0].title,
                  L"Do you want to go back to the Quillora Template Wizard?/Template saved");
        EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(word.DocumentCount(), answer == MsgAnswer::Yes ? 0 : 1);  // closed without a further question
    }
    EXPECT_EQ(saved.size(), 2u);
    EXPECT_EQ(Variable(L"TemplateName"), L"Wizard");
    EXPECT_EQ(ListFile(), "<none>");
    EXPECT_EQ(view.unloads, 2);
}

TEST_F(TemplateWorkflow, AFailingSaveKeepsTheDocumentsNameAsItWasAndTheListUnchanged) {
    fs.AddFile(kListPath, "Offer||C:\\Templates\\Offer.doc|>|\r\n");
    word.Refuse(L"Document.SaveAs");
    for (const Variables& variables : {Variables{{L"TemplateName", L"Offer"}}, Variables{}}) {
        OpenSaved(variables.empty() ? L"C:\\Templates\\Letter.doc" : L"C:\\Templates\\Offer.doc", variables);
        form.Form_Load();
        Type(TemplateField::txtName, L"Offer 2");
        form.cmdOk_Click();
        EXPECT_THAT(reports.back(), HasSubstr(L"Call Stack: frmTemplate.cmdOk_Click() "));
        EXPECT_EQ(Variable(L"TemplateName"), variables.empty() ? L"<none>" : L"Offer");
    }
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(ListFile(), "Offer||C:\\Templates\\Offer.doc|>|\r\n");
    EXPECT_EQ(view.unloads, 0);
}

TEST_F(TemplateWorkflow, LoadWithoutADocumentAndOkAfterUnloadingAreReportedAndSaveNothing) {
    form.Form_Load();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_THAT(reports[0], HasSubstr(L"Call Stack: frmTemplate.Form_Load() "));
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"");

    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    form.cmdCancel_Click();
    EXPECT_EQ(view.unloads, 1);
    bool cancel = false;
    form.Form_Unload(cancel);
    EXPECT_FALSE(cancel);
    form.cmdOk_Click();  // the unloaded dialog let go of the document
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(reports.size(), 2u);
}

}  // namespace
}  // namespace qlora
