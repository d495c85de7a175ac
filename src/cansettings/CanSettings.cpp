#include "CanSettings.h"

#include "CanSettingsView.h"
#include "CarTreeVisibility.h"
#include "MapCycle.h"
#include "ParamTreeModel.h"
#include "ParamTreeRules.h"
#include "files/SettingsFile.h"
#include "link/Link.h"
#include "session/Session.h"

#include <QTimer>
#include <algorithm>

namespace {
constexpr quint8 SaveDoneFn = 0x11;
constexpr int AutoWaitMs = 20;
// A box names this many dropped changes, then "...".
constexpr int DroppedShown = 15;

// The PIN and the car, which no row of the trees shows.
TChange NamedChange(TChangeKind kind, quint8 fn, const QString& name, const QString& old,
                    const QString& now) {
    TChange change;
    change.Kind = kind;
    change.Fn = fn;
    change.Name = name;
    change.Old = old;
    change.New = now;
    return change;
}

} // namespace

TCanSettings::TCanSettings(TSession& session, QObject* parent)
    : QObject(parent), Session(session), Shell(session.Shell()),
      MapCycle(new TMapCycle(session, FnMemoryMap, this)),
      VTModel(new TParamTreeModel(Cat, Cat.VT, this)),
      VST2Model(new TParamTreeModel(Cat, Cat.VST2, this)) {
    connect(MapCycle, &TMapCycle::ApplyRequested, this, &TCanSettings::ApplyMemoryMap);
    connect(MapCycle, &TMapCycle::ResetViewRequested, this, &TCanSettings::ResetView);
    connect(MapCycle, &TMapCycle::CarListsRead, this, [this] {
        if (CarSelection)
            CarSelection->CarListsRead();
    });
    connect(&session, &TSession::ReadSucceeded, this, &TCanSettings::ReadSucceeded);
    connect(&session, &TSession::ShownModuleGone, this, &TCanSettings::ShownModuleGone);
    // A read that failed or a module that went leaves nothing to verify.
    connect(&session, &TSession::ModuleStateChanged, this, [this](TModuleState state, int) {
        if (state == TModuleState::ReadFailed || state == TModuleState::None)
            Unverified.reset();
    });
    for (TParamTreeModel* model : {VTModel, VST2Model})
        connect(model, &TParamTreeModel::Edited, this, &TCanSettings::RefreshChanges);
}

TCanSettings::~TCanSettings() = default;

QString TCanSettings::Message(int number) const {
    return Shell.Message(number);
}

std::optional<TCatalogueMessage> TCanSettings::LoadCatalogue(const QString& path) {
    if (View)
        View->CommitEdits();
    VTModel->BeginChange();
    VST2Model->BeginChange();
    const TCatalogueLoad load = Cat.LoadCatalogue(path);
    VTModel->EndChange();
    VST2Model->EndChange();
    if (load.ResetView)
        ResetView();
    else if (View)
        View->SyncRows();
    return load.Message;
}

void TCanSettings::SelectCatalogueLanguage(const QString& uiLanguageName) {
    Cat.SelectCatalogueLanguage(uiLanguageName);
    LanguageChanged();
}

void TCanSettings::LanguageChanged() {
    const QString prefix = Message(FunctionPrefixMessage);
    VTModel->SetFunctionPrefix(prefix);
    VST2Model->SetFunctionPrefix(prefix);
    // Both trees: the car tree's titles in the user's language too.
    const QStringList titles{Message(FirstColumnMessage), Message(FirstColumnMessage + 1),
                             Message(FirstColumnMessage + 2)};
    VTModel->SetColumnTitles(titles);
    VST2Model->SetColumnTitles(titles);
    const auto count = [this](int n) {
        return n == 1 ? Message(OneChangeMessage)
                      : Message(ChangesMessage).replace(QStringLiteral("%1"), QString::number(n));
    };
    VTModel->SetCountText(count);
    VST2Model->SetCountText(count);
    // A PIN typed and not yet saved stays as typed.
    ShowFixedFns(false);
    SetSaveState(Verified);
}

