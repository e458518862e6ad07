#include "band/band_state.h"
