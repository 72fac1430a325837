// clsWord: the document variables the add-in keeps in a Word document (the template's name in
// "TemplateName", the companion product's "Qlora"). Best effort by design: every refusal of Word
// is ignored, nothing is raised and nothing goes into the error trail.
#pragma once

#include <memory>
#include <string>

#include "word/word_host.h"

namespace qlora {

class clsWord {
public:
    // The variable's value, or "" when the document has no such variable.
    std::wstring ReadVariable(const std::shared_ptr<word::Document>& myDocument, const std::wstring& strName) const;
    // Gives the variable the value, adding the variable when the document has none of that name.
    void WriteVariable(const std::shared_ptr<word::Document>& myDocument, const std::wstring& strName,
                       const std::wstring& strValue) const;
    // Removes the variable; a missing one is left alone.
    void DeleteVariable(const std::shared_ptr<word::Document>& myDocument, const std::wstring& strName) const;
};

}  // namespace qlora
