#include "UpdatesFeature.h"

#include "AppVersion.h"
#include "CanSettingsFeature.h"
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarSelection.h"
#include "cansettings/view/CarPage.h"
#include "link/TRV5K.h"
#include "session/Session.h"
#include "update/UpdateCheck.h"
#include "update/view/TFormHyper.h"

#include <QCheckBox>
#include <QSignalBlocker>

TUpdatesFeature::TUpdatesFeature(TSession& session, TCanSettingsFeature& can, QObject* parent)
    : QObject(parent), Session(session), Can(can),
      Updates(new TUpdateCheck(*this, UpdateList::VersionNumber(VersionText), this)) {
    connect(can.CarPage()->AutoUpdateBox(), &QCheckBox::clicked, this,
            &TUpdatesFeature::BoxClicked);
    // After a successful read the update list is looked at once, on the next
    // pass of the event loop.
    connect(&session, &TSession::ReadSucceeded, this, [this] {
        if (Updates->TakeUpdateListPending())
            Can.Cars()->RequestUpdateListCheck();
    });
    connect(can.Cars(), &TCarSelection::UpdateListCheckDue, Updates,
            &TUpdateCheck::LookAtUpdateList);
    connect(Updates, &TUpdateCheck::DownloadOffersFound, this,
            [this](const UpdateList::TOffers& offers) {
                if (Downloads)
                    Downloads->ShowOffers(offers);
            });
}

void TUpdatesFeature::AttachDownloadWindow(TFormHyper* window) {
    Downloads = window;
}

void TUpdatesFeature::Start() {
    QCheckBox* box = Can.CarPage()->AutoUpdateBox();
    {
        const QSignalBlocker quiet(box);
        box->setChecked(TUpdateCheck::AutoUpdateSetting());
    }
    Updates->StartUpCheck();
}

void TUpdatesFeature::LanguageChanged() {
    if (Downloads)
        Downloads->LanguageChanged();
}

void TUpdatesFeature::BoxClicked(bool ticked) {
    QString error;
    if (!Updates->AutoUpdateClicked(ticked, &error))
        Session.Shell().ShowMessageBox(error, Box::Error, Box::Ok);
}

bool TUpdatesFeature::AutoUpdateTicked() const {
    return Can.CarPage()->AutoUpdateBox()->isChecked();
}

bool TUpdatesFeature::LoadCarDatabase(const QString& path) {
    return TCarDatabaseFile::LoadCarDatabase(path, Can.Cars()->CarDatabase());
}

void TUpdatesFeature::CarDatabaseReloaded() {
    Can.Cars()->CarDatabaseReloaded();
}

std::optional<qint64> TUpdatesFeature::UsbFirmwareVersion() const {
    const TRV5K* link = Session.UsbLink();
    if (!link || !link->Connected())
        return std::nullopt;
    return link->FirmwareVersion();
}
