// The console and the graphics layer by name only, for the headers whose
// routines take them by reference.
#pragma once

namespace common {
class Console;
class Plot;
}  // namespace common
