#pragma once
// A kernel HID device made through /dev/uhid, for end-to-end tests of the
// hidraw backend: the kernel gives it a real hidraw node.

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

class TUhidDevice : public QObject {
    Q_OBJECT
public:
    // /dev/uhid exists and this process may write to it.
    static bool Available();
    // A vendor-defined descriptor: one unnumbered 64-byte input report and
    // one 64-byte output report.
    static QByteArray Descriptor64();

    explicit TUhidDevice(QObject* parent = nullptr);
    ~TUhidDevice() override;

    bool Create(const QByteArray& name, const QByteArray& serial, quint16 vendorId,
                quint16 productId, const QByteArray& descriptor);
    bool SendInput(const QByteArray& data);
    void Destroy();

signals:
    // An output report the host wrote, as the kernel handed it over.
    void Output(const QByteArray& data);

private:
    void OnReadable();

    int Fd = -1;
    bool Created = false;
    QSocketNotifier* Notifier = nullptr;
};
