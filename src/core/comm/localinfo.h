#pragma once

#include "codec.h"

#include <QDate>

// The radio's local information (area code, serial number, dates, dealer data), as the
// information window shows it. Index i is the window's text box Text1(i).

// What the program shows before any information read.
LocalInformation defaultLocalInformation(QDate today);
// A stored text as shown: spaces at both ends removed, then a final character 0 dropped.
// The version (index 5) is shown as it is.
QString shownLocalInformation(const LocalInformation& info, int index);
// Caption of text box i in the given language.
QString localInformationLabel(int index, int language);
