// iplot.exe: the stand-in plot command line (see Iplot.h).
#include <iostream>
#include <string>
#include <vector>

#include "Iplot.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return vtl::iplot::run(args, std::cout, std::cerr);
}
