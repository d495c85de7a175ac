#include "SettingsChanges.h"

#include "MapApplier.h"
#include "ParamTreeRules.h"

using namespace ParamTreeRules;

TFnValues TFnValues::Of(const TFnMemoryMap& map) {
    TFnValues values;
    for (int slot = TFnMemoryMap::SlotCount - 1; slot >= 0; --slot)
        if (TFnMemoryMap::InUse(map[slot].FN))
            values.Set(map[slot].FN, map[slot].NN);
    return values;
}

namespace SettingsChanges {
namespace {
using TFlags = std::array<bool, 256>;

TChange Change(TChangeKind kind, quint8 fn, int column = 0, TParamNode* node = nullptr,
               TParamNode* chapter = nullptr, bool forced = false) {
    TChange change;
    change.Kind = kind;
    change.Fn = fn;
    change.Column = column;
    change.Node = node;
    change.Chapter = chapter;
    change.Forced = forced;
    return change;
}

QString Joined(const QString& value, const QString& unit) {
    return unit.isEmpty() ? value : value + QLatin1Char(' ') + unit;
}

// A function's value as its options name it.
QString FunctionValue(const TCatalogue& catalogue, const TParamNode& function, quint8 nn) {
    const int language = catalogue.CatalogueLanguage;
    if (function.ChildCount() > 0 && function.Child(0)->Data.IsValue) {
        const TParamNodeData& d = function.Child(0)->Data;
        return Joined(FloatToText(nn * d.Step1), catalogue.Text(d.Fn1Captions));
    }
    for (const auto& option : function.Children)
        if (option->Index() + 1 == nn)
            return CellText(*option, NameColumn, language, {});
    return QString::number(nn);
}

QString SubValue(const TCatalogue& catalogue, const TParamNode& option, int column, quint8 nn) {
    const TParamNodeData& d = option.Data;
    return column == Param2Column
               ? Joined(FloatToText(nn * d.Step2), catalogue.Text(d.Fn2Captions))
               : Joined(FloatToText(nn * d.Step1), catalogue.Text(d.Fn1Captions));
}

QString SubName(const TCatalogue& catalogue, const TParamNode& option, const QString& prefix) {
    return CellText(*option.Parent, NameColumn, catalogue.CatalogueLanguage, prefix) +
           QStringLiteral(": ") + catalogue.Text(option.Data.Names);
}

QString Hex(quint8 fn) {
    return QString::number(fn, 16).toUpper();
}

// The first row of either tree that shows fn: a function, an option's
// sub-parameter (column 1 or 2), or a flag.
struct TFound {
    const TParamNode* Node = nullptr;
    int Column = 0;
};
TFound FindFn(const TCatalogue& catalogue, quint8 fn) {
    TFound found;
    for (const TParamTree* tree : {&catalogue.VT, &catalogue.VST2}) {
        tree->ForEach([&](TParamNode& node) {
            if (found.Node)
                return;
            if (node.Level() == 1 && node.Data.Number == fn)
                found.Node = &node;
            else if (node.Level() == 2 && !node.Data.IsValue && node.Data.AssignedFn1 == fn)
                found = {&node, Param1Column};
            else if (node.Level() == 2 && !node.Data.IsValue && node.Data.AssignedFn2 == fn)
                found = {&node, Param2Column};
        });
        if (found.Node)
            break;
    }
    return found;
}

void SetSub(TParamTree& tree, quint8 fn, quint8 nn) {
    tree.ForEach([&](TParamNode& node) {
        if (node.Level() != 2)
            return;
        if (node.Data.AssignedFn1 == fn)
            node.Data.Fn1Value = nn;
        if (node.Data.AssignedFn2 == fn)
            node.Data.Fn2Value = nn;
    });
}

void RevertFunction(TParamNode& function, const TFnValues& baseline, TFnMemoryMap& map) {
    const quint8 fn = function.Data.Number;
    if (!baseline.Has(fn))
        return;
    const quint8 nn = baseline.At(fn);
    map.SetMapValue(fn, nn);
    bool matched = false;
    for (const auto& option : function.Children) {
        if (option->Data.IsValue) {
            option->Data.Number = nn;
            return;
        }
        if (option->Index() + 1 == nn) {
            option->CheckRadio();
            matched = true;
            break;
        }
    }
    // A value no option names: none checked, so the map's value is written.
    if (!matched)
        for (const auto& option : function.Children)
            if (option->CheckKind == TCheckKind::Radio)
                option->Checked = false;
}

void RevertSub(TParamTree& tree, quint8 fn, const TFnValues& baseline, TFnMemoryMap& map) {
    if (fn == 0 || !baseline.Has(fn))
        return;
    SetSub(tree, fn, baseline.At(fn));
    map.SetMapValue(fn, baseline.At(fn));
}
} // namespace

TFnMemoryMap Planned(const TCatalogue& catalogue, const TFnMemoryMap& map) {
    TFnMemoryMap planned = map;
    MapApplier::CollectTreeValues(catalogue, planned);
    return planned;
}

std::vector<TChange> Find(const TCatalogue& catalogue, const TFnMemoryMap& planned,
                          const TFnValues& baseline) {
    const TFnValues plan = TFnValues::Of(planned);
    TFlags changed{};
    for (int fn = TFnMemoryMap::FirstWrittenFn; fn <= TFnMemoryMap::LastWrittenFn; ++fn)
        changed[fn] = plan.Has(quint8(fn)) &&
                      (!baseline.Has(quint8(fn)) || baseline.At(quint8(fn)) != plan.At(quint8(fn)));
    const auto differing = [&](quint8 fn) {
        return quint8((baseline.Has(fn) ? baseline.At(fn) : 0) ^ plan.At(fn));
    };
    TFlags covered{};
    std::array<quint8, 256> flagMasks{};
    std::vector<TChange> changes;
    for (const TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        for (const auto& chapter : tree->Root()->Children)
            for (const auto& row : chapter->Children) {
                const TParamNodeData& d = row->Data;
                if (d.IsFlag) {
                    flagMasks[d.Number] |= d.AssignedFn1;
                    if (changed[d.Number] && (differing(d.Number) & d.AssignedFn1) != 0)
                        changes.push_back(Change(TChangeKind::Flag, d.Number, 0, row.get(),
                                                 chapter.get(), row->Disabled));
                    continue;
                }
                if (changed[d.Number] && !covered[d.Number]) {
                    covered[d.Number] = true;
                    changes.push_back(
                        Change(TChangeKind::Function, d.Number, 0, row.get(), chapter.get()));
                }
                for (const auto& option : row->Children) {
                    if (option->Data.IsValue)
                        continue;
                    for (const int column : {Param1Column, Param2Column}) {
                        const quint8 fn = column == Param1Column ? option->Data.AssignedFn1
                                                                 : option->Data.AssignedFn2;
                        if (fn == 0 || !changed[fn] || covered[fn])
                            continue;
                        covered[fn] = true;
                        changes.push_back(Change(TChangeKind::SubParameter, fn, column,
                                                 option.get(), chapter.get()));
                    }
                }
            }
    // What no row shows: a flag's bits without a flag, FN57, a template's
    // functions this catalogue does not know.
    for (int fn = TFnMemoryMap::FirstWrittenFn; fn <= TFnMemoryMap::LastWrittenFn; ++fn) {
        if (!changed[fn] || covered[fn])
            continue;
        if (flagMasks[fn] != 0 && (differing(quint8(fn)) & ~flagMasks[fn]) == 0)
            continue;
        changes.push_back(Change(TChangeKind::Other, quint8(fn)));
    }
    return changes;
}

std::vector<TParamNode*> Mark(TCatalogue& catalogue, const std::vector<TChange>& changes) {
    struct TBefore {
        bool Changed;
        int Held;
    };
    std::vector<TBefore> before;
    before.reserve(std::size_t(catalogue.VT.NodeCount() + catalogue.VST2.NodeCount()));
    TFlags subs{};
    for (TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        tree->ForEach([&](TParamNode& node) {
            before.push_back({node.Changed, node.ChangesHeld});
            node.Changed = false;
            node.ChangesHeld = 0;
        });
    for (const TChange& change : changes) {
        if (!change.Node || change.Forced)
            continue;
        change.Node->Changed = true;
        if (change.Chapter)
            ++change.Chapter->ChangesHeld;
        if (change.Kind == TChangeKind::Function && change.Node->ChildCount() > 0 &&
            change.Node->Child(0)->Data.IsValue)
            change.Node->Child(0)->Changed = true;
        if (change.Kind == TChangeKind::SubParameter)
            subs[change.Fn] = true;
    }
    std::vector<TParamNode*> repaint;
    std::size_t i = 0;
    for (TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        tree->ForEach([&](TParamNode& node) {
            // Every option naming a changed sub-parameter shows the new value.
            if (node.Level() == 2 && !node.Data.IsValue &&
                ((node.Data.AssignedFn1 != 0 && subs[node.Data.AssignedFn1]) ||
                 (node.Data.AssignedFn2 != 0 && subs[node.Data.AssignedFn2])))
                node.Changed = true;
            const TBefore was = before[i++];
            if (was.Changed != node.Changed || was.Held != node.ChangesHeld)
                repaint.push_back(&node);
        });
    return repaint;
}

void Describe(const TCatalogue& catalogue, const TFnValues& baseline, const TFnValues& planned,
              const TChangeTexts& texts, std::vector<TChange>& changes) {
    const int language = catalogue.CatalogueLanguage;
    for (TChange& change : changes) {
        const quint8 fn = change.Fn;
        if (change.Kind == TChangeKind::Pin || change.Kind == TChangeKind::Car)
            continue;
        const bool held = baseline.Has(fn);
        const quint8 was = held ? baseline.At(fn) : 0;
        const quint8 now = planned.At(fn);
        if (change.Chapter)
            change.ChapterText = catalogue.Text(change.Chapter->Data.Names);
        switch (change.Kind) {
        case TChangeKind::Function:
            change.Name = CellText(*change.Node, NameColumn, language, texts.FunctionPrefix);
            change.Old = held ? FunctionValue(catalogue, *change.Node, was) : texts.NotInModule;
            change.New = FunctionValue(catalogue, *change.Node, now);
            break;
        case TChangeKind::Flag: {
            const quint8 mask = change.Node->Data.AssignedFn1;
            change.Name = catalogue.Text(change.Node->Data.Names);
            change.Old = !held ? texts.NotInModule : (was & mask) ? texts.On : texts.Off;
            change.New = (now & mask) ? texts.On : texts.Off;
            break;
        }
        case TChangeKind::SubParameter:
            change.Name = SubName(catalogue, *change.Node, texts.FunctionPrefix);
            change.Old =
                held ? SubValue(catalogue, *change.Node, change.Column, was) : texts.NotInModule;
            change.New = SubValue(catalogue, *change.Node, change.Column, now);
            break;
        default:
            change.Name = FnName(catalogue, fn, texts);
            change.Old = held ? FnValueText(catalogue, fn, was) : texts.NotInModule;
            change.New = FnValueText(catalogue, fn, now);
            break;
        }
    }
}

QString FnName(const TCatalogue& catalogue, quint8 fn, const TChangeTexts& texts) {
    const TFound found = FindFn(catalogue, fn);
    const QString number = texts.FunctionPrefix + Hex(fn);
    if (!found.Node)
        return number;
    if (found.Column != 0)
        return SubName(catalogue, *found.Node, texts.FunctionPrefix);
    if (found.Node->Data.IsFlag)
        return catalogue.Text(found.Node->Parent->Data.Names) + QStringLiteral(" (") + number +
               QLatin1Char(')');
    return CellText(*found.Node, NameColumn, catalogue.CatalogueLanguage, texts.FunctionPrefix);
}

QString FnValueText(const TCatalogue& catalogue, quint8 fn, quint8 nn) {
    const TFound found = FindFn(catalogue, fn);
    if (!found.Node)
        return QString::number(nn);
    if (found.Column != 0)
        return SubValue(catalogue, *found.Node, found.Column, nn);
    if (found.Node->Data.IsFlag)
        return QStringLiteral("0x") +
               QStringLiteral("%1").arg(nn, 2, 16, QLatin1Char('0')).toUpper();
    return FunctionValue(catalogue, *found.Node, nn);
}

void Revert(TParamTree& tree, TParamNode& node, const TFnValues& baseline, TFnMemoryMap& map) {
    const TParamNodeData& d = node.Data;
    switch (node.Level()) {
    case 0:
        for (const auto& row : node.Children)
            Revert(tree, *row, baseline, map);
        return;
    case 1:
        if (d.IsFlag) {
            if (!baseline.Has(d.Number) || node.Disabled)
                return;
            const bool on = (baseline.At(d.Number) & d.AssignedFn1) != 0;
            node.Checked = on;
            map.SetMapBits(d.Number, d.AssignedFn1, on);
            return;
        }
        RevertFunction(node, baseline, map);
        for (const auto& option : node.Children)
            if (!option->Data.IsValue) {
                RevertSub(tree, option->Data.AssignedFn1, baseline, map);
                RevertSub(tree, option->Data.AssignedFn2, baseline, map);
            }
        return;
    default:
        if (d.IsValue) {
            RevertFunction(*node.Parent, baseline, map);
            return;
        }
        RevertSub(tree, d.AssignedFn1, baseline, map);
        RevertSub(tree, d.AssignedFn2, baseline, map);
        return;
    }
}

std::vector<TMismatch> Verify(const TCatalogue& catalogue, const TFnValues& written,
                              const std::vector<quint8>& order, const TFnMemoryMap& readBack,
                              const TChangeTexts& texts) {
    const TFnValues held = TFnValues::Of(readBack);
    std::vector<TMismatch> mismatches;
    for (const quint8 fn : order) {
        if (held.Has(fn) && held.At(fn) == written.At(fn))
            continue;
        mismatches.push_back(
            {TChangeKind::Other, fn, FnName(catalogue, fn, texts),
             FnValueText(catalogue, fn, written.At(fn)),
             held.Has(fn) ? FnValueText(catalogue, fn, held.At(fn)) : texts.NotInModule});
    }
    return mismatches;
}
} // namespace SettingsChanges
