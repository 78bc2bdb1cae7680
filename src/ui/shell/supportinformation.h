#pragma once

#include "core/comm/doctor.h"

#include <QString>

class QWidget;
struct Product;

// Help > Save Support Information: asks where, then writes the support text (versions, system,
// the connection check of every port choice, the settings file, the newest session traces)
// as one file, whole or not at all; a failed write says why.
void saveSupportInformation(QWidget* parent, const Product& p, const QString& settingsFile,
                            const ConnectionDoctor& doctor = ConnectionDoctor());
