#include "CarSelection.h"

#include "MapCycle.h"
#include "link/Link.h"
#include "session/Session.h"

#include <QTimer>

namespace {
// "Manual" with no FN57 entry chosen: the value's low byte.
constexpr quint8 NoFn57Chosen = 0xFF;
} // namespace

TCarSelection::TCarSelection(TCanSettings& settings, TSession& session, QObject* parent)
    : QObject(parent), Settings(settings), Session(session), ApplyTimer(new QTimer(this)) {
    ApplyTimer->setObjectName(QStringLiteral("ApplyParamsTimer"));
    ApplyTimer->setSingleShot(true);
    ApplyTimer->setInterval(ApplyParamsMs);
    connect(ApplyTimer, &QTimer::timeout, this, &TCarSelection::ApplyParams);
    settings.SetCarSelection(this);
}

QStringList TCarSelection::LabelsOf(const TFlatNameStructArr& choices) const {
    return CarChoices::Labels(choices, [this](int n) { return Session.Shell().Message(n); });
}

void TCarSelection::CarListsRead() {
    ApplyTimer->start();
}

void TCarSelection::CarDatabaseReloaded() {
    Settings.Cycle().ProgListRead = true;
    ApplyTimer->start();
}

void TCarSelection::RequestUpdateListCheck() {
    UpdateCheckPending = true;
    ApplyTimer->start();
}

void TCarSelection::ApplyParams() {
    ApplyTimer->stop();
    TMapCycle& cycle = Settings.Cycle();
    if (cycle.ProgListRead) {
        cycle.ProgListRead = false;
        Supported = FilterSupportedCars(Database, cycle.GrPgrList);
        FillMakes();
    }
    if (cycle.WriteProgRead) {
        cycle.WriteProgRead = false;
        CurrentFn57s = CarChoices::CurrentFn57Choices(cycle.WriteProgBytes);
        Fill(TCarList::CurrentFn57, LabelsOf(CurrentFn57s), 0);
    }
    if (UpdateCheckPending) {
        UpdateCheckPending = false;
        emit UpdateListCheckDue();
    }
}

void TCarSelection::FillMakes() {
    QStringList makes;
    makes.reserve(Supported.size());
    for (const TCanData& car : Supported)
        makes.append(car.Make);
    Fill(TCarList::Make, makes, makes.isEmpty() ? -1 : 0);
    MakeChanged();
}

void TCarSelection::MakeChanged() {
    QStringList models;
    if (const TCanData* make = ChosenMake())
        for (const TCanModelData& model : make->Models)
            models.append(model.Model);
    Fill(TCarList::Brand, models, models.isEmpty() ? -1 : 0);
    ModelChanged();
}

void TCarSelection::ModelChanged() {
    QStringList years;
    if (const TCanModelData* model = ChosenModel())
        for (const TCanParamData& year : model->Years)
            years.append(year.Year);
    Fill(TCarList::Year, years, years.isEmpty() ? -1 : 0);
    YearChanged();
}

void TCarSelection::YearChanged() {
    Fill(TCarList::Program, {}, -1);
    Fill(TCarList::Fn57, {}, -1);
    const TCanParamData* year = ChosenYear();
    Programs = year ? CarChoices::ProgramChoices(*year) : TFlatNameStructArr{};
    Fill(TCarList::Program, LabelsOf(Programs), Programs.isEmpty() ? -1 : 0);
    ShowSubPanel(TCarList::Program, Programs.size() > 1);
    // Without a year there is nothing to choose, not even the default.
    Fn57s = year ? CarChoices::Fn57Choices(*year) : TFlatNameStructArr{};
    Fill(TCarList::Fn57, LabelsOf(Fn57s), Fn57s.size() > 1 ? 1 : (Fn57s.isEmpty() ? -1 : 0));
    ShowSubPanel(TCarList::Fn57, Fn57s.size() > 1);
}

const TCanData* TCarSelection::ChosenMake() const {
    const TList& makes = Lists[Slot(TCarList::Make)];
    if (makes.Selected < 0 || makes.Selected >= makes.Labels.size())
        return nullptr;
    const QString& name = makes.Labels[makes.Selected];
    for (const TCanData& car : Supported)
        if (car.Make.compare(name, Qt::CaseInsensitive) == 0)
            return &car;
    return nullptr;
}

const TCanModelData* TCarSelection::ChosenModel() const {
    const TCanData* make = ChosenMake();
    const TList& models = Lists[Slot(TCarList::Brand)];
    if (!make || models.Selected < 0 || models.Selected >= models.Labels.size())
        return nullptr;
    const QString& name = models.Labels[models.Selected];
    for (const TCanModelData& model : make->Models)
        if (model.Model.compare(name, Qt::CaseInsensitive) == 0)
            return &model;
    return nullptr;
}

const TCanParamData* TCarSelection::ChosenYear() const {
    const TCanModelData* model = ChosenModel();
    const TList& years = Lists[Slot(TCarList::Year)];
    if (!model || years.Selected < 0 || years.Selected >= model->Years.size())
        return nullptr;
    // By position: two lines of one model may carry the same year text with
    // different programs, and the one picked is the one meant.
    return &model->Years[years.Selected];
}

void TCarSelection::Fill(TCarList list, const QStringList& labels, int selected) {
    TList& entry = Lists[Slot(list)];
    entry.Labels = labels;
    entry.Selected = selected >= 0 && selected < labels.size() ? selected : -1;
    if (View)
        View->FillList(list, entry.Labels, entry.Selected);
}

