// "Use as template" against the in-memory Word, file system and registry: what the dialog
// proposes, the OK checks in their order with their messages, what is saved and recorded, the
// wizard's documents, network paths, and names and paths the template lists cannot hold.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addin/global.h"
#include "common/port.h"
#include "common/text.h"
#include "settings/language_texts.h"
#include "settings/program_settings.h"
#include "support/fake_file_system.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "templates/template_dialog.h"
#include "templates/template_list.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::HasSubstr;
using testing::FakeFileSystem;
using testing::RecordingPrompt;

const std::wstring kData = L"C:\\Users\\u\\AppData\\Local\\Tandrel\\Quillora\\";
const std::wstring kListPath = kData + L"NewTemplates.ini";
const std::wstring kProductListPath = kData + L"Templates.ini";

// The dialog's fields as a test sees them; setting the path raises its change as the text box does.
class FakeTemplateView : public TemplateView {
public:
    frmTemplate* form = nullptr;
    std::map<TemplateField, std::wstring> texts;
    std::map<TemplateField, std::wstring> toolTips;
    std::vector<TemplateField> selectedAll;
    std::vector<SaveFileRequest> requests;
    std::deque<std::optional<std::wstring>> choices;  // the save dialog's answers; cancelled when none are left
    bool saveDialogFails = false;
    int unloads = 0;
    std::vector<std::wstring>* events = nullptr;  // the order of messages and save dialogs

    std::wstring Text(TemplateField field) override { return texts[field]; }
    void SetText(TemplateField field, const std::wstring& text) override {
        texts[field] = text;
        if (field == TemplateField::txtPath && form) form->txtPath_Change();
    }
    void SelectAll(TemplateField field) override { selectedAll.push_back(field); }
    void SetToolTip(TemplateField field, const std::wstring& text) override { toolTips[field] = text; }
    std::optional<std::wstring> ChooseSaveFile(const SaveFileRequest& request) override {
        requests.push_back(request);
        if (events) events->push_back(L"save dialog");
        if (saveDialogFails) throw Error(32755, L"CommonDialog", L"Cancel was selected.");
        if (choices.empty()) return std::nullopt;
        auto choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void Unload() override { ++unloads; }
};

// A prompt that also writes each message into the shared order of events.
class OrderedPrompt : public RecordingPrompt {
public:
    std::vector<std::wstring>* events = nullptr;
    MsgAnswer Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) override {
        if (events) events->push_back(std::wstring(text));
        return RecordingPrompt::Show(text, title, buttons, icon);
    }
};

class TemplateWorkflow : public ::testing::Test {
protected:
    TemplateWorkflow() {
        basGlobal::gDataPath = kData;
        basGlobal::gLanguage = basGlobal::kEnglish;
        SetLngId(2);
        basGlobal::gWordApplication = word.Application();
        basGlobal::gSettings = testing::AddInSettings();
        basGlobal::gTemplateList = std::make_shared<clsTemplateList>();
        fs.AddFolder(kData);
        fs.AddFolder(L"C:\\Templates");
        view.form = &form;
        view.events = &events;
        prompt.events = &events;
        word.OnSaveAs([this](const wordsim::Document& doc) { saved.push_back(*doc.savedAs); });
    }
    ~TemplateWorkflow() override {
        basGlobal::gWordApplication.reset();
        basGlobal::gSettings.reset();
        basGlobal::gTemplateList = savedList;
        basGlobal::gDataPath = savedDataPath;
        basGlobal::gLanguage = savedLanguage;
        SetLngId(savedLngId);
    }

    // A document saved before under this full name, optionally carrying variables.
    void OpenSaved(const std::wstring& fullName, const std::vector<std::pair<std::wstring, std::wstring>>& variables = {}) {
        word.OpenDocument(fullName, L"<<Subject>>");
        for (const auto& [name, value] : variables) word.Application()->ActiveDocument()->Variables()->Add(name, value);
    }
    std::wstring Variable(const std::wstring& name) const {
        const auto* variable = word.ActiveDocument()->FindVariable(name);
        return variable ? variable->value : L"<none>";
    }
    void Type(TemplateField field, const std::wstring& text) { view.SetText(field, text); }
    // Opens the dialog afresh, types the name and the path and presses OK.
    void OkWith(const std::wstring& name, const std::wstring& path) {
        prompt.shown.clear();
        form.Form_Load();
        Type(TemplateField::txtName, name);
        Type(TemplateField::txtPath, path);
        form.cmdOk_Click();
    }
    std::vector<std::wstring> Messages() const {
        std::vector<std::wstring> texts;
        for (const auto& shown : prompt.shown) texts.push_back(shown.text);
        return texts;
    }
    std::string ListFile() const { return fs.Bytes(kListPath).value_or("<none>"); }