void TCanSettings::ResetView() {
    if (View) {
        View->CommitEdits();
        View->ShowPin(false, QString());
    }
    emit PinShown(false);
    VTModel->BeginChange();
    VST2Model->BeginChange();
    ParamTreeRules::ResetView(Cat.VT);
    ParamTreeRules::ResetView(Cat.VST2);
    FixedFns.FlagShown = false;
    FixedFns.PinShown = false;
    VTModel->EndChange();
    VST2Model->EndChange();
    if (View)
        View->SyncRows();
    RefreshChanges();
}

void TCanSettings::ApplyMemoryMap() {
    if (View)
        View->CommitEdits();
    VTModel->BeginChange();
    VST2Model->BeginChange();
    MapApplier::ApplyMemoryMap(Cat, FnMemoryMap, FixedFns);
    VTModel->EndChange();
    VST2Model->EndChange();
    if (View)
        View->SyncRows();
    ShowFixedFns();
    if (CarSelection) {
        if (FixedFns.CarProgram)
            CarSelection->SelectCarProgram(*FixedFns.CarProgram);
        CarSelection->ShowCurrentCar(FixedFns.CarText(Message(CarNotSetMessage)));
        CarSelection->ModeAfterRead(FixedFns.CurrentCarKnown);
    }
    RefreshChanges();
}

void TCanSettings::ShowFixedFns(bool withPin) {
    emit PinShown(FixedFns.PinShown);
    if (!View)
        return;
    if (withPin)
        View->ShowPin(FixedFns.PinShown, FixedFns.PinShown ? FixedFns.PinText() : QString());
    for (int i = 0; i < 3; ++i)
        if (FixedFns.LastEvents[std::size_t(i)] != 0)
            View->ShowLastEvent(i, Message(FixedFns.LastEvents[std::size_t(i)]));
}

void TCanSettings::ApplyLiveStates(quint32 word) {
    VTModel->ApplyLiveStates(word);
    VST2Model->ApplyLiveStates(word);
}

void TCanSettings::CollectTreeValues() {
    MapApplier::CollectTreeValues(Cat, FnMemoryMap);
}

void TCanSettings::ShowCarTree(quint8 modeBit) {
    if (View)
        View->CommitEdits();
    VST2Model->BeginChange();
    CarTreeVisibility::Apply(Cat.VST2, FnMemoryMap, modeBit);
    VST2Model->EndChange();
    if (View)
        View->SyncRows();
}

bool TCanSettings::BeforeWrite() {
    return !WriteGuard || WriteGuard();
}

void TCanSettings::Save() {
    if (!ReviewBeforeSave())
        return;
    if (ILink* link = Session.Active())
        link->ClearTrace();
    SaveCanSettings(false);
}

bool TCanSettings::ReviewBeforeSave() {
    // A template recorded, a Save that would not run, or nothing to compare
    // with: as before, without a list.
    if (Session.Recording() || Session.LinkBusy() != 0 || Session.Closing() || !ChangesView ||
        !Baseline)
        return true;
    if (View)
        View->CommitEdits();
    RefreshChanges();
    if (ChangeCount() == 0 || ReadSetting("Settings", ReviewKey, "1") == "0")
        return true;
    bool dontAskAgain = false;
    const bool accepted = ChangesView->ConfirmChanges(DescribedChanges(), &dontAskAgain);
    if (accepted && dontAskAgain) {
        QString error;
        if (!WriteSetting("Settings", ReviewKey, "0", &error))
            Shell.ShowMessageBox(error, Box::Error, Box::Ok);
    }
    return accepted && !Session.Closing();
}

