// morvane-import: writes the DOS input fort.1 of morvane from the densities
// of states of Quantum ESPRESSO, VASP or LOBSTER.
#include <iostream>

#include "import/tools/dos_import.h"
#include "import/tools/import_tool.h"

int main(int argc, char** argv) {
    return importer::runImport("morvane-import", common::argumentWords(argc, argv),
                               importer::parseDosImport, importer::importDos, std::cout, std::cerr);
}
