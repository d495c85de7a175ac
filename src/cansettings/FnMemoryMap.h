#pragma once
// The module's function memory map: 128 FN/NN pairs in the module's slot
// order. FN 0 marks an empty slot, FN 0xFF a slot to skip; nothing sorts them.

#include <QtGlobal>
#include <array>

struct TFnPair {
    quint8 FN = 0;
    quint8 NN = 0;
};

class TFnMemoryMap {
public:
    static constexpr int SlotCount = 128;
    static constexpr quint8 EmptyFn = 0x00;
    static constexpr quint8 SkipFn = 0xFF;
    // The range a save writes; lower FNs are the PIN and car data.
    static constexpr quint8 FirstWrittenFn = 0x10;
    static constexpr quint8 LastWrittenFn = 0xFE;

    TFnPair& operator[](int slot) { return Slots[std::size_t(slot)]; }
    const TFnPair& operator[](int slot) const { return Slots[std::size_t(slot)]; }

    static bool InUse(quint8 fn) { return fn != EmptyFn && fn != SkipFn; }
    static bool Written(quint8 fn) { return fn >= FirstWrittenFn && fn <= LastWrittenFn; }

    void ClearFns();
    void ClearNns();
    // The first slot holding fn gets nn; no slot, no change.
    void SetMapValue(quint8 fn, quint8 nn);
    // In the first slot holding fn, sets or clears the bits of mask.
    void SetMapBits(quint8 fn, quint8 mask, bool on);
    // The NN of the first slot holding fn, if any.
    bool ValueOf(quint8 fn, quint8* nn) const;

private:
    int FindSlot(quint8 fn) const;
    std::array<TFnPair, SlotCount> Slots{};
};