void TCarSelection::Relabel(TCarList list, const TFlatNameStructArr& choices) {
    Fill(list, LabelsOf(choices), Lists[Slot(list)].Selected);
}

void TCarSelection::ShowSubPanel(TCarList list, bool visible) {
    Lists[Slot(list)].SubPanel = visible;
    if (View)
        View->ShowSubPanel(list, visible);
}

void TCarSelection::LanguageChanged() {
    Relabel(TCarList::Program, Programs);
    Relabel(TCarList::Fn57, Fn57s);
    Relabel(TCarList::CurrentFn57, CurrentFn57s);
}

void TCarSelection::ListChosen(TCarList list, int index) {
    TList& entry = Lists[Slot(list)];
    if (index < -1 || index >= entry.Labels.size())
        return;
    entry.Selected = index;
    switch (list) {
    case TCarList::Make:
        MakeChanged();
        break;
    case TCarList::Brand:
        ModelChanged();
        break;
    case TCarList::Year:
        YearChanged();
        break;
    default:
        break;
    }
    Settings.RefreshChanges();
}

void TCarSelection::SelectCarMode(TCarMode mode) {
    Mode = mode;
    if (View)
        View->ShowCarMode(mode);
    Settings.ShowCarTree(quint8(mode));
    Settings.RefreshChanges();
}

void TCarSelection::ModeAfterRead(bool currentCarKnown) {
    CurrentShown = currentCarKnown;
    if (View)
        View->ShowCurrentChoice(currentCarKnown);
    SelectCarMode(currentCarKnown ? CarModeCurrent : CarModeAuto);
}

void TCarSelection::SelectCarProgram(quint8 fn57) {
    for (qsizetype i = 0; i < CurrentFn57s.size(); ++i)
        if (CurrentFn57s[i].Value == fn57) {
            Fill(TCarList::CurrentFn57, Lists[Slot(TCarList::CurrentFn57)].Labels, int(i));
            return;
        }
}

void TCarSelection::ShowCurrentCar(const QString& text) {
    const auto subgroup = Settings.Fixed().CarSubgroup;
    if (View)
        View->ShowCurrentCar(text, subgroup && *subgroup != TFixedFns::NotSet
                                       ? QString::number(*subgroup)
                                       : QString());
}

TCarPlan TCarSelection::PlanCarSelection() const {
    TCarPlan plan;
    switch (Mode) {
    case CarModeAuto:
        plan.Reset = true;
        plan.Fn57 = quint8(CarChoices::DefaultFn57);
        break;
    case CarModeManual: {
        const TFlatNameStruct* program = Entry(Programs, Selected(TCarList::Program));
        if (!program)
            break;
        plan.SendsProgram = true;
        plan.Group = quint8(program->Value / 256);
        plan.Subgroup = quint8(program->Value % 256);
        const TFlatNameStruct* fn57 = Entry(Fn57s, Selected(TCarList::Fn57));
        plan.Fn57 = fn57 ? quint8(fn57->Value) : NoFn57Chosen;
        QStringList names;
        for (const TCarList list : {TCarList::Make, TCarList::Brand, TCarList::Year}) {
            const TList& entry = Lists[Slot(list)];
            if (entry.Selected >= 0 && entry.Selected < entry.Labels.size())
                names << entry.Labels[entry.Selected];
        }
        plan.Description = names.join(QLatin1Char(' ')) +
                           QStringLiteral(" (%1/%2)").arg(plan.Group).arg(plan.Subgroup);
        break;
    }
    case CarModeCurrent: {
        const TFlatNameStruct* fn57 = Entry(CurrentFn57s, Selected(TCarList::CurrentFn57));
        plan.Fn57 = fn57 ? quint8(fn57->Value) : quint8(CarChoices::DefaultFn57);
        break;
    }
    }
    return plan;
}

const TFlatNameStruct* TCarSelection::Entry(const TFlatNameStructArr& choices, int index) {
    return index >= 0 && index < choices.size() ? &choices[index] : nullptr;
}

void TCarSelection::ApplyCarSelection(TFnMemoryMap& map) {
    ILink* link = Session.Active();
    switch (Mode) {
    case CarModeAuto:
        if (link)
            link->ResetCar();
        Session.WaitWithEvents(ResetCarWaitMs);
        map.SetMapValue(CarProgramFn, CarChoices::DefaultFn57);
        for (const quint8 fn : AutoFns)
            map.SetMapValue(fn, AutoFnValue);
        break;
    case CarModeManual: {
        const TFlatNameStruct* program = Entry(Programs, Selected(TCarList::Program));
        if (!program) {
            // No car of the list fits this module: inventing a program would
            // tell the module a car it is not in. The rest is still saved.
            Session.Shell().ShowMessageBox(Session.Shell().Message(NoCarFitsMessage), Box::Warning,
                                           Box::Ok);
            break;
        }
        if (link)
            link->SetCar(quint8(program->Value / 256), quint8(program->Value % 256));
        Session.WaitWithEvents(SetCarWaitMs);
        const TFlatNameStruct* fn57 = Entry(Fn57s, Selected(TCarList::Fn57));
        map.SetMapValue(CarProgramFn, fn57 ? quint8(fn57->Value) : NoFn57Chosen);
        break;
    }
    case CarModeCurrent: {
        const TFlatNameStruct* fn57 = Entry(CurrentFn57s, Selected(TCarList::CurrentFn57));
        map.SetMapValue(CarProgramFn, fn57 ? quint8(fn57->Value) : CarChoices::DefaultFn57);
        break;
    }
    }
}
