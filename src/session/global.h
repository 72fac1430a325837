// basGlobal: the state the whole add-in shares for the life of the process, and the start
// routine, the first code of the add-in that runs in a process. The user's language, also
// basGlobal's, sits below it in language/user_language.h, since the texts need it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "language/user_language.h"
#include "word/word_host.h"

namespace qlora {

class clsCommandBar;
class clsProgramSettings;
class clsTemplateList;

namespace basGlobal {

// Set while Word has the add-in connected (the handler sets and releases them).
inline std::shared_ptr<word::Application> gWordApplication;
inline std::shared_ptr<clsCommandBar> gCommandBar;
inline std::shared_ptr<clsProgramSettings> gSettings;
// Kept until the process ends.
inline std::shared_ptr<clsTemplateList> gTemplateList;
inline std::wstring gDataPath;  // ends with "\"

// Runs the start routine once per process: it sets the language and does nothing else. The
// component calls it before the first object's first method.
void EnsureStarted();

}  // namespace basGlobal
}  // namespace qlora
