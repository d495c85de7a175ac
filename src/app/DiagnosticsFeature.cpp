#include "DiagnosticsFeature.h"

#include "MainWindowUi.h"
#include "cansettings/CanSettings.h"
#include "diagnostics/Diagnostics.h"
#include "diagnostics/view/ModemLogPanel.h"
#include "diagnostics/view/StatusGroup.h"
#include "session/Session.h"

#include <QPushButton>
#include <QVBoxLayout>

TDiagnosticsFeature::TDiagnosticsFeature(TSession& session, const TCanSettings& settings,
                                         TMainWindowUi& ui, bool serviceMode, QObject* parent)
    : QObject(parent), Diagnostics(new TDiagnostics(
                           session, [&settings] { return settings.FlagShown(); }, this)),
      Status(new TStatusGroup(ui.TabLog)) {
    // The page's "Read settings" joins the log's row of buttons.
    ui.LogLayout->removeWidget(ui.ReadSettingsButton);
    Log = new TModemLogPanel(session.Shell(), ui.ReadSettingsButton, ui.TabLog);
    ui.LogLayout->addWidget(Status);
    ui.LogLayout->addWidget(Log, 1);
    Diagnostics->SetViews(Status, Log);
    Diagnostics->SetServiceMode(serviceMode);
    TModemLog& log = Diagnostics->ModemLog();
    connect(Log, &TModemLogPanel::LockToggled, this, [&log](bool on) { log.SetLocked(on); });
    connect(Log, &TModemLogPanel::RegistersToggled, this,
            [&log](bool on) { log.SetPutRegisters(on); });
}

void TDiagnosticsFeature::StatusTick() {
    Diagnostics->StatusTick();
}
