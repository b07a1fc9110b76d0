#pragma once
// The alerts list window's rules, apart from its window: the rows it shows, its column
// widths, the currency selection and which buttons are available.
#include "alerts/AlertStore.h"
#include <functional>
#include <string>
#include <vector>

// One alert's stored values by key ("" when missing).
using AlertValues = std::function<std::string(const std::string& key)>;

// "Notification+Sound+Email", or "Disabled".
std::string AlertActionText(const AlertValues& alert);
// "Notification+Sound+Email+Phone": the actions of a mode.
std::string ActionNames(long long mode);
// "Price>1.3000", "Every 20 pips,<1.3000", "Every 5 Minute", "2026-12-08 Any:30".
std::string AlertConditionText(const AlertValues& alert);
// The custom text on one line, when the alert shows a popup; then its end time, a snooze
// that holds and why it waits.
std::string AlertInformation(const AlertValues& alert);

struct AlertListRow {
    std::string currency, action, condition, information, id;
};
// One stored key of an alert by its name in the file; "" for a key it does not know.
std::string AlertRecordValue(const AlertRecord& alert, const std::string& key);
// Rows for the sections in file order: only alerts on displayed currencies.
std::vector<AlertListRow> AlertListRows(const std::vector<AlertRecord>& alerts,
                                        const std::string& displayList);

struct AlertColumns {
    int check, currency, action, condition;
};
AlertColumns AlertColumnWidths(int languageIndex);
// The alarm information takes what the other columns leave, less a margin.
int InformationColumnWidth(int listWidth, const AlertColumns& widths);

// The checked symbols in list order, each followed by ",".
std::string CheckedSet(const std::vector<std::string>& checkedSymbols);
// Both without their outer commas and in upper case.
std::string ComparableSelection(const std::string& selection);
// The selection as stored: "," followed by each symbol and ",".
std::string DisplayListOf(const std::vector<std::string>& checkedSymbols);

struct ListButtons {
    bool edit, remove, clear;
};
ListButtons AlertListButtons(bool rowSelected, bool anyChecked, int rowCount);

// The rows that "Delete" removes: the checked ones, else the selected one.
std::vector<int> RowsToDelete(const std::vector<int>& checkedRows, int selectedRow);

// "Clear" empties the whole file, also of alerts the list does not show: the question says
// how many go, and how many of them are on pairs that are not displayed.
std::string ClearQuestion(const std::vector<AlertRecord>& alerts, const std::string& displayList);

// The data-source text (a UI text entry) that filling the currency list shows; 0 for none.
// The Internet source's own status first; a source that has given no symbols once its pages
// are done has failed, while pages still on their way are no failure yet.
int CurrencySourceNotice(bool internetSource, int sourceStatus, bool gotSymbols, bool pagesPending);
