#include "ui/program_end.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace scrivola {

void endProgramAtOnce() {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace scrivola
