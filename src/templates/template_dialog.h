// frmTemplate: the dialog "Use as template". It proposes a template name and a target file for
// the active document, checks them, stores the name in the document ("TemplateName"), saves the
// document in Word's document format and records the template in the add-in's template list. A
// document carrying the wizard marker "Qlora" comes from the companion product's template wizard:
// it is saved but not recorded, and the user may close it to go back to the wizard.
//
// The workflow lives here. The Windows dialog shows the two fields and the save-file dialog
// through TemplateView and hands the user's actions to the event handlers below.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "toolbar/word_variables.h"
#include "word/word_host.h"

namespace qlora {

enum class TemplateField { txtName, txtPath };

// What the standard save-file dialog is opened with.
struct SaveFileRequest {
    std::wstring filter;            // description "|" pattern pairs, as text 296 holds them
    std::wstring fileName;          // the file proposed
    std::wstring defaultExtension;  // added to a name typed without one, e.g. ".doc"

    friend bool operator==(const SaveFileRequest&, const SaveFileRequest&) = default;
};

// The dialog as the form drives it.
class TemplateView {
public:
    virtual ~TemplateView() = default;
    virtual std::wstring Text(TemplateField field) = 0;
    virtual void SetText(TemplateField field, const std::wstring& text) = 0;
    virtual void SelectAll(TemplateField field) = 0;
    virtual void SetToolTip(TemplateField field, const std::wstring& text) = 0;
    // The standard save-file dialog: the file chosen, or nothing when the user cancelled.
    virtual std::optional<std::wstring> ChooseSaveFile(const SaveFileRequest& request) = 0;
    virtual void Unload() = 0;
};

class frmTemplate {
public:
    static constexpr wchar_t kTypeName[] = L"frmTemplate";
    // The document variables: the name the document was last saved under as a template, and the
    // companion product's wizard marker (only read).
    static constexpr wchar_t kTemplateNameVariable[] = L"TemplateName";
    static constexpr wchar_t kWizardMarkerVariable[] = L"Qlora";
    // The companion product's own settings, where its default template folder is kept.
    static constexpr wchar_t kProductSettingsKey[] = L"Software\\Tandrel\\Quillora\\Settings";
    static constexpr wchar_t kDefaultFolderEntry[] = L"DefaultTemplateFolder";

    explicit frmTemplate(TemplateView& view) : myView(view) {}
    frmTemplate(const frmTemplate&) = delete;
    frmTemplate& operator=(const frmTemplate&) = delete;

    // Event handlers: each reports its own failure; the dialog then stays open as it is.
    void Form_Load();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdFile_Click();
    void txtPath_Change();
    void Form_Unload(bool& Cancel);

    void LngPtrn_NewConst_frmTemplate();
    // The companion product's default template folder with a trailing "\"; empty when none is set.
    std::wstring GetDefaultFolder();
    // The file chosen in the save-file dialog; empty when the user cancelled or anything failed.
    std::wstring ShowSaveDialog(const std::wstring& strFileName);

    bool FromWizard() const noexcept { return bolFromWizard; }

private:
    // The file proposed for a document saved before: its own folder and name with the ".doc"
    // that SaveAs writes; for a document opened from a web location, the folder a template was
    // last recorded in (else the default template folder) instead of the web address.
    std::wstring ProposedPath(word::Document& doc);
    // Whether SaveAs may write to the path typed: a file ending in ".doc", not a web address; a
    // path refused gets its message.
    bool PathAccepted(const std::wstring& path);
    // The OK checks up to the save; false when one of them stopped it (its message was shown).
    bool ChecksPass(const std::wstring& name, const std::wstring& path, const std::wstring& oldName,
                    const std::wstring& oldPath);
    // Saves the document under the name and path; a failing save leaves the variable as it was.
    void SaveUnder(const std::wstring& name, const std::wstring& path, const std::wstring& oldName);

    TemplateView& myView;
    std::shared_ptr<word::Document> myDoc;
    std::unique_ptr<clsWord> myWord;
    bool bolFromWizard = false;
    std::wstring strFilter;
};

namespace basGlobal {

// The file name of a path without its extension: C:\T\Offer.2005.doc gives Offer.2005; a name
// without a point stays whole, one that begins with its only point gives "".
std::wstring GetNameFromFile(const std::wstring& strPath);

}  // namespace basGlobal
}  // namespace qlora
