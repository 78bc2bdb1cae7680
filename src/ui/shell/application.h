#pragma once

#include "core/product/product.h"

#include <QIcon>

// Starts the windowed program for product p.
int guiMain(const Product& p, int argc, char** argv);

// The program's icon for title bars and task switchers: the desktop icons of the program as a
// build tree (icons/PROGRAM/) or an installation (../share/icons/hicolor/) lays them out beside
// the executable, else the icon theme's.
QIcon programIcon(const QString& program, const QString& executableFolder);
