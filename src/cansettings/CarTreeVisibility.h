#pragma once
// Which rows of the car tree a car mode shows: a function or flag only when
// its car modes include the mode and the module reported its FN, its options
// with it, and a chapter only when one of its functions shows.

#include "FnMemoryMap.h"
#include "ParamTree.h"

namespace CarTreeVisibility {
// modeBit: 1 "Auto", 2 "Manual", 4 "Current".
void Apply(TParamTree& carTree, const TFnMemoryMap& map, quint8 modeBit);
} // namespace CarTreeVisibility
