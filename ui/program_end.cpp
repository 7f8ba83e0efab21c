#include "ui/program_end.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace scrivola {

void endProgramAtOnce(int status) {
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace scrivola
