// basDisplayNames: the catalogue of wildcards, keyed by bookmark name (any letter case), each
// item the German and the English display text joined by "||". It exists while the add-in is
// connected.
#pragma once

#include <cstdint>
#include <string>

namespace qlora::basDisplayNames {

// Replaces the catalogue by a new one holding every wildcard, in catalogue order.
void FillNamesList();
// Adds one entry; an empty English text means the German one. A name present already fails.
void AddEntry(const std::wstring& strName, const std::wstring& strGerman, const std::wstring& strEnglish);
// The display text of a bookmark name: language 0 German, 1 English, -1 the add-in's language.
// "" for anything unknown; never fails.
std::wstring GetDisplayName(const std::wstring& strName, int32_t lngLanguage);
// The display text without its "<" and ">", as the toolbar's buttons and the wildcard selection
// show it: "<<Subject>>" gives "Subject".
std::wstring GetPlainName(const std::wstring& strName, int32_t lngLanguage);
// Releases the catalogue.
void ClearNamesList();

int32_t Count();  // entries in the catalogue

}  // namespace qlora::basDisplayNames
