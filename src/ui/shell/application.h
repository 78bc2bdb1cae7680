#pragma once

#include "core/product/product.h"

// Starts the windowed program for product p.
int guiMain(const Product& p, int argc, char** argv);