void TCanSettings::SaveCanSettings(bool defaultsMode) {
    ILink& module = Session.ModuleLink();
    Session.ResetFlags();
    const bool recording = Session.Recording();
    if ((Session.LinkBusy() != 0 && !recording) || Session.Closing())
        return;
    if (!recording && !defaultsMode && !BeforeWrite())
        return;
    Shell.SetWindowEnabled(false);
    if (!recording)
        Shell.ShowProgress(WritingMessage);
    if (View)
        View->CommitEdits();
    // Only the installer's own Save is verified by the read that follows.
    const bool verify = !recording && !defaultsMode;
    TWritten sent;
    if (CarSelection && CarSelection->AutoSelected()) {
        module.SetFN_NN(TFixedFns::CarProgramFn, 1);
        sent.Pair(TFixedFns::CarProgramFn, 1);
        Session.WaitWithEvents(AutoWaitMs);
    }
    bool written = true;
    if (verify) {
        if (View && View->PinEnabled()) {
            const QString pin = View->PinText();
            if (!TFixedFns::ValidPinText(pin)) {
                Shell.ShowMessageBox(Message(BadPinMessage) + QStringLiteral(" (") + pin +
                                         QLatin1Char(')'),
                                     Box::Error, Box::Ok);
            } else if (TemplatePin) {
                const auto& p = FixedFns.Pin;
                if (ILink* link = Session.Active()) {
                    link->SetPIN(p[0], p[1], p[2], p[3]);
                    sent.Pin = p;
                }
            } else {
                const std::array<quint8, 4> typed = TFixedFns::PinFromText(pin);
                if (typed != FixedFns.Pin &&
                    Shell.ShowMessageBox(Message(PinQuestionMessage) + QLatin1Char(' ') + pin,
                                         Box::Confirmation, Box::Yes | Box::No) == Box::ResultYes)
                    if (ILink* link = Session.Active()) {
                        link->SetPIN(typed[0], typed[1], typed[2], typed[3]);
                        sent.Pin = typed;
                    }
            }
        }
        CollectTreeValues();
        if (CarSelection) {
            const TCarPlan car = CarSelection->PlanCarSelection();
            if (car.SendsProgram && Session.Active())
                sent.Car = std::make_pair(car.Group, car.Subgroup);
            CarSelection->ApplyCarSelection(FnMemoryMap);
        }
        for (int slot = 0; slot < TFnMemoryMap::SlotCount; ++slot)
            if (TFnMemoryMap::Written(FnMemoryMap[slot].FN))
                sent.Pair(FnMemoryMap[slot].FN, FnMemoryMap[slot].NN);
        written = MapCycle->WriteMemoryMap();
    }
    module.SetFN_NN(SaveDoneFn, 1);
    sent.Pair(SaveDoneFn, 1);
    Shell.HideProgress();
    Shell.SetWindowEnabled(true);
    if (!recording && written) {
        if (verify) {
            Unverified = sent;
            SetSaveState({});
        }
        Session.StartConnectRead();
    }
}

void TCanSettings::TWritten::Pair(quint8 fn, quint8 nn) {
    if (!Values.Has(fn))
        Order.push_back(fn);
    // A pair written twice holds the later value (FN 0x11 ends every Save).
    Values.Set(fn, nn);
}

void TCanSettings::TakeReadBaseline() {
    Baseline = FnMemoryMap;
    BaselineValues = TFnValues::Of(FnMemoryMap);
    RefreshChanges();
}

void TCanSettings::ForgetReadBaseline() {
    Baseline.reset();
    BaselineValues = TFnValues();
    RefreshChanges();
}

void TCanSettings::ReadSucceeded() {
    TakeReadBaseline();
    if (const std::optional<TWritten> written = std::exchange(Unverified, std::nullopt))
        VerifySave(*written);
}

void TCanSettings::ShownModuleGone() {
    Unverified.reset();
    Verified.clear();
    if (View)
        View->CommitEdits();
    RefreshChanges();
    std::vector<TChange> dropped = DescribedChanges();
    std::erase_if(dropped, [](const TChange& change) { return change.Forced; });
    ForgetReadBaseline();
    SetSaveState({});
    if (dropped.empty())
        return;
    // Not from inside the device's news: the box waits for the event loop.
    QString text = Message(DroppedMessage);
    for (std::size_t i = 0; i < dropped.size() && i < std::size_t(DroppedShown); ++i) {
        const TChange& change = dropped[i];
        text += QLatin1Char('\n') + change.Name + QStringLiteral(": ") + change.Old +
                QStringLiteral(" \u2192 ") + change.New;
    }
    if (dropped.size() > std::size_t(DroppedShown))
        text += QStringLiteral("\n\u2026");
    QTimer::singleShot(0, this, [this, text] {
        if (!Session.Closing())
            Shell.ShowMessageBox(text, Box::Warning, Box::Ok);
    });
}

