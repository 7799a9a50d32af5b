// orvane: the replacement host. Everything it does lives in the orvanehost library.
#include <iostream>

#include "host/cli/commands.h"

int main(int argc, char** argv) { return orvane::orvaneMain(argc, argv, std::cout, std::cerr); }
