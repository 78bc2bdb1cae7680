#include "radiolauncher.h"