    const std::wstring savedDataPath = basGlobal::gDataPath;
    const std::shared_ptr<clsTemplateList> savedList = basGlobal::gTemplateList;
    const int32_t savedLanguage = basGlobal::gLanguage;
    const int16_t savedLngId = gLngId();

    testing::FakeTrailHost host;
    OrderedPrompt prompt;
    testing::RecordingReportView reports;
    ScopedPort<ErrorTrailHost> hostSlot{host};
    ScopedPort<MessagePrompt> promptSlot{prompt};
    ScopedPort<ReportView> reportSlot{reports};
    testing::FakeRegistry registry;
    ScopedPort<RegistryPort> registrySlot{registry};
    FakeFileSystem fs;
    ScopedPort<FileSystemPort> fsSlot{fs};
    wordsim::Word word;
    std::vector<word::SaveAsArgs> saved;
    std::vector<std::wstring> events;
    FakeTemplateView view;
    frmTemplate form{view};
};

// What the dialog proposes: the stored name or the file name, and the document's own path as a
// .doc file, as SaveAs writes Word 97-2003's format; a document from a web location goes to the
// folder a template was last recorded in, or the default folder. "..." with an empty path starts
// from the proposal.
TEST_F(TemplateWorkflow, TheProposalIsTheStoredOrFileNameAndADocFileBesideTheDocumentOrInTheLastFolderUsed) {
    registry.PutString(kHKeyCurrentUser, L"Software\\Tandrel\\Quillora\\Settings", L"DefaultTemplateFolder",
                       L"D:\\Quillora");
    const std::wstring web = L"https://example.com/sites/t/Offer.docx";
    struct Case {
        std::wstring fullName;
        std::vector<std::pair<std::wstring, std::wstring>> variables;
        std::string list;
        std::wstring proposed, name;
        bool fromWizard;
    };
    const Case cases[] = {
        {L"C:\\Templates\\Offer 2026.doc", {{L"TemplateName", L"Offer"}}, "", L"C:\\Templates\\Offer 2026.doc", L"Offer", false},
        {L"C:\\Templates\\Letter.v2.doc", {{L"Qlora", L"1"}}, "", L"C:\\Templates\\Letter.v2.doc", L"Letter.v2", true},
        {L"C:\\Templates\\Offer.docx", {}, "", L"C:\\Templates\\Offer.doc", L"Offer", false},
        {L"C:\\Templates\\Offer.2026.rtf", {}, "", L"C:\\Templates\\Offer.2026.doc", L"Offer.2026", false},
        {L"C:\\Templates\\Offer.DOC", {}, "", L"C:\\Templates\\Offer.DOC", L"Offer", false},
        {L"C:\\Templates\\Offer", {}, "", L"C:\\Templates\\Offer.doc", L"Offer", false},
        {L"\\\\srv\\share\\Letter.doc", {}, "", L"\\\\srv\\share\\Letter.doc", L"Letter", false},
        {L"C:\\Templates\\.doc", {}, "", L"C:\\Templates\\.doc", L"", false},
        {web, {}, "", L"D:\\Quillora\\Offer.doc", L"Offer", false},
        {web, {}, "Memo||E:\\Forms\\Memo.doc|>|\r\n", L"E:\\Forms\\Offer.doc", L"Offer", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text::ToUtf8(c.fullName));
        if (!c.list.empty()) fs.AddFile(kListPath, c.list);
        OpenSaved(c.fullName, c.variables);
        view.selectedAll.clear();
        const auto requests = view.requests.size();
        form.Form_Load();
        EXPECT_EQ(view.requests.size(), requests);  // a saved document needs no save dialog first
        EXPECT_EQ(view.texts[TemplateField::txtPath], c.proposed);
        EXPECT_EQ(view.toolTips[TemplateField::txtPath], c.proposed);
        EXPECT_EQ(view.texts[TemplateField::txtName], c.name);
        EXPECT_EQ(view.selectedAll, std::vector<TemplateField>{TemplateField::txtName});
        EXPECT_EQ(form.FromWizard(), c.fromWizard);
        Type(TemplateField::txtPath, L"");
        form.cmdFile_Click();
        EXPECT_EQ(view.requests.back().fileName, c.proposed);
        word.CloseDocument();
    }
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(reports.reports.empty());
}

