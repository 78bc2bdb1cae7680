#pragma once

#include "core/config/document.h"

#include <QString>
#include <QStringList>

// The optional features as plain tables: where each list and check box of the optional
// features window keeps its value, its caption and its entries in either language. The
// window and the printed report both read them, so what is printed is what the window shows.
namespace OptionTables {

constexpr int ListCount = 18;
constexpr int CheckCount = 18;

// A list keeps the index of its entry in an option word, offset by the value of its first
// entry.
struct ListSetting {
    int word;
    int offset;
};
// A check box keeps 1 (on) or 0 (off) in an option word.
struct CheckSetting {
    int word;
    bool defaultOn; // shown for a word that is neither 0 nor 1
};

const ListSetting& listSetting(int k);
const CheckSetting& checkSetting(int k);

// older: the product keeps the emergency channels in the optional features (solvir), whose
// window has a few captions of its own.
QString listLabel(int k, bool older, int language);
QStringList listEntries(int k, int language);
QString checkLabel(int k, bool older, int language);

// Whether the product's record has the word of list or check box k.
bool hasList(const Document& doc, int k);
bool hasCheck(const Document& doc, int k);

// The entry index the window shows for a stored word: a word no entry matches shows the
// first entry; -1 when the list has no entries.
int shownListIndex(int k, int word, int entryCount);
// Whether the window shows check box k ticked for a stored word.
bool shownChecked(int k, int word);

// The list entry shown for list k of doc in the given language.
QString shownListEntry(const Document& doc, int k, int language);

} // namespace OptionTables
