// The hidapi backend: its start-up notice, harmless calls on unknown devices,
// the string rules, the node watch, the support trace, and, where the kernel
// offers /dev/uhid, a real device from plug-in to unplug.

#include "UhidDevice.h"
#include "link/hid/HidStringRules.h"
#include "link/hid/HidTrace.h"
#include "link/hid/HidapiLayer.h"
#include "link/hid/UdevWatch.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <hidapi.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr quint16 VendorId = 0x4B52;
constexpr quint16 ModuleProductId = 0x4737;
constexpr int ReportBytes = 64;
constexpr int OutputReportBytes = 65; // report id first
constexpr int DeviceTimeoutMs = 5000;

// Position of the first listed device with these ids, or -1.
int FindPosition(THidLayer& layer, quint16 vendorId, quint16 productId) {
    int found = -1;
    layer.EnumerateDevices([&](quint16 vid, quint16 pid, int position) {
        if (vid == vendorId && pid == productId && found < 0)
            found = position;
        return true;
    });
    return found;
}

QByteArray NodePathOf(quint16 vendorId, quint16 productId) {
    QByteArray path;
    hid_device_info* all = hid_enumerate(vendorId, productId);
    if (all && all->path)
        path = all->path;
    hid_free_enumeration(all);
    return path;
}

QByteArray NumberedReport(int number) {
    QByteArray report(ReportBytes, '\0');
    report[0] = static_cast<char>(number);
    report[ReportBytes - 1] = static_cast<char>(0xA0 + number);
    return report;
}

// Runs the rest of a scope with the real user id of nobody (the saved id
// stays root, so it can be taken back), as a user without rights to a node.
class TAsNobody {
public:
    TAsNobody() { Active = ::setresuid(NobodyId, NobodyId, 0) == 0; }
    ~TAsNobody() {
        if (Active)
            (void)::setresuid(0, 0, 0);
    }
    bool Active = false;

private:
    static constexpr uid_t NobodyId = 65534;
};
} // namespace

class TstHidapiLayer : public QObject {
    Q_OBJECT
private slots:
    void creationRaisesOneDevicesChanged();
    void enumerationPositionsAreConsecutive();
    void unknownDevicesAreHarmless();
    void installationsPendingFollowsUdevQueue();
    void stringsFromWide_data();
    void stringsFromWide();
    void serialThatIsTheLanguageList_data();
    void serialThatIsTheLanguageList();
    void nodeWatchWithoutUdev();
    void traceLine_data();
    void traceLine();
    void uhidDeviceEndToEnd();
    void uhidStaleReportsAreDropped();
    void uhidPermissionDeniedOncePerPath();
};

void TstHidapiLayer::creationRaisesOneDevicesChanged() {
    THidapiLayer layer;
    QSignalSpy changed(&layer, &THidLayer::DevicesChanged);
    QCOMPARE(changed.count(), 0); // not before the event loop runs
    QTest::qWait(200);
    QCOMPARE(changed.count(), 1);
}

void TstHidapiLayer::enumerationPositionsAreConsecutive() {
    THidapiLayer layer;
    QList<int> positions;
    layer.EnumerateDevices([&](quint16, quint16, int position) {
        positions.append(position);
        return true;
    });
    for (int i = 0; i < positions.size(); ++i)
        QCOMPARE(positions[i], i);

    int calls = 0;
    layer.EnumerateDevices([&](quint16, quint16, int) {
        ++calls;
        return false;
    });
    QCOMPARE(calls, positions.isEmpty() ? 0 : 1);

    layer.EnumerateDevices({}); // no callback
    QCOMPARE(layer.AcquireDevice(-1), HidDeviceId(0));
    QCOMPARE(layer.AcquireDevice(int(positions.size())), HidDeviceId(0));
    QCOMPARE(layer.AcquireDevice(1 << 30), HidDeviceId(0));
}

void TstHidapiLayer::unknownDevicesAreHarmless() {
    THidapiLayer layer;
    int handled = 0;
    for (const HidDeviceId device : {HidDeviceId(0), HidDeviceId(42)}) {
        layer.ReleaseDevice(device);
        layer.ReleaseDevice(device);
        const THidDeviceStrings strings = layer.ReadDeviceStrings(device);
        QVERIFY(strings.Product.isEmpty());
        QVERIFY(strings.SerialNumber.isEmpty());
        QCOMPARE(layer.VendorIdOf(device), quint16(0));
        QCOMPARE(layer.ProductIdOf(device), quint16(0));
        layer.WriteOutputReport(device, QByteArray(OutputReportBytes, '\0'));
        layer.SetInputHandler(device, [&](quint8, const QByteArray&) { ++handled; });
        layer.SetInputHandler(device, nullptr);
    }
    QTest::qWait(50);
    QCOMPARE(handled, 0);
}

