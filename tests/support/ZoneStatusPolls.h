#pragma once
// The status timer asks for the zone status on its own whenever the window is
// idle (once a second). Tests that look at what else the tool sent leave
// these polls out with the helpers here.

#include "base/BaseFrames.h"
#include "link/ModuleRequests.h"
#include "sim/SimRv5kModule.h"

#include <QByteArray>
#include <QList>

// An output report (report ID first) that asks the module for its zone status.
inline bool IsZoneStatusPoll(const QByteArray& report) {
    const tduomenys poll = ModuleRequests::GetZoneStatus();
    return report.size() > 2 && quint8(report[1]) == poll[0] && quint8(report[2]) == poll[1];
}

// The reports the module received, without the zone status polls.
inline QList<QByteArray> RequestsWithoutZonePolls(const TSimRv5kModule& module) {
    QList<QByteArray> requests;
    for (const QByteArray& report : module.ReceivedReports())
        if (!IsZoneStatusPoll(report))
            requests << report;
    return requests;
}

// The relay through the base that asks its module for the zone status.
inline QByteArray ZoneStatusRelay() {
    return QByteArray(1, char(BaseFrames::ReqZoneStatus));
}
