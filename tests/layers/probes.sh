#!/usr/bin/env bash
# The layer check refuses what breaks the layers: each probe is added to a
# copy of src/, and the check must name it and fail; the untouched copy passes.
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
failed=0

# probe FILE LINE EXPECTED: appends LINE to FILE of the copy and expects the check's EXPECTED line
probe() {
  rm -rf "$work/src"; cp -r "$here/src" "$work/src"
  printf '%s\n' "$2" >> "$work/src/$1"
  local out status=0
  out=$("$here/scripts/check-layers" "$work/src") || status=$?
  if [ "$status" -ne 1 ] || ! grep -qxF "$3" <<<"$out"; then
    echo "probe $1 << $2: expected status 1 and '$3', got status $status:"; echo "$out"; failed=1
  fi
}

probe annotate/settings.cpp '#include "common/plot.h"' 'annotate/settings.cpp includes common/plot.h: against the layers'
probe band/core/graph.h 'using namespace common;' 'band/core/graph.h: a header says '"'"'using namespace'"'"''
probe band/core/bands_file.cpp '#include "annotate/marks.h"' 'band/core/bands_file.cpp includes annotate/marks.h: against the layers'
# reached through a header of its own layer
probe band/core/graph.h '#include "common/dialog.h"' 'band/core/layout_file.cpp includes common/dialog.h (through band/core/graph.h): against the layers'
probe common/records.h '#include "common/console.h"' 'common/records.cpp includes common/console.h (through common/records.h): against the layers'
probe dos/core/graph.h '#include "band/core/graph.h"' 'dos/core/graph.h includes band/core/graph.h: against the layers'
probe import/text/text_table.cpp '#include "common/plot.h"' 'import/text/text_table.cpp includes common/plot.h: against the layers'
# the importers' layers: text -> model -> formats -> pipeline -> tools, no format in a pipeline
probe import/text/text_table.cpp '#include "import/model/k_vector.h"' 'import/text/text_table.cpp includes import/model/k_vector.h: against the layers'
probe import/model/dense_path.cpp '#include "import/formats/qe_bands.h"' 'import/model/dense_path.cpp includes import/formats/qe_bands.h: against the layers'
probe import/formats/doscar.cpp '#include "import/pipeline/dos_assemble.h"' 'import/formats/doscar.cpp includes import/pipeline/dos_assemble.h: against the layers'
probe import/pipeline/band_setup.cpp '#include "import/formats/w90_band.h"' 'import/pipeline/band_setup.cpp includes import/formats/w90_band.h: against the layers'
probe import/formats/w90_band.h '#include "import/tools/import_tool.h"' 'import/formats/w90_band.cpp includes import/tools/import_tool.h (through import/formats/w90_band.h): against the layers'
probe import/formats/poscar.cpp '#include "annotate/marks.h"' 'import/formats/poscar.cpp includes annotate/marks.h: against the layers'
probe import/stray.cpp '' 'import/stray.cpp: in no layer'
# the band program's figure draws with the DOS program's core and draw layers, no higher
probe band/main/dos_beside.cpp '#include "dos/dialog/output.h"' 'band/main/dos_beside.cpp includes dos/dialog/output.h: against the layers'

rm -rf "$work/src"; cp -r "$here/src" "$work/src"
"$here/scripts/check-layers" "$work/src" >/dev/null || { echo "the untouched copy fails"; failed=1; }
[ "$failed" -eq 0 ] && echo "layer probes: ok"
exit "$failed"