QString TCanSettings::PinOf(const TFnMemoryMap& map) const {
    const TFnValues values = TFnValues::Of(map);
    QString pin;
    for (quint8 fn = TFixedFns::FirstPinFn; fn <= TFixedFns::LastPinFn; ++fn) {
        if (!values.Has(fn))
            return {};
        pin += QString::number(values.At(fn));
    }
    return pin;
}

TChangeTexts TCanSettings::Texts() const {
    return {Message(FunctionPrefixMessage), Message(OnMessage), Message(OffMessage),
            Message(NotInModuleMessage)};
}

void TCanSettings::RefreshChanges() {
    std::vector<TChange> changes;
    if (Baseline) {
        TFnMemoryMap planned = SettingsChanges::Planned(Cat, FnMemoryMap);
        std::optional<TCarPlan> car;
        if (CarSelection) {
            car = CarSelection->PlanCarSelection();
            if (car->Fn57)
                planned.SetMapValue(TFixedFns::CarProgramFn, *car->Fn57);
            if (car->Reset)
                for (const quint8 fn : {0x82, 0x83, 0x84})
                    planned.SetMapValue(fn, 2);
        }
        changes = SettingsChanges::Find(Cat, planned, BaselineValues);
        const QString readPin = PinOf(*Baseline);
        if (View && View->PinEnabled() && !readPin.isEmpty() && View->PinText() != readPin)
            changes.push_back(NamedChange(TChangeKind::Pin, TFixedFns::FirstPinFn,
                                          Message(PinNameMessage), readPin, View->PinText()));
        if (car) {
            const quint8 group = BaselineValues.Has(TFixedFns::CarGroupFn)
                                     ? BaselineValues.At(TFixedFns::CarGroupFn)
                                     : TFixedFns::NotSet;
            const quint8 subgroup = BaselineValues.Has(TFixedFns::CarSubgroupFn)
                                        ? BaselineValues.At(TFixedFns::CarSubgroupFn)
                                        : TFixedFns::NotSet;
            const bool differs =
                car->SendsProgram
                    ? (car->Group != group || car->Subgroup != subgroup)
                    : car->Reset && (group != TFixedFns::NotSet || subgroup != TFixedFns::NotSet);
            if (differs) {
                const QString was = group == TFixedFns::NotSet
                                        ? Message(CarNotSetMessage)
                                        : QStringLiteral("%1/%2").arg(group).arg(subgroup);
                changes.push_back(
                    NamedChange(TChangeKind::Car, TFixedFns::CarGroupFn, Message(CarNameMessage),
                                was, car->Reset ? Message(CarAutoMessage) : car->Description));
            }
        }
    }
    Pending = std::move(changes);
    Repaint(SettingsChanges::Mark(Cat, Pending));
    SetSaveState(Verified);
}

std::vector<TChange> TCanSettings::DescribedChanges() const {
    std::vector<TChange> changes = Pending;
    if (!Baseline)
        return changes;
    TFnMemoryMap planned = SettingsChanges::Planned(Cat, FnMemoryMap);
    if (CarSelection) {
        const TCarPlan car = CarSelection->PlanCarSelection();
        if (car.Fn57)
            planned.SetMapValue(TFixedFns::CarProgramFn, *car.Fn57);
        if (car.Reset)
            for (const quint8 fn : {0x82, 0x83, 0x84})
                planned.SetMapValue(fn, 2);
    }
    SettingsChanges::Describe(Cat, BaselineValues, TFnValues::Of(planned), Texts(), changes);
    return changes;
}

int TCanSettings::ChangeCount() const {
    return int(std::count_if(Pending.begin(), Pending.end(),
                             [](const TChange& change) { return !change.Forced; }));
}

