#pragma once

#include "core/comm/session.h"
#include "core/config/document.h"
#include "core/config/messages.h"

#include <QString>
#include <QStringList>

// Labels of the option words, in word order (English, as the command-line tools print them).
extern const char* const OptionWordLabels[MaxOptionWords];

// Option word i as the optional features window shows it in a language: the entry of its
// list, ON or OFF for a check box, the channel number of an emergency channel; a stored value
// the window has no entry for is given as its number.
QString shownOptionWord(const Document& doc, int i, int language = LanguageEnglish);

// Every difference between two configurations of one product, a line each, field by field in
// shown form: "Group A channel 3 RX: 28.015000 -> 28.025000". Channels are matched by their
// channel number within a group (their places do not matter, as for the modified check); a
// channel that only one of them has is one line naming the side (nameA or nameB) that has it.
// Empty when the two are equal. In Chinese the lines use the captions and list entries of the
// Chinese windows: "组 A 信道 3 接收频率：28.015000 -> 28.025000".
QStringList diffConfigurations(const Document& a, const Document& b, const QString& nameA,
                               const QString& nameB, int language = LanguageEnglish);

// What a verify after a write found: the image written and the memory the radio holds, both
// decoded and compared field by field as above, with the sides named "written" and "radio"
// ("Group A channel 1 RX: 28.015000 -> 29.015000"). When no field shows the difference, or an
// image does not decode, the differing addresses instead (memoryDifferenceLines).
QStringList diffRadioImages(const Product& p, const QByteArray& written, const QByteArray& held,
                            const QList<int>& addresses, int language = LanguageEnglish);
// diffRadioImages in one language, as RadioSession::setMemoryDiffer and a fleet write take it.
MemoryDiffer radioImageDiffer(int language);
