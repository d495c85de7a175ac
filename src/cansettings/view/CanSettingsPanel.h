#pragma once
// The controls of the CAN settings: on "Alarm system settings" the PIN field,
// the three "Last events:" labels, the "Expand" box and the settings tree;
// on the car page the car tree.

#include "cansettings/CanSettingsView.h"
#include "cansettings/view/ParamTreeView.h"

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class TCanSettings;

class TCanSettingsPanel : public QWidget, public ICanSettingsView {
    Q_OBJECT
public:
    explicit TCanSettingsPanel(TCanSettings& settings, QWidget* parent = nullptr);
    ~TCanSettingsPanel() override;

    // The settings page's controls live in this widget; the car tree goes on
    // the car page.
    TParamTreeView* VT() const { return SettingsTree; }
    TParamTreeView* VST2() const { return CarTree; }
    QLineEdit* PinEdit() const { return Pin; }
    QLabel* LastEventLabel(int i) const { return Events[i]; }
    QCheckBox* ExpandBox() const { return Expand; }

    void CommitEdits() override;
    QString PinText() const override;
    bool PinEnabled() const override;
    void ShowPin(bool enabled, const QString& text) override;
    void ShowLastEvent(int index, const QString& text) override;
    void SyncRows() override;

private:
    TParamTreeView* SettingsTree;
    // Made here, shown on the car page: whoever takes it in owns it; a tree
    // nobody took goes with the panel.
    QPointer<TParamTreeView> CarTree;
    QLineEdit* Pin;
    QLabel* Events[3];
    QCheckBox* Expand;
};
