// frmInfo: the small information dialog of the toolbar's Info button. It shows the program's
// name, the add-in's own version and two clickable lines: the support e-mail address, which
// starts a new e-mail through the shell, and the homepage, which the shell opens in the browser.
#pragma once

#include <cstdint>
#include <string>

namespace qlora {

enum class InfoLabel { lblName, lblVersion, lblEmail, lblHomepage };

// The dialog as the form drives it.
class InfoView {
public:
    virtual ~InfoView() = default;
    virtual void SetText(InfoLabel label, const std::wstring& text) = 0;
    virtual std::intptr_t WindowHandle() = 0;  // the owner of what the shell shows
    virtual void Unload() = 0;
};

class frmInfo {
public:
    static constexpr wchar_t kTypeName[] = L"frmInfo";

    explicit frmInfo(InfoView& view) : view_(view) {}
    frmInfo(const frmInfo&) = delete;
    frmInfo& operator=(const frmInfo&) = delete;

    // The name label is set before failures are recorded: a failure there goes to whoever opened
    // the dialog. Every other failure is reported by the handler itself.
    void Form_Load();
    void cmdOK_Click();
    // Closes the dialog, then starts a new e-mail to the support address.
    void lblEmail_Click();
    // Opens the homepage; the dialog stays open.
    void lblHomepage_Click();

private:
    InfoView& view_;
};

}  // namespace qlora
