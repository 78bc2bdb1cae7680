#pragma once

// Qt's own texts (file, print, page setup and print preview dialogs, standard buttons) in the
// program's language: Chinese installs Qt's Chinese translations, English removes them.
// Returns false when Chinese is asked for and Qt's translations are not installed; the dialogs
// then stay in English.
bool applyQtTranslations(int language);
