#include "cli.h"

int main(int argc, char** argv) {
    return cliMain(solvirProduct(), argc, argv);
}
