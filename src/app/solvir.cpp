#include "ui/shell/application.h"

int main(int argc, char** argv) {
    return guiMain(solvirProduct(), argc, argv);
}
