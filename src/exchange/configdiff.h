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

// What a verify after a write found: the image written and the memory the radio holds, both
// decoded and compared field by field as above, with the sides named "written" and "radio"
// ("Group A channel 1 RX: 28.015000 -> 29.015000"). When no field shows the difference, or an
// image does not decode, the differing addresses instead. Fits RadioSession::setMemoryDiffer.
QStringList diffRadioImages(const Product& p, const QByteArray& written, const QByteArray& held,
                            const QList<int>& addresses);
