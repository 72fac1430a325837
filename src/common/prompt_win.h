// Message boxes through MessageBoxW, without an owner window, as the add-in's messages appear.
#pragma once

#include "common/prompt.h"

namespace qlora {

class WinMessagePrompt final : public MessagePrompt {
public:
    MsgAnswer Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) override;
};

}  // namespace qlora
