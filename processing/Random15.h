#pragma once

#include "geometry/Random15.h"

// The process-wide generator that commands draw from, like the single
// rand() state of the run-time: successive commands continue one sequence.
CRandom15& SharedRandom15();
