#include <iostream>

#include "band/main/tarlisen.h"
#include "common/console.h"
#include "common/plot.h"

int main() {
    Console con(std::cin, std::cout);
    CpgPlot plot;
    return runTarlisen(plot, con);
}
