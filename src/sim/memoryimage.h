#pragma once

#include "core/product/product.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Size of the local information area (0x1F00 meridox, 0x0F00 solvir).
constexpr int InformationAreaSize = 256;

// The memory of a radio fresh from the dealer: the built-in default configuration as the
// program would write it, a radio-owned header at 0x0000 and sample local information.
// Nothing when the default configuration cannot be built; `error` says why.
std::optional<QByteArray> defaultMemoryImage(const Product& product, QString* error);

// A filled-in local information area with sample texts.
QByteArray demoInformationArea();