TEST_F(TemplateWorkflow, ANeverSavedDocumentAsksForThePathBeforeTheDialogShows) {
    registry.PutString(kHKeyCurrentUser, L"Software\\Tandrel\\Quillora\\Settings", L"DefaultTemplateFolder",
                       L"D:\\Quillora\\Templates");
    word.NewDocument();
    view.choices.push_back(L"D:\\Quillora\\Templates\\Memo.doc");
    form.Form_Load();
    EXPECT_EQ(events, (std::vector<std::wstring>{L"Please select the path, where do you want to save the template",
                                                 L"save dialog"}));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"");
    EXPECT_EQ(prompt.shown[0].icon, MsgIcon::Information);
    ASSERT_EQ(view.requests.size(), 1u);
    EXPECT_EQ(view.requests[0], (SaveFileRequest{L"Word documents (*.doc)|*.doc",
                                                 L"D:\\Quillora\\Templates\\Document1.doc", L".doc"}));
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"D:\\Quillora\\Templates\\Memo.doc");
    EXPECT_EQ(view.texts[TemplateField::txtName], L"Memo");
}

TEST_F(TemplateWorkflow, TheSaveDialogChangesOnlyThePathAndCancellingOrFailingItChangesNothing) {
    word.NewDocument();
    form.Form_Load();  // cancelled before the dialog shows: both fields empty, OK asks for a path
    EXPECT_EQ(view.requests.at(0).fileName, L"Document1.doc");  // no default folder stored
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"");
    EXPECT_EQ(view.texts[TemplateField::txtName], L"");
    form.cmdOk_Click();
    EXPECT_EQ(Messages().back(), L"Please select a path for the template first");

    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    view.choices.push_back(L"C:\\Templates\\Other.doc");
    form.cmdFile_Click();
    EXPECT_EQ(view.requests.back().fileName, L"C:\\Templates\\Offer.doc");
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    EXPECT_EQ(view.toolTips[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    EXPECT_EQ(view.texts[TemplateField::txtName], L"Offer");
    view.saveDialogFails = true;
    form.cmdFile_Click();
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"C:\\Templates\\Other.doc");
    EXPECT_TRUE(reports.reports.empty());
    EXPECT_EQ(view.unloads, 0);
}

