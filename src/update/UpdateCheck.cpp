#include "UpdateCheck.h"

#include "DownloadLink.h"
#include "UpdateFiles.h"
#include "UpdateHost.h"
#include "UpdateServer.h"
#include "UpdateThread.h"
#include "files/AppFolders.h"
#include "files/SettingsFile.h"

#include <QFile>
#include <QTimer>

namespace {
const QByteArray Section = QByteArrayLiteral("Settings");
const QByteArray AutoUpdateKey = QByteArrayLiteral("AutoUpdate");

bool Openable(const UpdateList::TOffer& offer) {
    return offer.Made && DownloadUrl(offer.Link).has_value();
}
} // namespace

TUpdateCheck::TUpdateCheck(IUpdateHost& host, qint64 toolVersion, QObject* parent)
    : QObject(parent), Host(host), ToolVersion(toolVersion), Fetch(new TUpdateThread(this)),
      CheckTimer(new QTimer(this)) {
    qRegisterMetaType<UpdateList::TOffers>();
    CheckTimer->setObjectName(QStringLiteral("UpdateCheckTimer"));
    CheckTimer->setSingleShot(true);
    CheckTimer->setInterval(StartUpDelayMs);
    connect(CheckTimer, &QTimer::timeout, this, &TUpdateCheck::StartFetch);
    connect(Fetch, &TUpdateThread::Finished, this, &TUpdateCheck::FetchFinished);
}

TUpdateCheck::~TUpdateCheck() = default;

bool TUpdateCheck::AutoUpdateSetting() {
    return ReadSetting(Section, AutoUpdateKey, "0") == "1";
}

void TUpdateCheck::StartUpCheck() {
    CheckTimer->start();
}

bool TUpdateCheck::StartFetch() {
    if (Fetch->Running())
        return false;
    const std::optional<QUrl> base = UpdateServer::BaseUrl(UpdateServer::Configured());
    if (!base)
        return false;
    return Fetch->Start(TFetchJob{*base, AppDataFolder(), Limits, Reach});
}

bool TUpdateCheck::Fetching() const {
    return Fetch->Running();
}

bool TUpdateCheck::AutoUpdateClicked(bool ticked, QString* error) {
    if (!WriteSetting(Section, AutoUpdateKey, ticked ? "1" : "0", error))
        return false;
    if (ticked)
        StartFetch();
    return true;
}

void TUpdateCheck::FetchFinished(const TFetchResult& result) {
    if (result.Stored) {
        if (!ListDone)
            ListPending = true;
        if (Host.AutoUpdateTicked())
            ReloadCarList(result.DataFolder);
    }
    emit FetchEnded(result);
}

void TUpdateCheck::ReloadCarList(const QString& folder) {
    const QString downloaded = folder + UpdateFiles::DownloadName;
    const QString current = folder + UpdateFiles::CarListName;
    // The bytes that are loaded are the bytes that are kept.
    // Stored with CR LF line ends, the file may be up to twice the answer.
    const std::optional<QByteArray> fetched =
        UpdateFiles::ReadSmallFile(downloaded, 2 * Limits.CarListMaxBytes + 2);
    if (fetched && Host.LoadCarDatabase(downloaded))
        UpdateFiles::Store(current, *fetched);
    else
        Host.LoadCarDatabase(current);
    Host.CarDatabaseReloaded();
}

bool TUpdateCheck::TakeUpdateListPending() {
    return std::exchange(ListPending, false);
}

void TUpdateCheck::LookAtUpdateList() {
    ListDone = true;
    const std::optional<QByteArray> text = UpdateFiles::ReadSmallFile(
        AppDataFolder() + UpdateFiles::UpdateListName, UpdateListReadLimit);
    if (!text)
        return;
    const UpdateList::TOffers offers =
        UpdateList::Parse(*text, ToolVersion, Host.UsbFirmwareVersion());
    // A window whose offers could not be opened would show nothing but "Cancel".
    if (Openable(offers.Loader) || Openable(offers.Firmware))
        emit DownloadOffersFound(offers);
}
