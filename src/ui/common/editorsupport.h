#pragma once

#include "core/config/document.h"
#include "core/config/messages.h"
#include "ui/common/handlertrap.h"

#include <QComboBox>
#include <QString>
#include <algorithm>

// Helpers shared by the editor windows.

// The entry at index when the list has it, else the first entry, else the empty text.
inline QString listEntryByIndex(const QComboBox* list, int index) {
    if (index >= 0 && index < list->count()) return list->itemText(index);
    return list->count() > 0 ? list->itemText(0) : QString();
}

// Sets entry i of a list, replacing the entry there or appending past the end.
inline void setListEntry(QComboBox* list, int i, const QString& text) {
    if (i < list->count())
        list->setItemText(i, text);
    else
        list->addItem(text);
}

// Selects the entry equal to text; when there is none the first entry; an empty list shows
// nothing.
inline void showListEntry(QComboBox* list, const QString& text) {
    const int i = list->findText(text);
    list->setCurrentIndex(i >= 0 ? i : (list->count() > 0 ? 0 : -1));
}

// Fills an emergency channel list with the channel numbers of group g, in ascending order.
inline void fillGroupChannelList(QComboBox* list, const Document& doc, int g) {
    QList<int> numbers;
    const int count =
        std::clamp<int>(doc.config().groupChannelCount[size_t(g)], 0, ChannelsPerGroup);
    for (int place = 1; place <= count; ++place)
        numbers << doc.config().entry(g, place).channelNo;
    std::sort(numbers.begin(), numbers.end());
    list->clear();
    for (int n : numbers)
        list->addItem(QString::number(n));
}

// The name of the user's editing step made in the control that label names (a label's or
// check box's text): "Change Squelch Level". Access key marks, a closing colon and line breaks
// of the label are left out.
inline QString settingCaption(QString label) {
    label.remove(QLatin1Char('&'));
    label.replace(QLatin1Char('\n'), QLatin1Char(' '));
    label = label.trimmed();
    while (label.endsWith(QLatin1Char(':')) || label.endsWith(QChar(0xFF1A)))
        label.chop(1);
    return changeCaption(label);
}

// The problems a message box lists: a very long list is cut so that the box fits the screen.
inline QString shownProblems(const QStringList& problems) {
    constexpr qsizetype Shown = 25;
    QStringList lines = problems.mid(0, Shown);
    if (problems.size() > Shown)
        lines << tr2("... and %1 more.", "……另有 %1 处。").arg(problems.size() - Shown);
    return lines.join(QLatin1Char('\n'));
}

// The box of a refused channel list (an import, a paste): what happened, then every bad line.
inline void showRefusedChannels(const QString& headline, const QStringList& problems) {
    showMessage(headline, MsgIcon::Warning, MsgButtons::Ok, shownProblems(problems));
}
