#pragma once
// Byte layouts of the input reports the simulated module sends: status
// reports with their state and response blocks, CAN memory replies, zone
// status replies and line noise.

#include "SimProfile.h"

#include <QByteArray>
#include <random>

// What one status report with the monitoring bit carries.
struct TSimStateBlock {
    TSimModemState Modem;
    quint8 UsartToggle = 0;
    bool UsartFromModem = false;
    QByteArray UsartText; // at most 52 bytes fit
};

class TSimReportBuilder {
public:
    // The 64 data bytes of a status report. A response block is written over
    // the state block: both start at data byte 3, as on the real module.
    static QByteArray StatusReport(quint8 statusByte, const TSimStateBlock* state,
                                   const TSimResponseBlock* response);
    // A CAN memory reply with up to 8 data bytes and the page index byte.
    static QByteArray CanMemoryReply(quint8 code, const QByteArray& data, quint8 index = 0);
    static QByteArray CanMemoryError(quint8 code);
    static QByteArray ZoneStatusReply(quint32 value);
    // 0 to 64 random bytes that are none of the report kinds above.
    static QByteArray Garbage(std::mt19937& random);
};
