#include "language/language_texts.h"

#include <algorithm>
#include <array>

#include "base/prompt.h"
#include "language/user_language.h"

namespace qlora {
namespace {

struct TextRow {
    int16_t number;
    const wchar_t* german;
    const wchar_t* english;
};

// The user-interface texts, German and English side by side, sorted by number.
constexpr TextRow kTexts[] = {
    {17, L"Der Dateiname ", L"The filename "},
    {18, L" ist zu lang!", L" is to long!"},
    {19, L"Sie besitzen nicht genug Rechte, um den Ordner ", L"You don't have enought rights, to create the folder "},
    {20, L" zu erstellen", L"."},
    {65, L"Platzhalter", L"Wildcards"},
    {66, L"Als Vorlage verwenden", L"Use as template"},
    {67, L"Platzhalter auswählen", L"Choose wildcards"},
    {68, L"Wählen Sie die Platzhalter aus, die in der Liste angezeigt werden sollen", L"Choose the wildcards, that should be shown in the list"},
    {69, L"Dokument als Vorlage verwenden", L"Use document as template"},
    {70, L"Platzhalter einfügen", L"Insert wildcard"},
    {71, L"In dem Dokument muss mindestens ein Platzhalter vorhanden sein", L"The document must contain at least one wildcard"},
    {72, L"Dokument kann nicht als Vorlage verwendet werden", L"Document can't be used as template"},
    {193, L"Sie müssen einen Bereich auf einem geöffneten Dokument markieren um einen Platzhaler einfügen zu können", L"You must select area on an opened document to insert a wildcard"},
    {194, L"Einfügen nicht möglich", L"Inserting not possible"},
    {257, L"Internetseite", L"Homepage"},
    {258, L"Emailadresse", L"Email address"},
    {259, L"Quillora Vorlagengestalter", L"Quillora TemplateEditor"},
    {273, L"Es tut mir leid, es ist ein Fehler aufgetreten.", L"Sorry, an error occurred."},
    {274, L"Bitte schicken Sie den Fehlerbericht per Mail an ", L"Pleas send the error report via email to "},
    {275, L"Sie finden Updates unter ", L"You can find updates at "},
    {276, L"Quillora Vorlagengestalter Fehlerbericht", L"Quillora TemplateEditor error report"},
    {277, L"Fehlerbricht per E-Mail versenden", L"Send error report via email"},
    {278, L"Fehlerbericht senden", L"Send error report"},
    {279, L"Schließen", L"Close"},
    {280, L"Es ist ein Fehler aufgetreten...", L"An error occurred..."},
    {289, L"Es existiert bereits eine Datei mit diesem Namen. Soll sie überschrieben werden?", L"There exists already a file with this name. Do you want to overwrite it?"},
    {290, L"Datei bereits vorhanden", L"File already exists"},
    {291, L"Wollen Sie nun zum Quillora Vorlagen Assistent zurückkehren?", L"Do you want to go back to the Quillora Template Wizard?"},
    {292, L"Bitte wählen Sie erst einen Pfad für die Vorlage aus", L"Please select a path for the template first"},
    {293, L"Bitte wählen Sie den Pfad aus, unter dem Sie die Vorlage speichern möchten", L"Please select the path, where do you want to save the template"},
    {294, L"Es existiert bereits eine Vorlage mit diesem Namen, bitte wählen Sie einen anderen aus", L"A template with this name already exists, please choose an other name."},
    {295, L"Bitte geben Sie erst einen Namen für die Vorlage an", L"Please enter a name for the template first"},
    {296, L"Word Dokumente (*.doc)|*.doc", L"Word documents (*.doc)|*.doc"},
    {297, L"Name wird bereits verwendet", L"Name is already used"},
    {298, L"Vorlage gespeichert", L"Template saved"},
    {299, L"Kein Name angegeben", L"No name entered"},
    {300, L"Kein Pfad angegeben", L"No path entered"},
    {301, L"Sie haben keinen Schreibzugriff auf den gewählten Ordner. Bitte wählen Sie einen anderen", L"You don't have writeaccess to the selected folder, please choose another one"},
    {302, L"Quillora Vorlage", L"Use as template"},
    {303, L"Abbrechen", L"Cancel"},
    {304, L"Speichern unter...", L"Save as..."},
    {305, L"Als Vorlage verwenden", L"Use as template"},
    {306, L"Vorlagen Name", L"Template name"},
    {307, L"Ein Vorlagenname darf weder \"||\" noch \"|>|\" enthalten und nicht auf \"|\" enden. Bitte wählen Sie einen anderen Namen.", L"A template name must not contain \"||\" or \"|>|\" and must not end with \"|\". Please choose another name."},
    {308, L"Name und Pfad der Vorlage dürfen nur Zeichen enthalten, die der Zeichensatz des Systems darstellen kann. Bitte wählen Sie einen anderen Namen oder Pfad.", L"The template's name and path may only hold characters of the system's character set. Please choose another name or path."},
    {309, L"Ungültiger Vorlagenname", L"Invalid template name"},
    {310, L"Ungültige Zeichen", L"Invalid characters"},
    {311, L"Die Vorlage wird als Word-Dokument (*.doc) gespeichert. Bitte wählen Sie einen Dateinamen mit der Endung \".doc\".", L"The template is saved as a Word document (*.doc). Please choose a file name ending in \".doc\"."},
    {312, L"Ungültige Dateiendung", L"Invalid file extension"},
    {313, L"Eine Vorlage kann nicht unter einer Internetadresse gespeichert werden. Bitte wählen Sie einen Pfad auf Ihrem Computer oder im Netzwerk.", L"A template cannot be saved to a web address. Please choose a path on your computer or in your network."},
    {314, L"Ungültiger Pfad", L"Invalid path"},
    {337, L"Sie müssen mindestens einen Platzhalter auswählen", L"You must choose at least one wildcard"},
    {338, L"Kein Platzhalter ausgewählt", L"No wildcard selected"},
    {339, L"Platzhalter auswählen", L"Choose wildcards"},
    {340, L"Platzhalter auswählen", L"Choose wildcard"},
    {341, L"Abbrechen", L"Cancel"},
    {342, L"Alle verfügbaren Platzhalter auswählen", L"Choose all available wildcards"},
    {343, L"Alle Platzhalter von der Auswahl entfernen", L"Remove all wildcards from selection"},
    {344, L"Platzhalter von der Auswahl entfernen", L"Remove wildcard from selection"},
    {345, L"Platzhalter nach oben verschieben", L"Move wildcard up"},
    {346, L"Platzhalter nach unten verschieben", L"Move wildcard down"},
    {347, L"Ausgewählte Platzhalter:", L"Selected wildcards:"},
    {348, L"Verfügbare Platzhalter:", L"Available wildcards:"},
    {400, L"Quillora", L"Quillora"},
    {401, L"Vorlage", L"Template"},
    {402, L"Fügt einen Platzhalter an der Cursorposition ein", L"Inserts a wildcard at the cursor position"},
    {403, L"Info", L"Info"},
    {404, L"Version, Support-Adresse und Internetseite", L"Version, support address and homepage"},
    // Checking wildcards.
    {500, L"Platzhalter prüfen", L"Check wildcards"},
    {501, L"Platzhalter finden, deren Textmarke verloren, beschädigt oder nie gesetzt wurde", L"Find wildcards whose bookmark was lost, damaged or never made"},
    {502, L"Platzhalter anzeigen", L"Show wildcards"},
    {503, L"Die Klammern um jeden markierten Platzhalter ein- oder ausblenden", L"Show or hide the brackets around every marked wildcard"},
    {504, L"Nicht markiert", L"Not marked"},
    {505, L"Beschädigt", L"Damaged"},
    {506, L"Beschädigt, wird entfernt", L"Damaged, will be removed"},
    {507, L"Unbekannt", L"Unknown"},
    {508, L"Art", L"Kind"},
    {509, L"Platzhalter", L"Wildcard"},
    {510, L"Textstelle", L"Text"},
    {511, L"Gehe zu", L"Go to"},
    {512, L"Alle reparieren", L"Repair all"},
    {513, L"Schließen", L"Close"},
    {514, L"%1 Platzhalter geprüft: alle sind markiert.", L"%1 wildcards checked: all are marked."},
    {515, L"%1 Platzhalter repariert.", L"%1 wildcards repaired."},
    {516, L"%1 beschädigte Textmarken enthielten keinen Platzhalter mehr und wurden entfernt.", L"%1 damaged bookmarks held no wildcard any more and were removed."},
    {517, L"%1 Textmarken mit unbekanntem Namen wurden nicht verändert.", L"%1 bookmarks with an unknown name were left as they are."},};

static_assert(std::is_sorted(std::begin(kTexts), std::end(kTexts),
                             [](const TextRow& a, const TextRow& b) { return a.number < b.number; }));

const TextRow* FindRow(int16_t number) {
    const auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), number,
                                     [](const TextRow& row, int16_t n) { return row.number < n; });
    return it != std::end(kTexts) && it->number == number ? it : nullptr;
}

int16_t& LngId() {
    static int16_t lngId = 0;
    return lngId;
}

}  // namespace

std::wstring LNG_1(int16_t number) {
    const auto* row = FindRow(number);
    return row ? row->german : L"";
}

std::wstring LNG_2(int16_t number) {
    const auto* row = FindRow(number);
    return row ? row->english : L"";
}

std::wstring LNG_Main(int16_t number) {
    auto& lngId = LngId();
    if (lngId == 0) lngId = static_cast<int16_t>(basGlobal::gLanguage + 1);
    switch (lngId) {
        case 1: return LNG_1(number);
        case 2: return LNG_2(number);
        default:
            ShowMessage(L"Wrong LngId !?!");
            return {};
    }
}

int16_t gLngId() { return LngId(); }
void SetLngId(int16_t lngId) { LngId() = lngId; }

int TextCount() { return static_cast<int>(std::size(kTexts)); }

}  // namespace qlora
