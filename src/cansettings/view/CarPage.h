#pragma once
// The controls of the car page above the car tree: "Auto", "Manual" and
// "Current", the manual panel with the car list's make, model, year, program
// and FN57 lists, and the current panel with the car the module has learned.
// What they show comes from the car selection; the user's choices go back to
// it.

#include "cansettings/CarPageView.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class TCarSelection;

class TCarPage : public QWidget, public ICarPageView {
    Q_OBJECT
public:
    explicit TCarPage(TCarSelection& selection, QWidget* parent = nullptr);

    QRadioButton* ModeChoice(TCarMode mode) const;
    QComboBox* List(TCarList list) const { return Lists[std::size_t(list)]; }
    QWidget* ManualPanel() const { return Manual; }
    QWidget* CurrentPanel() const { return Current; }
    QWidget* SubPanel(TCarList list) const;
    QCheckBox* AutoUpdateBox() const { return AutoUpdate; }
    QLabel* CurrentCarLabel() const { return BtrValue; }

    void ShowCarMode(TCarMode mode) override;
    void ShowCurrentChoice(bool visible) override;
    void FillList(TCarList list, const QStringList& labels, int selected) override;
    void ShowSubPanel(TCarList list, bool visible) override;
    void ShowCurrentCar(const QString& group, const QString& subgroup) override;

private:
    QComboBox* AddList(TCarList list, const char* name);
    QWidget* LabelledRow(QWidget* parent, const char* name, const char* labelName,
                         const QString& caption, QWidget* field);

    TCarSelection& Selection;
    QRadioButton* AutoChoice;
    QRadioButton* ManualChoice;
    QRadioButton* CurrentChoice;
    QWidget* Manual;
    QWidget* Current;
    QWidget* ProgramPanel = nullptr;
    QWidget* Fn57Panel = nullptr;
    QCheckBox* AutoUpdate;
    QLabel* BtrValue;
    QLabel* PgrValue;
    std::array<QComboBox*, CarListCount> Lists{};
};
