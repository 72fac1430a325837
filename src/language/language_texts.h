// LNG_Main: every text the add-in shows comes from here, by text number, in German (LNG_1) or
// English (LNG_2). The language is fixed at the first lookup from the user's Windows language.
#pragma once

#include <cstdint>
#include <string>

namespace qlora {

// The text of a number in the language of the process; "" for a number without text.
std::wstring LNG_Main(int16_t number);
std::wstring LNG_1(int16_t number);  // German
std::wstring LNG_2(int16_t number);  // English

// The text language: 0 until the first lookup, then 1 (German) or 2 (English) for the process.
int16_t gLngId();
// Chooses the text language, as the language selection does (1 German, 2 English).
void SetLngId(int16_t lngId);

// How many numbers the tables hold (both hold the same).
int TextCount();

}  // namespace qlora
