#pragma once

#include <QIcon>
#include <QString>

// The toolbar pictures drawn for this program, by button key: a printer ("打印"), a plug
// ("CommSet"), and a small radio with an arrow out of it ("ReadRadio") or into it
// ("WriteRadio").
QIcon drawnIcon(const QString& key);
