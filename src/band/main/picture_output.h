// tarlisen --output FILE: the picture drawn from the stored files, without
// a dialogue, as the graph menu's output option draws it.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "common/fwd.h"

namespace band {

// Draws the bands of fort.2 with the layout of fort.15 to `file` (its
// suffix picks EPS, HPGL, PDF or PNG). Without fort.15 the graph is the
// display's default one: every line, equal lengths, the whole energy range
// of the bands; `out` says so in one line. A missing or damaged file, or a
// picture that could not be made, is one line on `err`. With `widthCm` the
// picture is made that wide (see writePictureFile); a `title` (markup) is
// drawn above the frame. Returns the exit status: 0, or 1 after such a
// line. With `dosDir` the picture is the figure of the bands with the DOS
// of that folder beside them (see dos_beside.h); a folder whose files
// cannot be read is such a line, and Fermi energies that differ are one
// line on `out`.
int drawPictureFile(common::Plot& plot, const std::string& file, std::ostream& out, std::ostream& err,
                    std::optional<double> widthCm = std::nullopt, const std::string& title = "",
                    const std::optional<std::string>& dosDir = std::nullopt);

// tarlisen --export FILE: the data of the picture drawPictureFile draws
// (formatPictureData: the bands of fort.2 on the lines of fort.15, with
// the character of fort.16) written whole to `file`. A missing or damaged
// file is one line on `err`; returns the exit status, 0 or 1.
int writePictureData(const std::string& file, std::ostream& out, std::ostream& err);

}  // namespace band
