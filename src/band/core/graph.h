// The band graph settings: geometry, energy window, element flags and every
// annotation, kept for the whole run, redrawn from, saved to fort.15.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "annotate/settings.h"
#include "band/core/band_style.h"
#include "band/core/bands_file.h"
#include "band/core/character.h"
#include "band/core/state.h"
#include "common/one_based.h"

namespace band {

// Element flags: what the redraw adds to the frame and the bands, one per
// option of the graph menu that adds it. The layout file keeps all twelve.
enum BandFlag {
    kFlagBorder = 2,
    kFlagTics = 3,
    kFlagLabels = 4,
    kFlagTitles = 5,
    kFlagTexts = 6,
    kFlagFermi = 7,
};
constexpr int kBandFlags = 12;

// How the bands show their orbital character (fort.16): not at all, each
// band coloured along its length by the blend of its groups' colours, or
// one group as a ribbon about the bands as wide as its weight.
enum class CharacterMode { off = 0, colours = 1, fat = 2 };
struct CharacterView {
    CharacterMode mode = CharacterMode::off;
    int group = 1;  // the fat band's group, 1 ... kMaxGroups
    bool operator==(const CharacterView&) const = default;
};

struct BandGraph {
    FrameGeom geom;
    common::OneBased<float, kMaxShown + 1> line_pos;  // 1 .. nshow+1
    int nshow = 0;
    float elow = 0, ehigh = 0;
    BandsFile bands;           // fort.2, read once per display
    BandCharacter character;   // fort.16 along the lines of fort.2, read with it

    std::array<bool, kBandFlags + 1> flags{};  // element flags 1 .. kBandFlags (index 0 unused)
    annotate::TicRange tics;
    float range = 0;                                     // ehigh - elow of the tic dialogue
    common::OneBased<int, kMaxShown + 1> tic_side;            // axis positions 1 .. nshow+1
    int nsub = 0;                                        // subintervals of the last labelled axis
    common::OneBased<std::string, kMaxShown + 1> labels;      // symmetry-point labels 1 .. nshow+1
    common::OneBased<std::string, kMaxShown> titles;          // line titles 1 .. nshow
    std::string vtitle;                                  // vertical axis title
    std::vector<annotate::FreeText> texts;                         // at most band::kMaxFreeTexts
    float efermi = 0;
    bool fermi_line = false;
    bool border = false;
    std::vector<BandStyle> styles;  // band colours and line widths, at most kMaxBandStyles
    SpinDown spin;                  // the spin-down bands of a picture of both channels
    annotate::LegendPlace legend;   // the spin channels named (graph menu option 14)
    std::string picture_title;      // marked up, centred above the frame; empty: none
    // The calculation's Fermi energy (eV, absolute) the energies are
    // relative to, when the import recorded it.
    std::optional<float> source_fermi = std::nullopt;
    CharacterView show;             // the orbital character drawn (graph menu option 15)

    // The character as it can be drawn: off when fort.16 gave no group or
    // not the fat band's.
    CharacterMode characterShown() const {
        if (show.mode == CharacterMode::fat && show.group > character.groups()) return CharacterMode::off;
        return character.groups() == 0 ? CharacterMode::off : show.mode;
    }

};

}  // namespace band
