// Runs a program of this build in a scratch directory on a scripted
// standard input with the /NULL screen device.
#pragma once

#include "fixtures.h"

namespace e2e {

using fixture::Outcome;
using fixture::run;
using fixture::ScratchDir;
using fixture::slurp;
using fixture::spit;
using fixture::withoutCreationDate;

}  // namespace e2e