void TstHidapiLayer::installationsPendingFollowsUdevQueue() {
    THidapiLayer layer;
    // udev keeps this file while it has events in hand.
    QCOMPARE(layer.InstallationsPending(), QFileInfo::exists(QStringLiteral("/run/udev/queue")));
}

void TstHidapiLayer::stringsFromWide_data() {
    QTest::addColumn<std::wstring>("wide");
    QTest::addColumn<QString>("expected");
    const std::wstring long300(300, L'x');
    const std::wstring exact(253, L'y');
    // A character outside the BMP that would straddle the cut is dropped whole.
    const std::wstring straddling = std::wstring(252, L'a') + L'\U0001F600' + L"zz";
    QTest::newRow("empty") << std::wstring() << QString();
    QTest::newRow("plain") << std::wstring(L"RV5K v6.05") << QStringLiteral("RV5K v6.05");
    QTest::newRow("non-latin") << std::wstring(L"\u0160\u017d") << QStringLiteral("\u0160\u017d");
    QTest::newRow("253 kept") << exact << QString(253, QLatin1Char('y'));
    QTest::newRow("300 cut") << long300 << QString(253, QLatin1Char('x'));
    QTest::newRow("surrogate at cut") << straddling << QString(252, QLatin1Char('a'));
}

void TstHidapiLayer::stringsFromWide() {
    QFETCH(std::wstring, wide);
    QFETCH(QString, expected);
    QCOMPARE(THidStringRules::FromWide(wide.c_str()), expected);
    QCOMPARE(THidStringRules::FromWide(nullptr), QString());
}

void TstHidapiLayer::serialThatIsTheLanguageList_data() {
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QList<quint16>>("languages");
    QTest::addColumn<QString>("expected");
    const QList<quint16> english{0x0409};
    QTest::newRow("US English only") << QStringLiteral("\u0409") << english << QString();
    QTest::newRow("two languages")
        << QStringLiteral("\u0409\u0427") << QList<quint16>{0x0409, 0x0427} << QString();
    QTest::newRow("real serial") << QStringLiteral("A1B2C3") << english << QStringLiteral("A1B2C3");
    QTest::newRow("longer than list")
        << QStringLiteral("\u0409X") << english << QStringLiteral("\u0409X");
    QTest::newRow("other language")
        << QStringLiteral("\u0407") << english << QStringLiteral("\u0407");
    QTest::newRow("no list known")
        << QStringLiteral("\u0409") << QList<quint16>() << QStringLiteral("\u0409");
    QTest::newRow("empty") << QString() << english << QString();
}

void TstHidapiLayer::serialThatIsTheLanguageList() {
    QFETCH(QString, serial);
    QFETCH(QList<quint16>, languages);
    QFETCH(QString, expected);
    QCOMPARE(THidStringRules::SerialNumber(serial, languages), expected);
}

void TstHidapiLayer::nodeWatchWithoutUdev() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TUdevWatch watch(false, dir.path());
    QVERIFY(!watch.FollowsNetlink());
    QSignalSpy changed(&watch, &TUdevWatch::HidrawChanged);

    QFile node(dir.filePath(QStringLiteral("hidraw3")));
    QVERIFY(node.open(QIODevice::WriteOnly));
    node.close();
    QVERIFY(changed.wait(2000));
    QCOMPARE(changed.count(), 1);

    QFile other(dir.filePath(QStringLiteral("ttyS9")));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    QTest::qWait(300);
    QCOMPARE(changed.count(), 1); // other nodes do not count

    QVERIFY(node.remove());
    QVERIFY(changed.wait(2000));
    QCOMPARE(changed.count(), 2);
}

void TstHidapiLayer::traceLine_data() {
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("module out") << qint64(1234) << int(THidTrace::Out) << 0x4B52 << 0x4737
                                << QByteArray::fromHex("00a10fff")
                                << QByteArray("1234 OUT 4B52:4737 00 A1 0F FF");
    QTest::newRow("base in") << qint64(0) << int(THidTrace::In) << 0x4B52 << 0x4846
                             << QByteArray::fromHex("7e") << QByteArray("0 IN 4B52:4846 7E");
    QTest::newRow("short ids padded")
        << qint64(5) << int(THidTrace::In) << 0x1 << 0xAB << QByteArray::fromHex("0102")
        << QByteArray("5 IN 0001:00AB 01 02");
    QTest::newRow("no bytes") << qint64(77) << int(THidTrace::Out) << 0x4B52 << 0x4737
                              << QByteArray() << QByteArray("77 OUT 4B52:4737");
}

