#include "CarTreeVisibility.h"

namespace {
bool Reported(const TFnMemoryMap& map, quint8 fn) {
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot)
        if (map[slot].FN == fn)
            return true;
    return false;
}
} // namespace

namespace CarTreeVisibility {

void Apply(TParamTree& carTree, const TFnMemoryMap& map, quint8 modeBit) {
    carTree.ForEach([&](TParamNode& node) {
        const bool inMode = (modeBit & node.Data.CarModes) != 0;
        switch (node.Level()) {
        case 0:
            // Its functions come after it and show it again when one shows.
            node.Visible = false;
            break;
        case 1:
            node.Visible = inMode && Reported(map, node.Data.Number);
            if (node.Visible && node.Parent)
                node.Parent->Visible = true;
            break;
        default:
            node.Visible = inMode && node.Parent && node.Parent->Visible;
            break;
        }
    });
}

} // namespace CarTreeVisibility
