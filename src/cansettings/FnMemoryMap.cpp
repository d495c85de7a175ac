#include "FnMemoryMap.h"

void TFnMemoryMap::ClearFns() {
    for (TFnPair& pair : Slots)
        pair.FN = EmptyFn;
}

void TFnMemoryMap::ClearNns() {
    for (TFnPair& pair : Slots)
        pair.NN = 0;
}

int TFnMemoryMap::FindSlot(quint8 fn) const {
    for (int i = 0; i < SlotCount; ++i)
        if (Slots[std::size_t(i)].FN == fn)
            return i;
    return -1;
}

void TFnMemoryMap::SetMapValue(quint8 fn, quint8 nn) {
    const int slot = FindSlot(fn);
    if (slot >= 0)
        Slots[std::size_t(slot)].NN = nn;
}

void TFnMemoryMap::SetMapBits(quint8 fn, quint8 mask, bool on) {
    const int slot = FindSlot(fn);
    if (slot < 0)
        return;
    quint8& nn = Slots[std::size_t(slot)].NN;
    if (((nn & mask) != 0) != on)
        nn = on ? quint8(nn | mask) : quint8(nn & ~mask);
}

bool TFnMemoryMap::ValueOf(quint8 fn, quint8* nn) const {
    const int slot = FindSlot(fn);
    if (slot < 0)
        return false;
    *nn = Slots[std::size_t(slot)].NN;
    return true;
}
