#pragma once
// A virtual module whose input reports the test writes by hand, byte by byte,
// and whose received output reports the test reads back.

#include "link/hid/VirtualHidDevice.h"

#include <QList>

class TScriptedDevice : public TVirtualHidDevice {
    Q_OBJECT
public:
    explicit TScriptedDevice(QString product = QStringLiteral("RV5K CAN v6.12"),
                             QString serial = QStringLiteral(" SN123 "), quint16 vendor = 0x4B52,
                             quint16 productId = 0x4737)
        : Product(std::move(product)), Serial(std::move(serial)), Vendor(vendor),
          ProductIdValue(productId) {}

    quint16 VendorId() const override { return Vendor; }
    quint16 ProductId() const override { return ProductIdValue; }
    QString ProductString() const override { return Product; }
    QString SerialNumberString() const override { return Serial; }
    void OutputReport(const QByteArray& report) override {
        Received.append(report);
        emit Wrote(report);
        // Like the real module, which keeps reporting its status.
        if (AutoStatus)
            Status(Toggle);
    }
    void HostListening(bool listening) override { Listening = listening; }

    // A 64-byte input report starting with the given bytes.
    void Send(const QByteArray& head) {
        if (head.size() > 2 && quint8(head[0]) == 0x20)
            Toggle = quint8(head[2]) & 0x03;
        QByteArray data = head.left(64);
        data.resize(64, '\0');
        emit InputReport(data);
    }
    void SendExact(const QByteArray& data) { emit InputReport(data); }
    void Status(quint8 statusByte, const QByteArray& rest = {}) {
        Send(QByteArray("\x20\x00", 2) + char(statusByte) + rest);
    }
    void MemoryReply(quint8 code, const QByteArray& data8, quint8 indexByte) {
        QByteArray data = data8.left(8);
        data.resize(8, '\0');
        Send(QByteArray("\x10\x64", 2) + char(code) + data + char(indexByte));
    }

    QList<QByteArray> Received;
    bool Listening = false;
    bool AutoStatus = true; // a not-busy status report after every output report
    quint8 Toggle = 0;

signals:
    void Wrote(const QByteArray& report);

private:
    QString Product;
    QString Serial;
    quint16 Vendor;
    quint16 ProductIdValue;
};
