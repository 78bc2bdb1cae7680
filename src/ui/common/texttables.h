#pragma once

#include "report/printtexts.h"

#include <QString>

class QComboBox;

// Text tables of the shell: general captions and the main window's menu captions. Every
// lookup takes a language index (1 English, 2 Chinese); index 0 and any other index give the
// empty text. The message table lives with the message service (config/messages.h); the
// print texts live with the printed report (report/printtexts.h).

enum class GeneralText {
    ModelWindowCaption = 1, // "Model Information"
    ModelLabel,             // "Model Type"
    BandLabel,              // "Frequency"
    PortWindowCaption,      // "Communication Port"
    PortLabel,              // "COM" (status bar, port choices)
    LanguageLabel,          // "Language Mode"
    LanguageWindowCaption,  // "Language Setup"
    EnglishName,            // "English"
    ChineseName,            // "Chinese"
    CloseButton,
    PrintButton,
    HelpButton,
    OkButton,
    CancelButton,
};
QString generalText(GeneralText id, int language);
QString generalText(GeneralText id);

// Caption of the main window's menu item with the given name ("mnuFileOpen"); the empty text
// for a name that is not a menu item.
QString menuCaption(const QString& name, int language);
QString menuCaption(const QString& name);
// Names of all menu items, in menu order.
QStringList menuItemNames();

namespace ListEntry {
// The list entry equal to text; when there is none, the first entry; when the list is empty,
// the empty text.
QString lookup(const QComboBox* combo, const QString& text);
// The entry at index when it lies in 0..count-1, else the first entry, else the empty text.
QString byIndex(const QComboBox* combo, int index);
} // namespace ListEntry
