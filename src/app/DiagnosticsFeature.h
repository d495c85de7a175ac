#pragma once
// Builds the diagnostics feature for the main window and connects it: the
// "Status" group and the modem traffic log on the "Log" page, the module
// link's state blocks and USART lines, and the status timer's share (the
// lamps and the zone status poll for the live flag states of the tree).

#include <QObject>

class TCanSettings;
class TDiagnostics;
class TModemLogPanel;
class TSession;
class TStatusGroup;
struct TMainWindowUi;

class TDiagnosticsFeature : public QObject {
    Q_OBJECT
public:
    TDiagnosticsFeature(TSession& session, const TCanSettings& settings, TMainWindowUi& ui,
                        bool serviceMode, QObject* parent = nullptr);

    // One tick of the main window's 200 ms status timer.
    void StatusTick();

    TDiagnostics* Core() const { return Diagnostics; }
    TStatusGroup* StatusGroup() const { return Status; }
    TModemLogPanel* LogPanel() const { return Log; }

private:
    TDiagnostics* Diagnostics;
    TStatusGroup* Status;
    TModemLogPanel* Log = nullptr;
};
