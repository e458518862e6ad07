// Drawing the DOS graph: one panel with its curves (mvplot), the energy and
// value axes with tic marks (mvaxes), and the whole graph with every
// annotation that is switched on (mvrdrw). None of them clears the page.
#pragma once

#include <vector>

#include "annotate/legend.h"
#include "dos/core/graph.h"
#include "common/fwd.h"

namespace dos {

// The curves of one panel, highest buffer first so buffer 1 (or 9) lies on
// top, each in its colour, width and line type; closed curves return along
// the zero of their axis and are filled with their brush colour; the COOP
// panel gets its zero line. Leaves line width 3,
// line style 1, colour 1 and the window (0, 1, 0, 1) on the panel.
void mvplot(common::Plot& plot, const DosInput& in, const DosGraph& g, Panel panel);

// The curves of a panel as mvplot draws them, its zero line and the Fermi
// line across it: what its legend must leave clear.
std::vector<annotate::Trace> curveTraces(const DosInput& in, const DosGraph& g, Panel panel);

// The legend of each panel that holds curves, when the picture has more
// than one, in its panel where its curves leave room (or in the corner of
// g.legend); returns the entries of the panels that had no room, for a
// legend below the frames.
std::vector<annotate::LegendEntry> drawLegendsInPanels(common::Plot& plot, const DosInput& in, const DosGraph& g);

// The axes with tic marks and labels as set by the graph menu. The value
// axes run over the range their panel's curves are drawn with now.
void mvaxes(common::Plot& plot, DosGraph& g);

// The tics of a value axis drawn over amin ... amax that were asked on the
// axis asked_min ... asked_max: a tic end that reached the end of that axis
// follows the end of the new one; any other end stays, clipped to the axis.
annotate::TicRange ticsOnAxis(const annotate::TicRange& asked, float asked_min, float asked_max, float amin, float amax);

// The whole graph: both panels, then border, axes, titles, texts and the
// Fermi marker as their flags say.
void mvrdrw(common::Plot& plot, const DosInput& in, DosGraph& g);

// A world window that PGPLOT accepts: equal limits are widened by one unit.
void safeWindow(common::Plot& plot, float x1, float x2, float y1, float y2);

}  // namespace dos
