#include "CaptionRules.h"

#include <array>

namespace {
struct TKeyRow {
    const char* Key;
    bool AnyCase;
    TControlKind Kind;
    bool HintSwitchesDisplay = true;
};

constexpr std::array Keys{
    TKeyRow{"TLabel", false, TControlKind::Label},
    TKeyRow{"TButton", false, TControlKind::PushButton},
    TKeyRow{"TCheckBox", false, TControlKind::CheckBox},
    TKeyRow{"TRadioButton", false, TControlKind::RadioButton},
    TKeyRow{"TGroupBox", false, TControlKind::GroupBox},
    TKeyRow{"TPanel", false, TControlKind::Panel},
    TKeyRow{"TSpeedButton", false, TControlKind::SpeedButton},
    TKeyRow{"TTabSheet", false, TControlKind::TabSheet},
    TKeyRow{"TVrLed", false, TControlKind::Lamp},
    TKeyRow{"TToolButton", false, TControlKind::ToolButton},
    TKeyRow{"TLabeledEdit", false, TControlKind::LabeledEdit},
    TKeyRow{"TMenuItem", false, TControlKind::MenuItem, false},
    TKeyRow{"TTntLabel", false, TControlKind::Label},
    TKeyRow{"ttntgroupbox", true, TControlKind::GroupBox},
    TKeyRow{"ttntcheckbox", true, TControlKind::CheckBox},
    TKeyRow{"TTntButton", false, TControlKind::PushButton},
    TKeyRow{"TTntRadioButton", false, TControlKind::RadioButton},
    TKeyRow{"ttnttabsheet", true, TControlKind::TabSheet},
    TKeyRow{"tflatbutton", true, TControlKind::PushButton},
    TKeyRow{"tflatcheckbox", true, TControlKind::CheckBox},
    TKeyRow{"tflatradiobutton", true, TControlKind::RadioButton},
    TKeyRow{"tschrinkpanel", true, TControlKind::ShrinkPanel},
    TKeyRow{"TComboBox", false, TControlKind::ComboBox},
    TKeyRow{"ttntcombobox", true, TControlKind::ComboBox},
    TKeyRow{"tflatcombobox", true, TControlKind::ComboBox},
    TKeyRow{"TRadioGroup", false, TControlKind::RadioGroup},
};
} // namespace

TKindRule KindRuleOf(const QByteArray& key) {
    for (const TKeyRow& row : Keys) {
        const bool matches =
            row.AnyCase ? key.compare(row.Key, Qt::CaseInsensitive) == 0 : key == row.Key;
        if (matches)
            return {row.Kind, row.HintSwitchesDisplay};
    }
    return {};
}

QList<QByteArray> ListItemsOf(const QByteArray& text) {
    QList<QByteArray> items = text.split('\t');
    if (items.last().isEmpty())
        items.removeLast();
    return items;
}