// OK on a saved document: what is asked, what SaveAs writes (Word 97-2003's format, nothing else
// set), the name stored in the document and the list file's bytes afterwards.
TEST_F(TemplateWorkflow, OkSavesInWordsFormatStoresTheNameAndRecordsTheTemplate) {
    fs.connections[L"x:"] = L"\\\\srv\\share";
    fs.AddFolder(L"\\\\srv\\share\\T");
    const std::string offerAndLetter = "Offer||C:\\Templates\\Offer.doc|>|Letter||C:\\Templates\\Letter.doc|>|\r\n";
    struct Case {
        const char* what;
        std::string list;
        std::wstring existing, storedName;
        std::optional<std::wstring> name, path;  // typed over the proposal
        std::vector<MsgAnswer> answers;
        std::vector<std::wstring> titles;
        std::wstring savedAs;  // none: nothing saved, nothing recorded
        std::string listAfter;
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
        {"another taken name in other letters", offerAndLetter, L"", L"Offer", L"LETTER", {}, {},
         {L"Name is already used"}, L"", offerAndLetter},
        {"a mapped drive: its UNC form", "", L"", L"", {}, L"X:\\T\\Offer.doc", {}, {},
         L"\\\\srv\\share\\T\\Offer.doc", "Offer||\\\\srv\\share\\T\\Offer.doc|>|\r\n"},
        {"an existing file, Yes", "", L"C:\\Templates\\Taken.doc", L"", {}, L"C:\\Templates\\Taken.doc",
         {MsgAnswer::Yes}, {L"File already exists"}, L"C:\\Templates\\Taken.doc",
         "Offer||C:\\Templates\\Taken.doc|>|\r\n"},
        {"an existing file, No, the folder writable: silently nothing", "", L"C:\\Templates\\Taken.doc", L"", {},
         L"C:\\Templates\\Taken.doc", {MsgAnswer::No}, {L"File already exists"}, L"", "<none>"},
        {"a path differing in letter case only is another file", "", L"C:\\Templates\\Offer.doc", L"Offer", {},
         L"C:\\TEMPLATES\\offer.doc", {MsgAnswer::No}, {L"File already exists"}, L"", "<none>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs.nodes.erase(FakeFileSystem::Key(kListPath));
        if (!c.list.empty()) fs.AddFile(kListPath, c.list);
        if (!c.existing.empty()) fs.AddFile(c.existing, "x");
        std::vector<std::pair<std::wstring, std::wstring>> variables;
        if (!c.storedName.empty()) variables.emplace_back(L"TemplateName", c.storedName);
        OpenSaved(L"C:\\Templates\\Offer.doc", variables);
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
    EXPECT_TRUE(reports.reports.empty());
}

TEST_F(TemplateWorkflow, TheChecksRunInTheirOrderEachStoppingWithItsMessage) {
    fs.AddFile(kProductListPath, "Memo||C:\\Q\\Memo.doc|>|\r\n");
    fs.AddFile(L"C:\\Templates\\Taken.doc", "x");
    fs.AddFile(L"C:\\Templates\\Offer.doc", "x");
    OpenSaved(L"C:\\Templates\\Offer.doc");
    const std::wstring separator = L"A template name must not contain \"||\" or \"|>|\" and must not end with \"|\". "
                                   L"Please choose another name.";
    const std::wstring codePage = L"The template's name and path may only hold characters of the system's character "
                                  L"set. Please choose another name or path.";
    const std::wstring noAccess = L"You don't have writeaccess to the selected folder, please choose another one";
    const std::wstring extension = L"The template is saved as a Word document (*.doc). Please choose a file name "
                                   L"ending in \".doc\".";
    const std::wstring web = L"A template cannot be saved to a web address. Please choose a path on your computer or "
                             L"in your network.";
    const std::wstring cyrillic = L"\u041f\u0438\u0441\u044c\u043c\u043e";
    struct Case {
        std::wstring name, path, text, title;
        MsgIcon icon;
    };
    const Case cases[] = {
        {L"", L"", L"Please select a path for the template first", L"No path entered", MsgIcon::Information},
        {L"", L"C:\\Templates\\New.doc", L"Please enter a name for the template first", L"No name entered",
         MsgIcon::Information},
        // SaveAs writes a .doc file: no other name, and no web address, is taken for one.
        {L"Offer", L"C:\\Templates\\Offer.docx", extension, L"Invalid file extension", MsgIcon::Exclamation},
        {L"Offer", L"C:\\Templates\\Offer", extension, L"Invalid file extension", MsgIcon::Exclamation},
        {L"Offer", L"https://example.com/sites/t/Offer.doc", web, L"Invalid path", MsgIcon::Exclamation},
        // Names and paths the template lists could not hold come before everything they would spoil.
        {L"Memo||2026", L"C:\\Templates\\Taken.doc", separator, L"Invalid template name", MsgIcon::Exclamation},
        {L"Offer|>|", L"C:\\Templates\\New.doc", separator, L"Invalid template name", MsgIcon::Exclamation},
        {L"Offer|", L"C:\\Templates\\New.doc", separator, L"Invalid template name", MsgIcon::Exclamation},
        {cyrillic, L"C:\\Templates\\New.doc", codePage, L"Invalid characters", MsgIcon::Exclamation},
        {L"Offer", L"C:\\Templates\\" + cyrillic + L".doc", codePage, L"Invalid characters", MsgIcon::Exclamation},
        {L"Memo", L"C:\\Templates\\Taken.doc",  // the name comes before the file
         L"A template with this name already exists, please choose an other name.", L"Name is already used",
         MsgIcon::Exclamation},
        {L"New", L"C:\\Missing\\New.doc", noAccess, L"", MsgIcon::Exclamation},
        {L"New", L"C:\\Templates\\Offer.doc\\New.doc", noAccess, L"", MsgIcon::Exclamation},  // below a file
    };
    for (const auto& c : cases) {
        OkWith(c.name, c.path);
        ASSERT_EQ(prompt.shown.size(), 1u) << text::ToUtf8(c.name) << " " << text::ToUtf8(c.path);
        EXPECT_EQ(prompt.shown[0].text, c.text);
        EXPECT_EQ(prompt.shown[0].title, c.title);
        EXPECT_EQ(prompt.shown[0].icon, c.icon);
        EXPECT_EQ(prompt.shown[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(view.texts[TemplateField::txtName], c.name);  // the fields stay as they were
        EXPECT_EQ(view.texts[TemplateField::txtPath], c.path);
    }
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(Variable(L"TemplateName"), L"<none>");
    EXPECT_EQ(view.unloads, 0);
    EXPECT_EQ(ListFile(), "<none>");
}

TEST_F(TemplateWorkflow, NoToTheOverwriteQuestionStillWarnsAboutAFolderThatRefusesWriting) {
    fs.AddFile(L"C:\\Templates\\Taken.doc", "x");
    fs.failing.emplace(L"TryCreateFile", Error(70, L"CreateFile", L"Permission denied"));
    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    Type(TemplateField::txtPath, L"C:\\Templates\\Taken.doc");
    prompt.answers = {MsgAnswer::No};
    form.cmdOk_Click();
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], L"You don't have writeaccess to the selected folder, please choose another one");
    EXPECT_TRUE(saved.empty());
}

// The companion product, or a second Word, records a template while the dialog is open.
TEST_F(TemplateWorkflow, OkReadsTheListAgainSoThatAnotherWritersEntryStaysAndCounts) {
    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    fs.AddFile(kListPath, "Invoice||C:\\Q\\Invoice.doc|>|\r\n");
    Type(TemplateField::txtName, L"invoice");
    form.cmdOk_Click();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].title, L"Name is already used");

    Type(TemplateField::txtName, L"Offer");
    form.cmdOk_Click();
    EXPECT_EQ(ListFile(), "Invoice||C:\\Q\\Invoice.doc|>|Offer||C:\\Templates\\Offer.doc|>|\r\n");

    // A list that cannot be read now is not written over.
    OpenSaved(L"C:\\Templates\\Letter.doc");
    form.Form_Load();
    fs.failing.emplace(L"ReadText", Error(70, L"CreateFile", L"Permission denied"));
    Type(TemplateField::txtName, L"Letter");
    form.cmdOk_Click();
    fs.failing.clear();
    EXPECT_EQ(ListFile(), "Invoice||C:\\Q\\Invoice.doc|>|Offer||C:\\Templates\\Offer.doc|>|\r\n");
    EXPECT_EQ(reports.reports.size(), 1u);  // the list's own report of the failed read
    EXPECT_EQ(saved.size(), 1u);            // and the document was not saved either
}

