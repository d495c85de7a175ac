#pragma once
// Drives a simulated module at the report level for the tests: builds the
// host's output reports and collects the module's input reports.

#include "sim/SimRv5kModule.h"

#include <QSignalSpy>
#include <QTest>

namespace SimTest {

using Pairs = std::vector<std::pair<quint8, quint8>>;

inline constexpr int kQuiet = 60000; // a status interval that never fires during a test

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

inline QByteArray Framed(const QByteArray& command) {
    QByteArray report = Bytes({0x00, 0x20, 0x00}) + command;
    report.resize(65, '\0');
    return report;
}

inline QByteArray CanMemory(const QByteArray& args, int length = 63) {
    QByteArray report = Bytes({0x00, 0x10, length}) + args.left(10);
    report.resize(65, '\0');
    return report;
}

inline QByteArray ZoneStatusRequest() {
    QByteArray report = Bytes({0x00, 0x40, 0x25});
    report.resize(65, '\0');
    return report;
}

inline QByteArray Password(const QByteArray& text) {
    return Bytes({0x42}) + text.leftJustified(16, ' ', true);
}

inline quint8 At(const QByteArray& report, int pos) {
    return quint8(report.at(pos));
}

inline bool IsStatus(const QByteArray& r) {
    return r.size() == 64 && At(r, 0) == 0x20 && At(r, 1) == 0;
}

// A small module: PIN, car data, duplicated and skipped FNs, empty slots.
inline TSimProfile TestProfile() {
    TSimProfile p;
    p.ProductString = QStringLiteral("RV5K CAN v6.12");
    p.SerialNumber = QStringLiteral("RV5K00000001");
    p.Map = {{0x01, 1},  {0x02, 2},  {0x03, 3},  {0x04, 4},  {0x05, 0},  {0x06, 12}, {0x07, 3},
             {0x11, 0},  {0x30, 6},  {0x31, 2},  {0xFF, 0},  {0x30, 7},  {0x57, 1},  {0x71, 3},
             {0x72, 5},  {0x73, 1},  {0x40, 1},  {0x41, 2},  {0x42, 30}, {0x43, 4},  {0x44, 1},
             {0x45, 2},  {0x46, 3},  {0x47, 4},  {0x48, 5},  {0x49, 6},  {0x4A, 7},  {0x4B, 8},
             {0x4C, 9},  {0x4D, 10}, {0x4E, 11}, {0x4F, 12}, {0x50, 13}, {0x51, 14}, {0x52, 15},
             {0x53, 16}, {0, 0},     {0, 0}};
    p.Defaults = p.Map;
    for (auto& [fn, nn] : p.Defaults)
        if (fn >= 0x10 && fn != 0xFF)
            nn = 1;
    p.WriteProgram = QByteArray::fromHex("000102030405060708090a0b"); // 12 bytes: 2 full pages
    p.Programs = {{12, 3}, {12, 4}, {14, 1}, {20, 2}, {21, 7}};
    p.ZoneStatus = 0x12345678;
    p.StatusIntervalMs = kQuiet;
    return p;
}

struct Fixture {
    explicit Fixture(const TSimProfile& profile = TestProfile(), bool listen = true)
        : Module(profile), Reports(&Module, &TVirtualHidDevice::InputReport),
          Unplugs(&Module, &TVirtualHidDevice::UnplugRequested) {
        if (listen)
            Module.HostListening(true);
    }
    QByteArray Report(qsizetype i) const { return Reports.at(i).at(0).toByteArray(); }
    QByteArray Last() const { return Report(Reports.size() - 1); }
    QList<QByteArray> All() const {
        QList<QByteArray> all;
        for (qsizetype i = 0; i < Reports.size(); ++i)
            all.append(Report(i));
        return all;
    }
    // Sends one request and returns the input reports it caused at once.
    QList<QByteArray> Ask(const QByteArray& request) {
        const qsizetype before = Reports.size();
        Module.OutputReport(request);
        return All().mid(before);
    }

    TSimRv5kModule Module;
    QSignalSpy Reports;
    QSignalSpy Unplugs;
};

} // namespace SimTest

Q_DECLARE_METATYPE(SimTest::Pairs)
