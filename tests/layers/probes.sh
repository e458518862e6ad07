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
probe import/text_table.cpp '#include "common/plot.h"' 'import/text_table.cpp includes common/plot.h: against the layers'

rm -rf "$work/src"; cp -r "$here/src" "$work/src"
"$here/scripts/check-layers" "$work/src" >/dev/null || { echo "the untouched copy fails"; failed=1; }
[ "$failed" -eq 0 ] && echo "layer probes: ok"
exit "$failed"
