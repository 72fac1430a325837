// Message boxes as the portable code asks for them; the Windows adapter shows MessageBoxW.
#pragma once

#include <string>
#include <string_view>

namespace qlora {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessagePrompt {
public:
    virtual ~MessagePrompt() = default;
    // An empty title shows the add-in's own name, as message boxes without a title do.
    virtual MsgAnswer Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) = 0;
};

// Shows a message through the installed prompt; without one (no user interface) it answers as
// the default button would: Ok, or Yes for the questions.
MsgAnswer ShowMessage(std::wstring_view text, std::wstring_view title = {}, MsgButtons buttons = MsgButtons::Ok,
                      MsgIcon icon = MsgIcon::None);

}  // namespace qlora
