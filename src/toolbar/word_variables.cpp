#include "toolbar/word_variables.h"

#include "toolbar/wildcard_buttons.h"

namespace qlora {
namespace {

// No document, a closed one or a refusal of Word all fail here; the callers ignore it.
std::shared_ptr<word::Variables> VariablesOf(const std::shared_ptr<word::Document>& myDocument) {
    auto variables = Required(myDocument).Variables();
    Required(variables);
    return variables;
}

}  // namespace

std::wstring clsWord::ReadVariable(const std::shared_ptr<word::Document>& myDocument,
                                   const std::wstring& strName) const {
    return IgnoringFailures([&] { return VariablesOf(myDocument)->Item(strName)->Value(); });
}

void clsWord::WriteVariable(const std::shared_ptr<word::Document>& myDocument, const std::wstring& strName,
                            const std::wstring& strValue) const {
    // Word refuses to add a name it has already; then the existing variable takes the value.
    const bool added = IgnoringFailures([&] {
        VariablesOf(myDocument)->Add(strName, strValue);
        return true;
    });
    if (!added) IgnoringFailures([&] { VariablesOf(myDocument)->Item(strName)->SetValue(strValue); });
}

void clsWord::DeleteVariable(const std::shared_ptr<word::Document>& myDocument, const std::wstring& strName) const {
    IgnoringFailures([&] { VariablesOf(myDocument)->Item(strName)->Delete(); });
}

}  // namespace qlora
