// tarlisen-import: writes the band program's input fort.1 and fort.14 from
// Quantum ESPRESSO's or Wannier90's bands.
#include <iostream>

#include "import/tools/band_import.h"
#include "import/tools/import_tool.h"

int main(int argc, char** argv) {
    return importer::runImport("tarlisen-import", common::argumentWords(argc, argv),
                               importer::parseBandImport, importer::importBands, std::cout, std::cerr);
}
