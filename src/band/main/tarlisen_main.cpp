#include <iostream>

#include "band/main/tarlisen.h"
#include "common/console.h"
#include "common/plot.h"

int main() {
    common::Console con(std::cin, std::cout);
    common::CpgPlot plot;
    return band::runTarlisen(plot, con);
}
