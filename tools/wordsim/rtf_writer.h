// What wordsim writes when a document is saved: RTF, which Word opens, holding the document's
// text, its bookmarks ({\*\bkmkstart}/{\*\bkmkend}) and its variables ({\*\docvar}).
#pragma once

#include <string>

#include "word_model.h"

namespace wordsim {

// The RTF of a document: 7-bit text, every other character as a \uN? escape. Paragraph marks
// ("\r"), tabs, manual line breaks ("\v"), page breaks ("\f"), non-breaking spaces and Word's
// special hyphens become their RTF control words.
std::string Rtf(const Document& doc);

// The file a Document.SaveAs writes: RTF for Word's document format (0), for RTF (6) and when no
// format is given. Other formats fail with Word's "Command failed" (4198), as they would lose
// what the document holds.
std::string SavedFile(const Document& doc);

}  // namespace wordsim
