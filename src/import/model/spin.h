// The spin channels of a spin-polarised run as an import takes them.
#pragma once

namespace importer {

// Both summed, one of them, or both apart (the DOS drawn mirrored: up to
// the right, down to the left).
enum class Spin { Both, Up, Down, Mirror };

}  // namespace importer
