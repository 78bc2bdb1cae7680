#pragma once

#include "doctor.h"
#include "keptfiles.h"

#include <QString>

struct Product;

// The text a user attaches to a support request (Help > Save Support Information): the
// program's and Qt's versions, the system, the connection doctor's lines for every port
// choice COM1..COM8, the settings file as it is, and the newest three session traces. It is
// only put together here; nothing is sent anywhere.
QString supportInformation(const Product& p, const QString& settingsFile,
                           const ConnectionDoctor& doctor, const KeptFolder& traces);