TEST_F(TemplateWorkflow, AWizardDocumentIsSavedButNotRecordedAndYesClosesIt) {
    for (const MsgAnswer answer : {MsgAnswer::Yes, MsgAnswer::No}) {
        OpenSaved(L"C:\\Templates\\Wizard.doc", {{L"Qlora", L"Offer"}});
        form.Form_Load();
        prompt.shown.clear();
        prompt.answers = {answer};
        form.cmdOk_Click();
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].text, L"Do you want to go back to the Quillora Template Wizard?");
        EXPECT_EQ(prompt.shown[0].title, L"Template saved");
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
    OpenSaved(L"C:\\Templates\\Offer.doc", {{L"TemplateName", L"Offer"}});
    word.Refuse(L"Document.SaveAs");
    form.Form_Load();
    Type(TemplateField::txtName, L"Offer 2");
    form.cmdOk_Click();
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_THAT(reports.reports[0], HasSubstr(L"Call Stack: frmTemplate.cmdOk_Click() "));
    EXPECT_EQ(Variable(L"TemplateName"), L"Offer");
    EXPECT_EQ(ListFile(), "Offer||C:\\Templates\\Offer.doc|>|\r\n");
    EXPECT_EQ(view.unloads, 0);

    frmTemplate fresh(view);  // a document that had no name keeps having none
    view.form = &fresh;
    OpenSaved(L"C:\\Templates\\Letter.doc");
    fresh.Form_Load();
    fresh.cmdOk_Click();
    EXPECT_EQ(Variable(L"TemplateName"), L"<none>");
}

TEST_F(TemplateWorkflow, CancelUnloadsAndSavesNothingAndUnloadingLetsGoOfTheDocument) {
    OpenSaved(L"C:\\Templates\\Offer.doc");
    form.Form_Load();
    form.cmdCancel_Click();
    EXPECT_EQ(view.unloads, 1);
    bool cancel = false;
    form.Form_Unload(cancel);
    EXPECT_FALSE(cancel);
    form.cmdOk_Click();  // no document any more: reported, nothing saved
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(reports.reports.size(), 1u);
}

TEST_F(TemplateWorkflow, WithoutAnActiveDocumentTheLoadIsReportedAndTheFieldsStayEmpty) {
    form.Form_Load();
    ASSERT_EQ(reports.reports.size(), 1u);
    EXPECT_THAT(reports.reports[0], HasSubstr(L"Call Stack: frmTemplate.Form_Load() "));
    EXPECT_EQ(view.texts[TemplateField::txtPath], L"");
}

}  // namespace
}  // namespace qlora
