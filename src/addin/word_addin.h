// clsWordAddIn: the add-in handler. Connect makes one per connection: InitHandler sets up the
// process-wide state and listens to Word's DocumentChange (which builds and refreshes the toolbar);
// the first toolbar loads frmTimer, which has it store its position every five seconds.
// UnInitHandler tears it all down again.
#pragma once

#include <memory>

#include "addin/timer_form.h"
#include "word/word_host.h"

namespace qlora {

// The dialogs that may still be open when the add-in is unloaded (info, error report).
class OpenDialogs {
public:
    virtual ~OpenDialogs() = default;
    virtual void UnloadInfo() = 0;
    virtual void UnloadErrorReport() = 0;
};

class clsWordAddIn {
public:
    static constexpr wchar_t kTypeName[] = L"clsWordAddIn";

    clsWordAddIn() = default;
    clsWordAddIn(const clsWordAddIn&) = delete;  // Word's events are bound to this object
    clsWordAddIn& operator=(const clsWordAddIn&) = delete;

    // Each reports a failure itself and returns; the steps after the failing one are skipped.
    void InitHandler(const std::shared_ptr<word::Application>& myApplication);
    void UnInitHandler();
    void myWordApp_DocumentChange();
    void myTimerForm_SaveCommandPosition();
    // Word's start-up is complete (or the add-in was loaded while Word runs): whether Word raised
    // DocumentChange for the document it opened is not documented, so a toolbar that no
    // DocumentChange has built yet is built now, when a document is open.
    void StartupComplete();
    // The user unloads the add-in while Word keeps running: the toolbar is taken out of Word.
    void RemoveToolbar();

private:
    // Loads frmTimer once a toolbar exists; a failure to load it is reported once.
    void LoadTimerForToolbar();

    std::shared_ptr<word::Application> myWordApp;
    EventConnection myWordAppEvents;
    std::unique_ptr<frmTimer> myTimerForm;  // loaded, its SaveCommandPosition reaching us
    bool timerLoaded_ = false;              // loading was tried for this connection
};

}  // namespace qlora
