#include "ParamTreeRules.h"

#include <QLocale>
#include <cmath>

namespace ParamTreeRules {
namespace {
constexpr int OptionIndent = 78;
constexpr int FloatDigits = 15;

QString Entry(const QStringList& list, int language) {
    return language >= 0 && language < list.size() ? list[language] : QString();
}
bool IsOption(const TParamNode& node) {
    return node.Level() == 2;
}
} // namespace

QString FloatToText(double value) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', FloatDigits);
}

QString CellText(const TParamNode& node, int column, int language, const QString& functionPrefix) {
    const TParamNodeData& d = node.Data;
    const int level = node.Level();
    if (column == NameColumn) {
        if (level == 1 && !d.IsFlag)
            return functionPrefix + QString::number(d.Number, 16).toUpper() +
                   QStringLiteral(" - ") + Entry(d.Names, language);
        if (level == 2)
            return QString::number(node.Index() + 1) + QStringLiteral(") ") +
                   Entry(d.Names, language);
        return Entry(d.Names, language);
    }
    if (level != 2)
        return {};
    if (column == Param1Column) {
        if (d.IsValue)
            return FloatToText(d.Number * d.Step1) + ' ' + Entry(d.Fn1Captions, language);
        if (d.AssignedFn1 != 0)
            return FloatToText(d.Fn1Value * d.Step1) + ' ' + Entry(d.Fn1Captions, language);
        return {};
    }
    if (column == Param2Column && d.AssignedFn2 != 0)
        return FloatToText(d.Fn2Value * d.Step2) + ' ' + Entry(d.Fn2Captions, language);
    return {};
}

QString Summary(const TParamNode& node, int language) {
    if (node.Level() != 1 || node.Data.IsFlag || node.ChildCount() == 0)
        return {};
    const TParamNode* first = node.Child(0);
    if (first->Data.IsValue)
        return QString::number(first->Data.Number);
    for (const auto& option : node.Children)
        if (option->CheckKind == TCheckKind::Radio && option->Checked)
            return QString::number(option->Index() + 1) + QStringLiteral(" - ") +
                   Entry(option->Data.Names, language);
    return {};
}

bool CanEdit(const TParamNode& node, int column) {
    const TParamNodeData& d = node.Data;
    if (node.Level() != 2 || d.IsFlag)
        return false;
    if (column == Param1Column)
        return d.IsValue || (d.AssignedFn1 != 0 && node.Checked);
    if (column == Param2Column)
        return d.AssignedFn2 != 0 && node.Checked;
    return false;
}

bool ClickEdits(const TParamNode& node, int column) {
    if (!IsOption(node))
        return false;
    if (column == Param1Column)
        return node.Data.IsValue || node.Data.AssignedFn1 != 0;
    if (column == Param2Column)
        return node.Data.AssignedFn2 != 0;
    return false;
}

std::vector<TParamNode*> NewText(TParamTree& tree, TParamNode& node, int column,
                                 const QString& text) {
    std::vector<TParamNode*> changed;
    TParamNodeData& d = node.Data;
    if (column != Param1Column && column != Param2Column)
        return changed;
    bool hasDigit = false;
    for (const QChar c : text)
        hasDigit = hasDigit || c.isDigit();
    if (!hasDigit)
        return changed;
    const bool first = column == Param1Column;
    const double step = first ? d.Step1 : d.Step2;
    // A step of 0 has no sensible division; the catalogue gives none.
    if (step == 0.0)
        return changed;
    QString number = text;
    const qsizetype blank = number.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        number.truncate(blank);
    bool ok = false;
    double value = QLocale().toDouble(number, &ok);
    if (!ok)
        value = QLocale::c().toDouble(number, &ok);
    if (!ok)
        return changed;
    double r = value / step;
    const double minimum = first ? d.Min1 : d.Min2;
    const double maximum = first ? d.Max1 : d.Max2;
    if (r < minimum)
        r = minimum;
    if (r > maximum)
        r = maximum;
    const quint8 raw = quint8(std::nearbyint(r)); // halves to even
    quint8 fn = 0;
    if (first && d.IsValue) {
        d.Number = raw;
        changed.push_back(&node);
        return changed;
    }
    if (first && d.AssignedFn1 != 0)
        fn = d.AssignedFn1;
    else if (!first && d.AssignedFn2 != 0)
        fn = d.AssignedFn2;
    else
        return changed;
    if (first)
        d.Fn1Value = raw;
    else
        d.Fn2Value = raw;
    changed.push_back(&node);
    tree.ForEach([&](TParamNode& other) {
        if (other.Level() != 2)
            return;
        bool touched = false;
        if (other.Data.AssignedFn1 == fn) {
            other.Data.Fn1Value = raw;
            touched = true;
        }
        if (other.Data.AssignedFn2 == fn) {
            other.Data.Fn2Value = raw;
            touched = true;
        }
        if (touched && &other != &node)
            changed.push_back(&other);
    });
    return changed;
}

int OptionRowHeight(int nameTextWidth, int nameColumnWidth, int defaultHeight) {
    const int w = nameColumnWidth - OptionIndent;
    if (w <= 0)
        return defaultHeight;
    return (nameTextWidth / w + 1) * defaultHeight;
}

QColor Background(const TParamNode& node, int column) {
    const int level = node.Level();
    if (level == 0)
        return ChapterBackground;
    if (level == 1) {
        if (column == Param1Column && node.Data.IsFlag && node.Data.LiveState)
            return LiveBackground;
        if (node.Data.AssignedFn1 == 0 && node.Data.AssignedFn2 == 0)
            return FunctionBackground;
    }
    return {};
}

QColor Foreground(const TParamNode& node, int column) {
    if (node.Level() == 0)
        return Qt::white;
    if (node.Level() == 2 && column != NameColumn && !node.Checked &&
        (node.Data.AssignedFn1 != 0 || node.Data.AssignedFn2 != 0))
        return InactiveText;
    return {};
}

TEditRange EditRange(const TParamNode& node, int column) {
    const TParamNodeData& d = node.Data;
    TEditRange range;
    if (column == Param2Column) {
        range.Step = d.Step2;
        range.Minimum = d.Min2 * d.Step2;
        range.Maximum = d.Max2 * d.Step2;
        range.Value = d.Fn2Value * d.Step2;
    } else {
        range.Step = d.Step1;
        range.Minimum = d.Min1 * d.Step1;
        range.Maximum = d.Max1 * d.Step1;
        range.Value = (d.IsValue ? d.Number : d.Fn1Value) * d.Step1;
    }
    return range;
}

void ResetView(TParamTree& tree) {
    tree.ForEach([](TParamNode& node) {
        if (node.Level() == 0 || (node.Level() == 1 && !node.Data.IsFlag))
            node.Visible = false;
    });
}

std::vector<TParamNode*> ApplyLiveStates(TParamTree& tree, quint32 word) {
    std::vector<TParamNode*> changed;
    TParamNode* root = tree.Root();
    for (const auto& chapter : root->Children) {
        if (chapter->ChildCount() == 0 || !chapter->Child(0)->Data.IsFlag)
            continue;
        for (const auto& child : chapter->Children) {
            const TParamNodeData& d = child->Data;
            const quint32 lane = quint32(d.AssignedFn1) << (8 * (d.Number % 4));
            const bool live = d.IsFlag && (lane & word) != 0;
            if (child->Data.LiveState != live) {
                child->Data.LiveState = live;
                changed.push_back(child.get());
            }
        }
        break;
    }
    return changed;
}
} // namespace ParamTreeRules
