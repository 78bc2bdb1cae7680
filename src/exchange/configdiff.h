#pragma once

#include "core/config/document.h"

#include <QString>
#include <QStringList>

// Labels of the option words, in word order (English, as the command-line tools print them).
extern const char* const OptionWordLabels[MaxOptionWords];

// Option word i as the optional features window shows it (English): the entry of its list,
// ON or OFF for a check box, the channel number of an emergency channel; a stored value the
// window has no entry for is given as its number.
QString shownOptionWord(const Document& doc, int i);

// Every difference between two configurations of one product, a line each, field by field in
// shown form: "Group A channel 3 RX: 28.015000 -> 28.025000". Channels are matched by their
// channel number within a group (their places do not matter, as for the modified check); a
// channel that only one of them has is one line naming the side (nameA or nameB) that has it.
// Empty when the two are equal.
QStringList diffConfigurations(const Document& a, const Document& b, const QString& nameA,
                               const QString& nameB);
