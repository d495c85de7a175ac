#include "CaptionTranslator.h"

#include "CaptionLayout.h"
#include "i18n/CaptionRules.h"
#include "ui/Lamp.h"
#include "ui/RadioGroup.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace {
bool SameName(const QObject* object, const QString& name) {
    return object->objectName().compare(name, Qt::CaseInsensitive) == 0;
}

QString NameOf(const QByteArray& name) {
    return QString::fromLatin1(name);
}

// The tab widget holding a page, and the page's index in it.
QTabWidget* TabWidgetOf(QWidget* page, int* index) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return nullptr;
    *index = tabs->indexOf(page);
    return *index >= 0 ? tabs : nullptr;
}

// The label that names an edit field (its buddy).
QLabel* LabelOf(QLineEdit* edit) {
    QWidget* window = edit->window();
    for (QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() == edit)
            return label;
    return nullptr;
}

// Lists keep their selection where the new items still reach it, else take
// the first; no change reaction runs meanwhile.
void ApplyListItems(QComboBox* list, const QList<QByteArray>& items, TCodePage codePage) {
    const int selected = list->currentIndex();
    const QSignalBlocker quiet(list);
    list->clear();
    for (const QByteArray& item : items)
        list->addItem(ToWide(item, codePage));
    // Adding items selects the first one; -1 puts a list without a selection back.
    list->setCurrentIndex(items.size() < selected + 1 ? 0 : selected);
}

void ApplyRadioGroup(TRadioGroup* group, const tkomponentas& entry, TCodePage codePage) {
    group->setTitle(ToWide(entry.Text, codePage));
    QStringList items;
    for (const QByteArray& item : ListItemsOf(entry.Hint))
        items << ToWide(item, codePage);
    group->SetItems(items);
}

template <typename T> T* As(QObject* control) {
    return qobject_cast<T*>(control);
}

// A framed group of plain kind: a radio group is a kind of its own.
QGroupBox* PlainGroupBox(QObject* control) {
    auto* box = As<QGroupBox>(control);
    return box && !As<TRadioGroup>(control) ? box : nullptr;
}
} // namespace

QWidget* TCaptionTranslator::FindWindow(const QByteArray& name, bool* notWindow) {
    *notWindow = false;
    const QString wanted = NameOf(name);
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isWindow() && SameName(widget, wanted))
            return widget;
    for (QWidget* widget : QApplication::allWidgets())
        if (!widget->isWindow() && SameName(widget, wanted)) {
            *notWindow = true;
            break;
        }
    return nullptr;
}

QObject* TCaptionTranslator::FindControl(QWidget* window, const QByteArray& name) {
    const QString wanted = NameOf(name);
    for (QObject* object : window->findChildren<QObject*>())
        if (SameName(object, wanted))
            return object;
    return nullptr;
}

bool TCaptionTranslator::ApplyControl(QObject* control, const tkomponentas& entry,
                                      TCodePage codePage) {
    const TKindRule rule = KindRuleOf(entry.Kind);
    const QString text = ToWide(entry.Text, codePage);
    const QString hint = ToWide(entry.Hint, codePage);
    QWidget* hinted = nullptr;
    switch (rule.Kind) {
    case TControlKind::None:
    case TControlKind::ShrinkPanel: // no collapsible panel among this tool's controls yet
        return false;
    case TControlKind::Label:
        if (auto* label = As<QLabel>(control)) {
            label->setText(text);
            hinted = label;
        }
        break;
    case TControlKind::PushButton:
        if (auto* button = As<QPushButton>(control)) {
            button->setText(text);
            hinted = button;
        }
        break;
    case TControlKind::CheckBox:
        if (auto* box = As<QCheckBox>(control)) {
            box->setText(text);
            hinted = box;
        }
        break;
    case TControlKind::RadioButton:
        if (auto* button = As<QRadioButton>(control)) {
            button->setText(text);
            hinted = button;
        }
        break;
    case TControlKind::GroupBox:
    case TControlKind::Panel:
        if (QGroupBox* box = PlainGroupBox(control)) {
            box->setTitle(text);
            hinted = box;
        }
        break;
    case TControlKind::SpeedButton:
    case TControlKind::ToolButton:
        if (auto* button = As<QToolButton>(control)) {
            button->setText(text);
            hinted = button;
        }
        break;
    case TControlKind::TabSheet:
        if (auto* page = As<QWidget>(control)) {
            int index = -1;
            QTabWidget* tabs = TabWidgetOf(page, &index);
            if (!tabs)
                return false;
            tabs->setTabText(index, text);
            tabs->setTabToolTip(index, hint);
            return true;
        }
        break;
    case TControlKind::Lamp:
        if (auto* lamp = As<TLamp>(control)) {
            // A lamp draws no text; its caption names it for screen readers.
            lamp->setAccessibleName(text);
            hinted = lamp;
        }
        break;
    case TControlKind::LabeledEdit:
        if (auto* edit = As<QLineEdit>(control)) {
            if (QLabel* label = LabelOf(edit))
                label->setText(text);
            hinted = edit;
        }
        break;
    case TControlKind::MenuItem:
        if (auto* item = As<QAction>(control)) {
            // Shown in the status bar; whether the menu shows tool tips stays.
            item->setText(text);
            item->setStatusTip(hint);
            return true;
        }
        break;
    case TControlKind::ComboBox:
        if (auto* list = As<QComboBox>(control)) {
            ApplyListItems(list, ListItemsOf(entry.Text), codePage);
            return true;
        }
        break;
    case TControlKind::RadioGroup:
        if (auto* group = As<TRadioGroup>(control)) {
            ApplyRadioGroup(group, entry, codePage);
            return true;
        }
        break;
    }
    if (!hinted)
        return false;
    // An empty hint is no hint: Qt shows no tool tip for it.
    if (rule.HintSwitchesDisplay)
        hinted->setToolTip(hint);
    return true;
}

bool TCaptionTranslator::Apply(const tkalba& language, TCodePage codePage, QString* error) {
    for (const tforma& entry : language.Forms) {
        bool notWindow = false;
        QWidget* window = FindWindow(entry.Name, &notWindow);
        if (notWindow) {
            *error = QStringLiteral("%1 is not a window").arg(ToWide(entry.Name, codePage));
            return false;
        }
        if (!window)
            continue;
        window->setWindowTitle(ToWide(entry.Caption, codePage));
        for (const tkomponentas& control : entry.Components)
            if (QObject* found = FindControl(window, control.Name))
                ApplyControl(found, control, codePage);
        TCaptionLayout::FitCaptions(window);
    }
    return true;
}
