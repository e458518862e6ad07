#include <iostream>

#include "import/band_import.h"
#include "import/import_tool.h"

int main(int argc, char** argv) {
    const auto words = common::argumentWords(argc, argv);
    return importer::runImport("tarlisen-import", importer::bandImportUsage(), std::cerr, [&] {
        if (auto request = importer::parseBandImport(words, std::cout)) importer::importBands(*request, std::cout);
    });
}
