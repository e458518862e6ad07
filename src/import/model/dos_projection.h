// Projections as a source gives them (an atom, an atom's orbital, a file of
// projwfc.x), before they reach fort.1: added up by element or by orbital
// when asked, the ones chosen (the first five when none are), and, for a
// spin-polarised run drawn mirrored, each split into its spin-up curve and
// its spin-down curve as negative values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "import/model/dos_source.h"
#include "import/model/spin.h"

namespace importer {

struct Projected {
    std::string name;     // "Fe(1) 3s", "Ion 2: s py pz px"
    std::string element;  // "Fe"; empty when the source does not say
    std::string orbital;  // "3s", "d", "3p_y", "px"; empty for a whole atom
    std::vector<std::string> more;  // further description lines
    Rows rows;
    std::vector<double> up, down;  // down empty: one channel (or both summed) in up
};

// What --sum adds up: nothing, the projections of one element, of one
// orbital (s, p, d, f over every atom) or of one orbital of one element.
enum class SumBy { None, Element, Orbital, ElementOrbital };

// The projections of `all` added up as `by` says (all of them unchanged for
// SumBy::None), in the order their groups first appear, each sum's `more`
// naming its members; every element of `up` and `down` is summed, so the
// values may be curves on a grid or the weights of levels. Fails naming
// `source` when a projection names no element or orbital to add it up by.
common::Result<std::vector<Projected>> sumProjections(const std::vector<Projected>& all, SumBy by,
                                                      const std::string& source);

// --sum's word: "element", "orbital" or "element,orbital"; nullopt otherwise.
std::optional<SumBy> sumNamed(const std::string& word);

// The angular momentum letter of an orbital name: "s" of "4s", "p" of
// "3p_y" and of "py", "d" of "dxy" and of VASP's "x2-y2"; the name itself
// when it has none of s, p, d, f.
std::string orbitalLetter(const std::string& orbital);

struct Choice {
    SumBy sum = SumBy::None;
    std::vector<int> chosen;  // 1-based among the projections (after summing); empty: the first ones
    Spin spin = Spin::Both;   // Mirror: up and down apart
    std::string what;         // "ions", "projection files", "atoms" for the summary
    std::string option;       // "--ions": how to choose, for the summary
};

// Adds to the AO projections of `src` those of `all` that `c` asks for, as
// many as fort.1 has left room for, with lines for the summary in its
// notes. Fails naming `source` when a projection asked for is not there or
// a sum needs an element or orbital the source does not name.
common::Status addChosenProjections(const std::vector<Projected>& all, const Choice& c, const std::string& source,
                                    DosSource& src);

// The total DOS of one channel (Up, Down) or of both apart (Mirror, as
// mirrorTotals), with a line for the summary; `spin` is not Both.
void applySpin(DosSource& src, Spin spin, const std::vector<double>& up, const std::vector<double>& down,
               const std::vector<double>& upIntegral, const std::vector<double>& downIntegral);

// A spin-polarised total DOS drawn mirrored: spin up stays the total DOS
// (with its integral), spin down becomes the first AO projection as
// negative values with its own integral, negative too.
void mirrorTotals(DosSource& src, const std::vector<double>& up, const std::vector<double>& down,
                  const std::vector<double>& upIntegral, const std::vector<double>& downIntegral);

}  // namespace importer
