// VASP's KPOINTS in line mode: a comment, the points per segment,
// "Line-mode", "Reciprocal" (or Cartesian), then the segments as pairs of
// lines "k1 k2 k3 [!] NAME", separated by blank lines; a segment's end
// repeated as the next one's start is one point, a different start is a
// jump.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/k_vector.h"

namespace importer {

// The segments of a line-mode KPOINTS: their ends and the names of the ends.
struct KpointsPath {
    std::string name;
    int perSegment = 0;
    bool fractional = true;  // "Reciprocal"; false for Cartesian
    std::vector<std::array<KVector, 2>> ends;
    std::vector<std::array<std::string, 2>> names;
    std::vector<size_t> line;  // line of each segment's start in the file
};

// Fails naming file and line, also for a KPOINTS that is not in line mode.
common::Result<KpointsPath> parseKpoints(const std::string& name, const std::string& text);
common::Result<KpointsPath> readKpoints(const std::string& path);

}  // namespace importer
