// The wildcards: one row per placeholder of an e-mail field that the printing product fills in.
// The bookmark name identifies a wildcard everywhere (catalogue key, button parameter, bookmark,
// settings value). Rows are in catalogue order; `toolbarOrder` is the order in which the toolbar
// adds its buttons, `defaultPlace` its place in the pop-up when the user chose nothing (0: hidden);
// the wildcard dialog has an order and default places of its own.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace qlora {

struct Wildcard {
    std::wstring_view bookmarkName;
    std::wstring_view german;
    std::wstring_view english;  // empty: the same as German
    int32_t toolbarOrder;
    int32_t defaultPlace;
    int32_t dialogOrder;  // the wildcard dialog loads them in this order
    int32_t dialogPlace;  // and selects them here when the user chose nothing (0: available)
};

inline constexpr std::wstring_view kBookmarkPrefix = L"WildCard_";

inline constexpr std::array<Wildcard, 34> kWildcards{{
    {L"WildCard_Attachments", L"<<Anlagen>>", L"<<Attachments>>", 5, 5, 5, 5},
    {L"WildCard_AutoForwarded", L"<<Automatisch weitergeleitet>>", L"<<Auto forwarded>>", 27, 0, 27, 0},
    {L"WildCard_BCC", L"<<BCC>>", L"", 9, 9, 9, 9},
    {L"WildCard_BillingInfo", L"<<Abrechnungsinformation>>", L"<<Billing info>>", 20, 0, 23, 0},
    {L"WildCard_Body", L"<<Inhalt>>", L"<<Body>>", 2, 2, 2, 2},
    {L"WildCard_Categories", L"<<Kategorien>>", L"<<Categories>>", 10, 10, 10, 10},
    {L"WildCard_CC", L"<<CC>>", L"", 8, 8, 8, 8},
    {L"WildCard_Created", L"<<Erstellt>>", L"<<Created>>", 11, 11, 11, 11},
    {L"WildCard_DateNow", L"<<Aktuelles Datum>>", L"<<Current date>>", 16, 16, 17, 17},
    {L"WildCard_DateTimeNow", L"<<Aktuelles Datum + Uhrzeit>>", L"<<Current date + time>>", 18, 18, 16, 16},
    {L"WildCard_DeferredDeliveryTime", L"<<Zurückstellen bis>>", L"<<Deferred Delivery Time>>", 33, 0, 33, 0},
    {L"WildCard_DeliveryReportRequest", L"<<Übermittlungsbestätigung angefordert>>", L"<<Delivery report request>>", 28, 0, 28, 0},
    {L"WildCard_ExpiryTime", L"<<Läuft ab>>", L"<<Expiry time>>", 21, 0, 19, 0},
    {L"WildCard_FlagDueBy", L"<<Fällig>>", L"<<Due by>>", 24, 0, 22, 0},
    {L"WildCard_FlagRequest", L"<<Kennzeichnung>>", L"<<Flag request>>", 22, 0, 20, 0},
    {L"WildCard_FlagStatus", L"<<Kennzeichnungsstatus>>", L"<<Flag status>>", 23, 0, 21, 0},
    {L"WildCard_Importance", L"<<Wichtigkeit>>", L"<<Importance>>", 13, 13, 13, 13},
    {L"WildCard_InFolder", L"<<In Ordner>>", L"<<In folder>>", 19, 0, 24, 0},
    {L"WildCard_Mileage", L"<<Reisekilometer>>", L"<<Mileage>>", 25, 0, 25, 0},
    {L"WildCard_Modified", L"<<Geändert>>", L"<<Modified>>", 12, 12, 12, 12},
    {L"WildCard_Read", L"<<Gelesen>>", L"<<Read>>", 26, 0, 26, 0},
    {L"WildCard_ReadReceiptRequest", L"<<Lesebestätigung angefordert>>", L"<<Read receipt request>>", 29, 0, 29, 0},
    {L"WildCard_Received", L"<<Empfangen>>", L"<<Received>>", 7, 7, 7, 7},
    {L"WildCard_Recipients", L"<<An>>", L"<<To>>", 4, 4, 4, 4},
    {L"WildCard_Reminder", L"<<Erinnerung>>", L"<<Reminder>>", 30, 0, 30, 0},
    {L"WildCard_ReplyRecipientNames", L"<<Antwort senden an>>", L"<<Reply recipient names>>", 34, 0, 34, 0},
    {L"WildCard_Sender", L"<<Absender>>", L"<<Sender>>", 3, 3, 3, 3},
    {L"WildCard_Sensitivity", L"<<Vertraulichkeit>>", L"<<Sensitivity>>", 14, 14, 14, 14},
    {L"WildCard_Sent", L"<<Gesendet>>", L"<<Sent>>", 6, 6, 6, 6},
    {L"WildCard_Size", L"<<Größe>>", L"<<Size>>", 15, 15, 15, 15},
    {L"WildCard_Subject", L"<<Betreff>>", L"<<Subject>>", 1, 1, 1, 1},
    {L"WildCard_TimeNow", L"<<Aktuelle Zeit>>", L"<<Current time>>", 17, 17, 18, 18},
    {L"WildCard_VotingOptions", L"<<Abstimmungsoptionen>>", L"<<Voting Options>>", 32, 0, 32, 0},
    {L"WildCard_VotingRespone", L"<<Abstimmungsresultat>>", L"<<Voting respone>>", 31, 0, 31, 0},
}};

// The wildcards in the order one of the columns gives, each column naming every place 1 to 34 once.
template <int32_t Wildcard::*Order>
constexpr auto OrderedBy() {
    std::array<Wildcard, kWildcards.size()> ordered{};
    for (const auto& w : kWildcards) ordered.at(static_cast<size_t>(w.*Order - 1)) = w;
    for (size_t i = 0; i < ordered.size(); ++i)
        if (ordered[i].*Order != static_cast<int32_t>(i + 1)) throw "every wildcard needs its own place in the order";
    return ordered;
}
// The order in which the toolbar adds their buttons, and the one in which the dialog loads them.
inline constexpr auto kToolbarOrder = OrderedBy<&Wildcard::toolbarOrder>();
inline constexpr auto kDialogOrder = OrderedBy<&Wildcard::dialogOrder>();

// The toolbar and the dialog show the first eighteen of their order by default.
static_assert(std::ranges::all_of(kWildcards, [](const Wildcard& w) {
    return w.bookmarkName.starts_with(kBookmarkPrefix) && w.defaultPlace == (w.toolbarOrder <= 18 ? w.toolbarOrder : 0) &&
           w.dialogPlace == (w.dialogOrder <= 18 ? w.dialogOrder : 0);
}));

}  // namespace qlora
