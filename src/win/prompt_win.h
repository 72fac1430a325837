// Message boxes through MessageBoxW, modal to Word's main window (or to the add-in's dialog they come from).
#pragma once

#include "base/prompt.h"

namespace qlora {

class WinMessagePrompt final : public MessagePrompt {
public:
    MsgAnswer Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) override;
};

}  // namespace qlora
