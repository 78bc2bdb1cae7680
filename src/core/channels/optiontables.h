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

// Check boxes that rules tie together: the operating modes (LSB, USB, FM, AM, PA, CW), "single
// change" of channel data, and the common channel functions (BUSY .. RB).
constexpr int ModeCheckCount = 6;
constexpr int SingleChangeCheck = 6;
constexpr int FirstFunctionCheck = 9;
constexpr int LastFunctionCheck = 15;

using OptionWords = std::array<int16_t, MaxOptionWords>;

// The option words after check box k is set on or off, with the rules that tie the boxes
// together: turning single change on turns the common channel functions off, and the last
// operating mode left on stays on.
OptionWords withCheck(const OptionWords& words, int k, bool on);
// Whether the common channel functions can be changed: not while single change is on.
bool functionsEditable(const OptionWords& words);

// The list entry shown for list k of doc in the given language.
QString shownListEntry(const Document& doc, int k, int language);

} // namespace OptionTables
