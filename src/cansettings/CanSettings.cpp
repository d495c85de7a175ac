#include "CanSettings.h"

#include "CanSettingsView.h"
#include "CarTreeVisibility.h"
#include "MapCycle.h"
#include "ParamTreeModel.h"
#include "ParamTreeRules.h"
#include "link/Link.h"
#include "session/Session.h"

namespace {
constexpr quint8 CarProgramFn = 0x57;
constexpr quint8 SaveDoneFn = 0x11;
constexpr int AutoWaitMs = 20;

bool ValidPin(const QString& pin) {
    if (pin.size() != 4)
        return false;
    for (const QChar c : pin)
        if (c < QLatin1Char('1') || c > QLatin1Char('9'))
            return false;
    return true;
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
    connect(&session, &TSession::ReadSucceeded, this, &TCanSettings::TakeReadBaseline);
    connect(&session, &TSession::ShownModuleGone, this, &TCanSettings::ForgetReadBaseline);
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
    ShowFixedFns();
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
}

void TCanSettings::ShowFixedFns() {
    emit PinShown(FixedFns.PinShown);
    if (!View)
        return;
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
    if (ILink* link = Session.Active())
        link->ClearTrace();
    SaveCanSettings(false);
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
    if (CarSelection && CarSelection->AutoSelected()) {
        module.SetFN_NN(CarProgramFn, 1);
        Session.WaitWithEvents(AutoWaitMs);
    }
    bool written = true;
    if (!recording && !defaultsMode) {
        if (View && View->PinEnabled()) {
            const QString pin = View->PinText();
            if (!ValidPin(pin)) {
                Shell.ShowMessageBox(Message(BadPinMessage) + QStringLiteral(" (") + pin +
                                         QLatin1Char(')'),
                                     Box::Error, Box::Ok);
            } else if (TemplatePin) {
                const auto& p = FixedFns.Pin;
                if (ILink* link = Session.Active())
                    link->SetPIN(p[0], p[1], p[2], p[3]);
            } else {
                std::array<quint8, 4> typed{};
                bool differs = false;
                for (std::size_t i = 0; i < 4; ++i) {
                    typed[i] = quint8(pin[qsizetype(i)].unicode() - '0');
                    differs = differs || typed[i] != FixedFns.Pin[i];
                }
                if (differs &&
                    Shell.ShowMessageBox(Message(PinQuestionMessage) + QLatin1Char(' ') + pin,
                                         Box::Confirmation, Box::Yes | Box::No) == Box::ResultYes)
                    if (ILink* link = Session.Active())
                        link->SetPIN(typed[0], typed[1], typed[2], typed[3]);
            }
        }
        CollectTreeValues();
        if (CarSelection)
            CarSelection->ApplyCarSelection(FnMemoryMap);
        written = MapCycle->WriteMemoryMap();
    }
    module.SetFN_NN(SaveDoneFn, 1);
    Shell.HideProgress();
    Shell.SetWindowEnabled(true);
    if (!recording && written)
        Session.StartConnectRead();
}
