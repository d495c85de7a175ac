#pragma once
// How the kind key of a control line applies its two texts. Keys are class
// names of the language file's own making ("TTntLabel", "ttntcombobox", ...);
// some match letter for letter, some in any letter case. docs/languages.md
// tells which Qt control stands for each kind.

#include <QByteArray>
#include <QList>

enum class TControlKind {
    None, // a key this tool does not know: the control is left alone
    Label,
    PushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Panel,
    SpeedButton,
    ToolButton,
    TabSheet,
    Lamp,
    LabeledEdit,
    MenuItem,
    ShrinkPanel,
    ComboBox,
    RadioGroup,
};

struct TKindRule {
    TControlKind Kind = TControlKind::None;
    // The hint also switches the control's hint display (a menu item's does not).
    bool HintSwitchesDisplay = true;
};

TKindRule KindRuleOf(const QByteArray& key);

// The items of a list text: every piece before a TAB, and the piece after the
// last TAB only when it is not empty ("a\tb\t" gives a and b, "a\t\t" gives a
// and an empty item).
QList<QByteArray> ListItemsOf(const QByteArray& text);
