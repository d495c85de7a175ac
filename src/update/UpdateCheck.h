#pragma once
// The car list auto-update on the main thread: starts the background fetch
// (at start-up and when "Update car list automatically" is ticked), handles
// its end (the car list replaced when the box is ticked and the fetched list
// loads, the update list marked pending), and looks at the update list once
// per run, after a successful settings read, for a newer loader or firmware.

#include "FetchTypes.h"
#include "UpdateList.h"

#include <QObject>

class IUpdateHost;
class QTimer;
class TUpdateThread;

class TUpdateCheck : public QObject {
    Q_OBJECT
public:
    static constexpr int StartUpDelayMs = 1;
    // Updates.txt is read on the main thread: no larger file is looked at.
    static constexpr qint64 UpdateListReadLimit = 1024 * 1024;

    // toolVersion: the number of this tool's version text (" v1.21" gives 121).
    TUpdateCheck(IUpdateHost& host, qint64 toolVersion, QObject* parent = nullptr);
    ~TUpdateCheck() override;

    // The setting AutoUpdate: the box starts ticked when it is "1".
    static bool AutoUpdateSetting();

    // The update check timer: a fetch 1 ms from now, whatever AutoUpdate says.
    void StartUpCheck();
    // Starts a fetch from the configured server. False when one runs already
    // (its end sees the box as it is then) or when no server is configured.
    bool StartFetch();
    bool Fetching() const;

    // The user clicked "Update car list automatically" (ticked: its new
    // state). Writes AutoUpdate and, when ticked, starts a fetch. False with
    // the error text when the setting could not be written: the caller shows
    // it in the general error box, and no fetch starts.
    bool AutoUpdateClicked(bool ticked, QString* error = nullptr);

    // A settings read ended successfully: true, once, when the update list
    // waits to be looked at (the caller has LookAtUpdateList run on the next
    // pass of the event loop).
    bool TakeUpdateListPending();
    bool UpdateListPending() const { return ListPending; }
    bool UpdateListDone() const { return ListDone; }
    // Looks at Updates.txt in the data folder once per run; emits
    // DownloadOffersFound when it offers something that can be opened.
    void LookAtUpdateList();

    // For tests and the benchmark.
    void SetLimits(const TFetchLimits& limits) { Limits = limits; }
    void SetReachMethod(TReachMethod method) { Reach = method; }

signals:
    // A fetch ended and its end has been handled.
    void FetchEnded(const TFetchResult& result);
    // For the download window.
    void DownloadOffersFound(const UpdateList::TOffers& offers);

private:
    void FetchFinished(const TFetchResult& result);
    void ReloadCarList(const QString& folder);

    IUpdateHost& Host;
    qint64 ToolVersion;
    TUpdateThread* Fetch;
    QTimer* CheckTimer;
    TFetchLimits Limits;
    TReachMethod Reach = TReachMethod::Auto;
    bool ListPending = false;
    bool ListDone = false;
};
