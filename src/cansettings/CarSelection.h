#pragma once
// The car page without its widgets: the car database and the cars of it the
// module supports, the make, model and year lists that follow each other, the
// program and FN57 choices, the mode, and what Save makes of the choice.
// The page's controls show what it holds (ICarPageView) and hand the user's
// choices back to it.

#include "CanData.h"
#include "CanSettings.h"
#include "CarChoices.h"
#include "CarPageView.h"

#include <QObject>
#include <array>

class TSession;
class QTimer;

class TCarSelection : public QObject, public ICarSelection {
    Q_OBJECT
public:
    static constexpr int ApplyParamsMs = 1;
    static constexpr int ResetCarWaitMs = 50;
    static constexpr int SetCarWaitMs = 3000;
    static constexpr int NoCarFitsMessage = 94;
    static constexpr quint8 CarProgramFn = 0x57;
    static constexpr quint8 AutoFns[3] = {0x82, 0x83, 0x84};
    static constexpr quint8 AutoFnValue = 2;

    TCarSelection(TCanSettings& settings, TSession& session, QObject* parent = nullptr);

    void SetView(ICarPageView* view) { View = view; }

    TCanDataArr& CarDatabase() { return Database; }
    const TCanDataArr& SupportedCars() const { return Supported; }
    // The car list was loaded anew: the lists are built again from it.
    void CarDatabaseReloaded();
    // Fills "Make" from the supported cars, first make chosen, and the lists
    // below it after it; public so its cost can be measured on its own.
    void FillMakes();

    // The user's click on a choice.
    void SelectCarMode(TCarMode mode);
    TCarMode CarMode() const { return Mode; }
    bool CurrentChoiceShown() const { return CurrentShown; }

    // The user picked an entry of a list.
    void ListChosen(TCarList list, int index);

    // What the lists hold, for the page and for tests.
    const QStringList& Entries(TCarList list) const { return Lists[Slot(list)].Labels; }
    int Selected(TCarList list) const { return Lists[Slot(list)].Selected; }
    bool SubPanelShown(TCarList list) const { return Lists[Slot(list)].SubPanel; }
    const TFlatNameStructArr& ProgramChoices() const { return Programs; }
    const TFlatNameStructArr& Fn57Choices() const { return Fn57s; }
    const TFlatNameStructArr& CurrentFn57Choices() const { return CurrentFn57s; }

    QTimer* ApplyParamsTimer() const { return ApplyTimer; }
    // The update list is to be looked at on the next tick.
    void RequestUpdateListCheck();

    // The message-built labels in the current language.
    void LanguageChanged();

    // ICarSelection.
    void ModeAfterRead(bool currentCarKnown) override;
    void SelectCarProgram(quint8 fn57) override;
    void ShowCurrentCar(const QString& text) override;
    bool AutoSelected() const override { return Mode == CarModeAuto; }
    void ApplyCarSelection(TFnMemoryMap& map) override;
    TCarPlan PlanCarSelection() const override;
    void CarListsRead() override;

signals:
    // The pending update list check came due.
    void UpdateListCheckDue();

private:
    struct TList {
        QStringList Labels;
        int Selected = -1;
        bool SubPanel = false;
    };
    static std::size_t Slot(TCarList list) { return std::size_t(list); }

    void ApplyParams();
    void MakeChanged();
    void ModelChanged();
    void YearChanged();
    void Fill(TCarList list, const QStringList& labels, int selected);
    // Refills a message-built list keeping its selected position.
    void Relabel(TCarList list, const TFlatNameStructArr& choices);
    void ShowSubPanel(TCarList list, bool visible);
    const TCanData* ChosenMake() const;
    const TCanModelData* ChosenModel() const;
    const TCanParamData* ChosenYear() const;
    static const TFlatNameStruct* Entry(const TFlatNameStructArr& choices, int index);
    QStringList LabelsOf(const TFlatNameStructArr& choices) const;

    TCanSettings& Settings;
    TSession& Session;
    ICarPageView* View = nullptr;
    TCanDataArr Database;
    TCanDataArr Supported;
    TFlatNameStructArr Programs;
    TFlatNameStructArr Fn57s;
    TFlatNameStructArr CurrentFn57s;
    std::array<TList, CarListCount> Lists;
    TCarMode Mode = CarModeAuto;
    bool CurrentShown = true;
    bool UpdateCheckPending = false;
    QTimer* ApplyTimer;
};
