#pragma once
// What a Save would change in the module, against the map last read from it:
// the functions, flags and sub-parameters of both trees whose value differs,
// found FN by FN in the map that a Save would write (the map with the trees'
// values collected). Marks the rows that show them and counts them in their
// chapters; words them for the review; and, after a Save, compares what was
// written with what the module reads back. No widgets, no link.

#include "Catalogue.h"
#include "FnMemoryMap.h"

#include <QString>
#include <array>
#include <vector>

// The NN of the first slot of each FN (a Save changes and the module reports
// that one), or none.
class TFnValues {
public:
    TFnValues() { Values.fill(-1); }
    static TFnValues Of(const TFnMemoryMap& map);
    bool Has(quint8 fn) const { return Values[fn] >= 0; }
    quint8 At(quint8 fn) const { return quint8(Values[fn]); }
    void Set(quint8 fn, quint8 nn) { Values[fn] = nn; }
    void Clear(quint8 fn) { Values[fn] = -1; }

private:
    std::array<qint16, 256> Values{};
};

enum class TChangeKind { Function, Flag, SubParameter, Other, Pin, Car };

struct TChange {
    TChangeKind Kind = TChangeKind::Other;
    quint8 Fn = 0;
    int Column = 0;                // sub-parameter: 1 or 2
    TParamNode* Node = nullptr;    // the row that shows it
    TParamNode* Chapter = nullptr; // the chapter that holds that row
    // Not the installer's: a fixed row of the catalogue (a disabled flag)
    // that every Save writes as the catalogue has it. Listed, not counted.
    bool Forced = false;
    // Worded for the review, in the language shown.
    QString ChapterText, Name, Old, New;
};

// The words the lists use besides the catalogue's.
struct TChangeTexts {
    QString FunctionPrefix; // message 87
    QString On, Off;
    QString NotInModule;
};

// One setting the module does not hold as it was written.
struct TMismatch {
    TChangeKind Kind = TChangeKind::Other; // Other: a pair; Pin; Car
    quint8 Fn = 0;
    QString Name, Written, Held;
};

namespace SettingsChanges {
// The map a Save writes: map with the values of both trees collected.
TFnMemoryMap Planned(const TCatalogue& catalogue, const TFnMemoryMap& map);
// The changes among the FNs a Save writes (0x10..0xFE), in the trees' order,
// then those no row shows; without their words.
std::vector<TChange> Find(const TCatalogue& catalogue, const TFnMemoryMap& planned,
                          const TFnValues& baseline);
// Marks the rows of both trees that show an installer's change and counts
// those in their chapters; returns the rows whose mark or count changed.
std::vector<TParamNode*> Mark(TCatalogue& catalogue, const std::vector<TChange>& changes);
// Puts the words to the changes of the trees and of other FNs.
void Describe(const TCatalogue& catalogue, const TFnValues& baseline, const TFnValues& planned,
              const TChangeTexts& texts, std::vector<TChange>& changes);

// The name and value text of an FN as the trees show it.
QString FnName(const TCatalogue& catalogue, quint8 fn, const TChangeTexts& texts);
QString FnValueText(const TCatalogue& catalogue, quint8 fn, quint8 nn);

// Back to the baseline without touching the module: one row with what it
// holds (a chapter: all its rows; a function: its value and its options'
// sub-parameters), the map's values with it.
void Revert(TParamTree& tree, TParamNode& node, const TFnValues& baseline, TFnMemoryMap& map);

// The written values the read-back map does not hold; texts for their words.
std::vector<TMismatch> Verify(const TCatalogue& catalogue, const TFnValues& written,
                              const std::vector<quint8>& order, const TFnMemoryMap& readBack,
                              const TChangeTexts& texts);
} // namespace SettingsChanges
