#include "base/prompt.h"

#include "base/modal.h"
#include "base/port.h"

namespace qlora {

MsgAnswer ShowMessage(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) {
    if (auto* prompt = Installed<MessagePrompt>::Get()) {
        const ModalScope modal;
        return prompt->Show(text, title, buttons, icon);
    }
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
}

}  // namespace qlora
