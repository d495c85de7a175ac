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
    // The car tree with its search field above it, for the car page.
    QWidget* CarTreeBox() const { return CarBox; }
    // The search fields above the trees.
    QLineEdit* VTSearch() const { return SettingsSearch; }
    QLineEdit* VST2Search() const { return CarSearch; }
    // The search fields' hint and the trees' "Revert this change".
    void SetTexts(const QString& searchHint, const QString& revertRow);
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
    // Made here, shown on the car page: whoever takes the box in owns it
    // (and the tree in it); a box nobody took goes with the panel.
    QPointer<TParamTreeView> CarTree;
    QPointer<QWidget> CarBox;
    QLineEdit* SettingsSearch;
    QLineEdit* CarSearch;
    QLineEdit* Pin;
    QLabel* Events[3];
    QCheckBox* Expand;
};
