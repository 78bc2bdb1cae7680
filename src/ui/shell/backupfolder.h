#pragma once

#include "core/product/product.h"

#include <QUrl>
#include <functional>

// Opens a folder in the desktop's file manager. Tests replace it (nullptr restores the
// desktop's opener, xdg-open) so that no file manager is started.
using UrlOpener = std::function<bool(const QUrl&)>;
void setUrlOpener(UrlOpener opener);

// Help > Open Backup Folder: creates the folder of the kept radio images when it is missing
// and shows it; says where it is when it cannot be made or shown.
void openBackupFolder(const Product& p);