void TCanSettings::Repaint(const std::vector<TParamNode*>& nodes) {
    std::vector<TParamNode*> vt, vst2;
    for (TParamNode* node : nodes) {
        const TParamNode* top = node;
        while (top->Parent)
            top = top->Parent;
        (top == Cat.VT.Root() ? vt : vst2).push_back(node);
    }
    VTModel->RowsChanged(vt);
    VST2Model->RowsChanged(vst2);
}

void TCanSettings::SetSaveState(const QString& verified) {
    Verified = verified;
    const int count = ChangeCount();
    QString text = Verified;
    if (count == 1)
        text = Message(OneChangeMessage);
    else if (count > 1)
        text = Message(ChangesMessage).replace(QStringLiteral("%1"), QString::number(count));
    if (text == ShownState)
        return;
    ShownState = text;
    emit SaveStateChanged(text);
}

QString TCanSettings::SaveStateText() const {
    return ShownState;
}

void TCanSettings::VerifySave(const TWritten& written) {
    const TChangeTexts texts = Texts();
    std::vector<TMismatch> mismatches =
        SettingsChanges::Verify(Cat, written.Values, written.Order, FnMemoryMap, texts);
    const TFnValues held = TFnValues::Of(FnMemoryMap);
    if (written.Pin) {
        QString sentPin;
        for (const quint8 digit : *written.Pin)
            sentPin += QString::number(digit);
        const QString heldPin = PinOf(FnMemoryMap);
        if (heldPin != sentPin)
            mismatches.push_back({TChangeKind::Pin, TFixedFns::FirstPinFn, Message(PinNameMessage),
                                  sentPin, heldPin.isEmpty() ? texts.NotInModule : heldPin});
    }
    if (written.Car) {
        const auto [group, subgroup] = *written.Car;
        const bool known = held.Has(TFixedFns::CarGroupFn) && held.Has(TFixedFns::CarSubgroupFn);
        if (!known || held.At(TFixedFns::CarGroupFn) != group ||
            held.At(TFixedFns::CarSubgroupFn) != subgroup)
            mismatches.push_back({TChangeKind::Car, TFixedFns::CarGroupFn, Message(CarNameMessage),
                                  QStringLiteral("%1/%2").arg(group).arg(subgroup),
                                  known ? QStringLiteral("%1/%2")
                                              .arg(held.At(TFixedFns::CarGroupFn))
                                              .arg(held.At(TFixedFns::CarSubgroupFn))
                                        : texts.NotInModule});
    }
    if (mismatches.empty()) {
        SetSaveState(Message(VerifiedMessage)
                         .replace(QStringLiteral("%1"), QString::number(written.Count())));
        return;
    }
    // The rows the module refused show the values written again, marked, so
    // the next Save tries them once more; the baseline stays what it holds.
    bool patched = false;
    for (const TMismatch& mismatch : mismatches)
        if (mismatch.Kind == TChangeKind::Other && held.Has(mismatch.Fn)) {
            FnMemoryMap.SetMapValue(mismatch.Fn, written.Values.At(mismatch.Fn));
            patched = true;
        }
    if (patched)
        ApplyMemoryMap();
    if (ChangesView)
        ChangesView->ShowMismatches(mismatches);
    else
        Shell.ShowMessageBox(Message(MismatchTitleMessage), Box::Warning, Box::Ok);
}

bool TCanSettings::MayDropChanges(int questionMessage) {
    if (View)
        View->CommitEdits();
    RefreshChanges();
    if (ChangeCount() == 0)
        return true;
    const QString question =
        Message(questionMessage).replace(QStringLiteral("%1"), QString::number(ChangeCount()));
    return Shell.ShowMessageBox(question, Box::Confirmation, Box::Yes | Box::No) == Box::ResultYes;
}

void TCanSettings::RevertRow(TParamTreeModel* model, TParamNode* node) {
    if (!model || !node || !Baseline)
        return;
    if (View)
        View->CommitEdits();
    SettingsChanges::Revert(model->Tree(), *node, BaselineValues, FnMemoryMap);
    model->Repaint();
    RefreshChanges();
}

void TCanSettings::RevertChanges() {
    if (!Baseline)
        return;
    // The map as read, shown again: rows, PIN and car choice.
    FnMemoryMap = *Baseline;
    ApplyMemoryMap();
}
