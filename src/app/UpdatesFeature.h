#pragma once
// Builds the car list auto-update for the main window and connects it: the
// fetch at start-up and when "Update car list automatically" is ticked, the
// car list replaced on the main thread, the update list looked at after the
// next successful read, and the download window for the offers it makes.

#include "update/UpdateHost.h"

#include <QObject>
#include <QPointer>

class TCanSettingsFeature;
class TFormHyper;
class TSession;
class TUpdateCheck;

class TUpdatesFeature : public QObject, private IUpdateHost {
    Q_OBJECT
public:
    TUpdatesFeature(TSession& session, TCanSettingsFeature& can, QObject* parent = nullptr);

    // The download window, once it exists (it is created after the main window).
    void AttachDownloadWindow(TFormHyper* window);
    // Creation step: the box from AutoUpdate (without its click action) and
    // the update check timer.
    void Start();
    void LanguageChanged();

    TUpdateCheck* Check() const { return Updates; }

private:
    bool AutoUpdateTicked() const override;
    bool LoadCarDatabase(const QString& path) override;
    void CarDatabaseReloaded() override;
    std::optional<qint64> UsbFirmwareVersion() const override;
    void BoxClicked(bool ticked);

    TSession& Session;
    TCanSettingsFeature& Can;
    TUpdateCheck* Updates;
    QPointer<TFormHyper> Downloads;
};
