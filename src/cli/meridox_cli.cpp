#include "cli.h"

int main(int argc, char** argv) {
    return cliMain(meridoxProduct(), argc, argv);
}