void TstHidapiLayer::traceLine() {
    QFETCH(qint64, ms);
    QFETCH(int, direction);
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, line);
    QCOMPARE(THidTrace::FormatLine(ms, THidTrace::Direction(direction), quint16(vendorId),
                                   quint16(productId), bytes),
             line);
}

void TstHidapiLayer::uhidDeviceEndToEnd() {
    if (!TUhidDevice::Available())
        QSKIP("/dev/uhid is not available here");
    THidapiLayer layer;
    QSignalSpy changed(&layer, &THidLayer::DevicesChanged);
    QTRY_COMPARE(changed.count(), 1);

    TUhidDevice uhid;
    QSignalSpy output(&uhid, &TUhidDevice::Output);
    QVERIFY(uhid.Create("RV5K v6.05", "SN-000123", VendorId, ModuleProductId,
                        TUhidDevice::Descriptor64()));
    // Plug-in is noticed (netlink or the node watch) and the device is listed.
    QTRY_VERIFY_WITH_TIMEOUT(changed.count() > 1, DeviceTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(FindPosition(layer, VendorId, ModuleProductId) >= 0, DeviceTimeoutMs);
    const int position = FindPosition(layer, VendorId, ModuleProductId);

    const HidDeviceId device = layer.AcquireDevice(position);
    QVERIFY(device != 0);
    QCOMPARE(layer.AcquireDevice(position), HidDeviceId(0)); // exclusive
    QCOMPARE(layer.VendorIdOf(device), VendorId);
    QCOMPARE(layer.ProductIdOf(device), ModuleProductId);
    const THidDeviceStrings strings = layer.ReadDeviceStrings(device);
    QCOMPARE(strings.Product, QStringLiteral("RV5K v6.05"));
    QCOMPARE(strings.SerialNumber, QStringLiteral("SN-000123"));

    // Input reports reach the handler on this thread, whole and in order.
    QList<QByteArray> received;
    bool onUiThread = true;
    layer.SetInputHandler(device, [&](quint8 reportId, const QByteArray& data) {
        onUiThread = onUiThread && QThread::currentThread() == thread() && reportId == 0;
        received.append(data);
    });
    const int reports = 20;
    for (int i = 0; i < reports; ++i)
        QVERIFY(uhid.SendInput(NumberedReport(i)));
    QTRY_COMPARE_WITH_TIMEOUT(received.size(), reports, DeviceTimeoutMs);
    QVERIFY(onUiThread);
    for (int i = 0; i < reports; ++i)
        QCOMPARE(received[i], NumberedReport(i));

    // An output report arrives at the device.
    QByteArray report(OutputReportBytes, '\0');
    for (int i = 1; i < OutputReportBytes; ++i)
        report[i] = static_cast<char>(i);
    layer.WriteOutputReport(device, report);
    QTRY_COMPARE_WITH_TIMEOUT(output.count(), 1, DeviceTimeoutMs);
    const QByteArray arrived = output.at(0).at(0).toByteArray();
    QVERIFY2(arrived == report || arrived == report.mid(1), arrived.toHex().constData());

    // Unplug: one notice with the ids, before the change notice.
    QStringList order;
    connect(&layer, &THidLayer::DeviceUnplugged, this, [&] { order << "unplugged"; });
    connect(&layer, &THidLayer::DevicesChanged, this, [&] { order << "changed"; });
    QSignalSpy unplugged(&layer, &THidLayer::DeviceUnplugged);
    uhid.Destroy();
    QTRY_COMPARE_WITH_TIMEOUT(unplugged.count(), 1, DeviceTimeoutMs);
    QCOMPARE(unplugged.at(0).at(0).value<HidDeviceId>(), device);
    QCOMPARE(unplugged.at(0).at(1).value<quint16>(), VendorId);
    QCOMPARE(unplugged.at(0).at(2).value<quint16>(), ModuleProductId);
    QTRY_VERIFY(order.contains("changed"));
    QCOMPARE(order.first(), QStringLiteral("unplugged"));
    QTest::qWait(500); // the read error and the udev event must not both report it
    QCOMPARE(unplugged.count(), 1);
    QCOMPARE(layer.ReadDeviceStrings(device).Product, QString());
    layer.WriteOutputReport(device, report); // gone: dropped
    layer.ReleaseDevice(device);
    QCOMPARE(layer.VendorIdOf(device), quint16(0));
}

void TstHidapiLayer::uhidStaleReportsAreDropped() {
    if (!TUhidDevice::Available())
        QSKIP("/dev/uhid is not available here");
    THidapiLayer layer;
    TUhidDevice uhid;
    QVERIFY(
        uhid.Create("RV5K v6.05", "SN-1", VendorId, ModuleProductId, TUhidDevice::Descriptor64()));
    QTRY_VERIFY_WITH_TIMEOUT(FindPosition(layer, VendorId, ModuleProductId) >= 0, DeviceTimeoutMs);
    const int position = FindPosition(layer, VendorId, ModuleProductId);
    const HidDeviceId first = layer.AcquireDevice(position);
    QVERIFY(first != 0);
    int handled = 0;
    layer.SetInputHandler(first, [&](quint8, const QByteArray&) { ++handled; });
    for (int i = 0; i < 5; ++i)
        QVERIFY(uhid.SendInput(NumberedReport(i)));
    // Blocks this thread on purpose: the reader queues the reports meanwhile.
    QThread::msleep(300);
    layer.ReleaseDevice(first);

    // Acquired again at once: a new id, and the old reports reach no one.
    QCOMPARE(FindPosition(layer, VendorId, ModuleProductId), position);
    const HidDeviceId second = layer.AcquireDevice(position);
    QVERIFY(second != 0);
    QVERIFY(second != first);
    int handledSecond = 0;
    layer.SetInputHandler(second, [&](quint8, const QByteArray&) { ++handledSecond; });
    QTest::qWait(300);
    QCOMPARE(handled, 0);
    QCOMPARE(handledSecond, 0);
    QVERIFY(uhid.SendInput(NumberedReport(9)));
    QTRY_COMPARE_WITH_TIMEOUT(handledSecond, 1, DeviceTimeoutMs);
    layer.ReleaseDevice(second);
}

void TstHidapiLayer::uhidPermissionDeniedOncePerPath() {
    if (!TUhidDevice::Available())
        QSKIP("/dev/uhid is not available here");
    if (::geteuid() != 0)
        QSKIP("needs root to take away and give back the rights to a node");
    THidapiLayer layer;
    QSignalSpy denied(&layer, &THidLayer::PermissionDenied);
    TUhidDevice module;
    TUhidDevice other;
    const quint16 otherVendor = 0x1209;
    const quint16 otherProduct = 0x0001;
    QVERIFY(module.Create("RV5K v6.05", "SN-2", VendorId, ModuleProductId,
                          TUhidDevice::Descriptor64()));
    QVERIFY(other.Create("Other", "X", otherVendor, otherProduct, TUhidDevice::Descriptor64()));
    QTRY_VERIFY_WITH_TIMEOUT(FindPosition(layer, VendorId, ModuleProductId) >= 0 &&
                                 FindPosition(layer, otherVendor, otherProduct) >= 0,
                             DeviceTimeoutMs);
    const QByteArray modulePath = NodePathOf(VendorId, ModuleProductId);
    const QByteArray otherPath = NodePathOf(otherVendor, otherProduct);
    QVERIFY(!modulePath.isEmpty() && !otherPath.isEmpty());
    // udev may have applied the rule: keep the nodes root's alone.
    for (const QByteArray& path : {modulePath, otherPath}) {
        QCOMPARE(::chown(path.constData(), 0, 0), 0);
        QCOMPARE(::chmod(path.constData(), S_IRUSR | S_IWUSR), 0);
    }
    {
        TAsNobody nobody;
        QVERIFY(nobody.Active);
        for (int attempt = 0; attempt < 2; ++attempt) {
            QCOMPARE(layer.AcquireDevice(FindPosition(layer, VendorId, ModuleProductId)),
                     HidDeviceId(0));
            QCOMPARE(layer.AcquireDevice(FindPosition(layer, otherVendor, otherProduct)),
                     HidDeviceId(0));
        }
    }
    QCOMPARE(denied.count(), 0); // raised from the event loop, not inside the acquire
    QTest::qWait(200);
    QCOMPARE(denied.count(), 1);
    QCOMPARE(denied.at(0).at(0).toString(), QString::fromLocal8Bit(modulePath));
    QCOMPARE(denied.at(0).at(1).value<quint16>(), VendorId);
    QCOMPARE(denied.at(0).at(2).value<quint16>(), ModuleProductId);

    // With the rights back, the same device is acquired.
    const HidDeviceId device = layer.AcquireDevice(FindPosition(layer, VendorId, ModuleProductId));
    QVERIFY(device != 0);
    layer.ReleaseDevice(device);
}

QTEST_GUILESS_MAIN(TstHidapiLayer)
#include "tst_hidapi_layer.moc"
