#include "MapApplier.h"

#include "ParamTreeRules.h"

QString TFixedFns::CarText(const QString& notSet) const {
    if (!CarGroup && !CarSubgroup)
        return {};
    QString text;
    if (CarGroup)
        text = *CarGroup == NotSet ? notSet : QString::number(*CarGroup);
    if (CarSubgroup) {
        if (*CarSubgroup == NotSet)
            text = notSet;
        else
            text += QLatin1Char('/') + QString::number(*CarSubgroup);
    }
    return text;
}

QString TFixedFns::PinText() const {
    QString text;
    for (const quint8 digit : Pin)
        text += QString::number(digit);
    return text;
}

bool TFixedFns::ValidPinText(const QString& text) {
    if (text.size() != qsizetype(std::tuple_size_v<decltype(Pin)>))
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('1') || c > QLatin1Char('9'))
            return false;
    return true;
}

std::array<quint8, 4> TFixedFns::PinFromText(const QString& text) {
    std::array<quint8, 4> digits{};
    for (std::size_t i = 0; i < digits.size(); ++i)
        digits[i] = quint8(text[qsizetype(i)].unicode() - '0');
    return digits;
}

namespace MapApplier {
namespace {
void ApplyAssigned(TParamTree& tree, quint8 fn, quint8 nn, TFixedFns& fixed) {
    tree.ForEach([&](TParamNode& node) {
        if (node.Level() == 2) {
            if (node.Data.AssignedFn1 == fn)
                node.Data.Fn1Value = nn;
            if (node.Data.AssignedFn2 == fn)
                node.Data.Fn2Value = nn;
        } else if (node.Level() == 1 && node.Data.IsFlag && node.Data.Number == fn) {
            fixed.FlagShown = true;
            node.Parent->Visible = true;
            if (!node.Disabled)
                node.Checked = (nn & node.Data.AssignedFn1) != 0;
        }
    });
}

void ApplyFunction(TParamTree& tree, quint8 fn, quint8 nn) {
    for (const auto& chapter : tree.Root()->Children)
        for (const auto& function : chapter->Children) {
            if (function->Data.Number != fn)
                continue;
            function->Visible = true;
            chapter->Visible = true;
            for (const auto& option : function->Children) {
                if (option->Data.IsValue) {
                    option->Data.Number = nn;
                    return;
                }
                if (option->Index() + 1 == nn) {
                    option->CheckRadio();
                    return;
                }
            }
            return;
        }
}

void ApplyFixed(quint8 fn, quint8 nn, TFixedFns& fixed) {
    if (fn == TFixedFns::CarProgramFn)
        fixed.CarProgram = nn;
    if (fn >= TFixedFns::FirstEventFn && fn < TFixedFns::FirstEventFn + 3)
        fixed.LastEvents[std::size_t(fn - TFixedFns::FirstEventFn)] = TFixedFns::EventMessage(nn);
    if (fn >= TFixedFns::FirstPinFn && fn <= TFixedFns::LastPinFn) {
        fixed.Pin[std::size_t(fn - TFixedFns::FirstPinFn)] = nn;
        if (fn == TFixedFns::LastPinFn)
            fixed.PinShown = true;
    }
    if (fn == TFixedFns::CarGroupFn) {
        fixed.CarGroup = nn;
        fixed.CarSubgroup.reset();
        fixed.CurrentCarKnown = nn != TFixedFns::NotSet;
    }
    if (fn == TFixedFns::CarSubgroupFn)
        fixed.CarSubgroup = nn;
}
} // namespace

void ApplyMemoryMap(TCatalogue& catalogue, const TFnMemoryMap& map, TFixedFns& fixed) {
    ParamTreeRules::ResetView(catalogue.VT);
    ParamTreeRules::ResetView(catalogue.VST2);
    fixed.FlagShown = false;
    fixed.PinShown = false;
    for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
        const TFnPair pair = map[slot];
        if (TFnMemoryMap::InUse(pair.FN) && !catalogue.IsAssignedFn(pair.FN))
            ApplyFixed(pair.FN, pair.NN, fixed);
    }
    for (TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot) {
            const TFnPair pair = map[slot];
            if (!TFnMemoryMap::InUse(pair.FN))
                continue;
            if (catalogue.IsAssignedFn(pair.FN))
                ApplyAssigned(*tree, pair.FN, pair.NN, fixed);
            else
                ApplyFunction(*tree, pair.FN, pair.NN);
        }
}

void CollectTreeValues(const TCatalogue& catalogue, TFnMemoryMap& map) {
    for (const TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        tree->ForEach([&map](TParamNode& node) {
            const TParamNodeData& d = node.Data;
            if (node.Level() == 2) {
                const quint8 function = node.Parent->Data.Number;
                if (d.IsValue) {
                    map.SetMapValue(function, d.Number);
                    return;
                }
                if (d.AssignedFn1 != 0)
                    map.SetMapValue(d.AssignedFn1, d.Fn1Value);
                if (d.AssignedFn2 != 0)
                    map.SetMapValue(d.AssignedFn2, d.Fn2Value);
                if (node.Checked)
                    map.SetMapValue(function, quint8(node.Index() + 1));
            } else if (node.Level() == 1 && d.IsFlag) {
                map.SetMapBits(d.Number, d.AssignedFn1, node.Checked);
            }
        });
}
} // namespace MapApplier
