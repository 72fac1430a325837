// The Word host port over Word's real object model: every member is a late-bound IDispatch call,
// Word's DocumentChange and the buttons' Click arrive through connection points.
#pragma once

#include <oaidl.h>

#include <memory>

#include "word/word_host.h"

namespace qlora::word {

// Word's application object, as Word passes it to the add-in, behind the port. A host that is not
// Word (no IDispatch) fails with "Object required".
std::shared_ptr<Application> ApplicationFromDispatch(IDispatch* application);

// A document object passed in by a caller (late-bound clients of clsWord) behind the port.
std::shared_ptr<Document> DocumentFromDispatch(IDispatch* document);

// A command-bar button object passed in by a caller behind the port (clsWildCardBtn.Button).
std::shared_ptr<CommandBarButton> ButtonFromDispatch(IDispatch* button);

// The IDispatch behind a port object made by this adapter, or nullptr for any other object.
IDispatch* DispatchOf(const Object& object) noexcept;

// GetIDsOfNames calls made so far (names are cached per object type).
long NameLookups() noexcept;

}  // namespace qlora::word
