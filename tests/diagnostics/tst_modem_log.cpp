// The modem traffic log: the entries a line gives (prefix, direction,
// registers, zero bytes, the decoded entry), when lines are lost ("Lock",
// no service mode), and the saved log file.

#include "diagnostics/LogFile.h"
#include "diagnostics/ModemLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QDateTime Moment(QDate(2025, 3, 14), QTime(15, 9, 26));

struct TLogBox : IModemLogView {
    QStringList Entries;
    void AppendEntry(const QString& entry) override { Entries << entry; }
};

struct TLogFixture {
    TModemRegisters Registers;
    TModemLog Log{Registers, [] { return Moment; }};
    TLogBox Box;
    TLogFixture() {
        Log.SetView(&Box);
        Log.SetServiceMode(true);
    }
    QString Time() const { return ModemLine::TimeText(Moment); }
};

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}
} // namespace

class TestModemLog : public QObject {
    Q_OBJECT
private slots:
    void entries_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("outgoing");
        QTest::addColumn<bool>("registers");
        QTest::addColumn<QStringList>("entries"); // "T" stands for the time
        QTest::newRow("OK with CR LF: one incoming entry, nothing decoded")
            << QByteArray("OK\r\n") << false << false << QStringList{"T << OK "};
        QTest::newRow("outgoing command")
            << QByteArray("AT+CSQ\r") << true << false << QStringList{"T >> AT+CSQ"};
        QTest::newRow("outgoing with the registers instead of the time")
            << QByteArray("AT+CSQ\r") << true << true
            << QStringList{"MC55iCR:80 MC55iSR01 MC55iFlags4F TCPSRF203\r\n>>AT+CSQ"};
        QTest::newRow("incoming keeps the time with the registers on")
            << QByteArray("\r\nOK\r\n") << false << true << QStringList{"T <<  OK "};
        QTest::newRow("zero bytes as dots")
            << QByteArray("A\0B\0", 4) << false << false << QStringList{"T << A.B."};
        QTest::newRow("received SMS: the line and its decoded entry")
            << QByteArray("+CMGR: 0,,24\r\n00040B917360000000F0\r\n") << false << false
            << QStringList{"T << +CMGR: 0,,24 00040B917360000000F0 ",
                           "\tS.NR=+37060000000  F.OC=04"};
    }
    void entries() {
        QFETCH(QByteArray, line);
        QFETCH(bool, outgoing);
        QFETCH(bool, registers);
        QFETCH(QStringList, entries);
        TLogFixture f;
        f.Registers = {0x4F, 0x80, 0x01, 0xF203};
        f.Log.SetPutRegisters(registers);
        f.Log.OnUsart(line, outgoing);
        entries.replaceInStrings(QRegularExpression(QStringLiteral("^T ")), f.Time() + ' ');
        QCOMPARE(f.Box.Entries, entries);
    }

    void timeTextHasDateAndSeconds() {
        const QString time = ModemLine::TimeText(Moment);
        QVERIFY(time.startsWith(QLocale::system().toString(Moment.date(), QLocale::ShortFormat)));
        QVERIFY(time.endsWith(QLatin1String(" 15:09:26")));
    }

    void lockedLinesAreLostButDecodingGoesOn() {
        TLogFixture f;
        f.Log.OnUsart("AT\r", true);
        f.Log.SetLocked(true);
        f.Log.OnUsart("AT+CMGS=15\r", true);
        f.Log.OnUsart("\r\n> ", false);
        f.Log.SetLocked(false);
        QCOMPARE(f.Box.Entries.size(), 1);
        // The send armed while locked still decodes.
        f.Log.OnUsart(QByteArray::fromHex("0011000A8186755634120004AA05") + "Hello", true);
        QCOMPARE(f.Box.Entries.size(), 3);
        QCOMPARE(
            f.Box.Entries[1],
            f.Time() + " >> " +
                QString::fromLatin1(QByteArray::fromHex("2E112E0A8186755634122E04AA05") + "Hello"));
        QCOMPARE(f.Box.Entries[2], QStringLiteral("\tP.NR=6857654321  DCS=4  DLEN=5\r\n\tD=Hello"));
        QVERIFY(!f.Box.Entries.join('|').contains(QLatin1String("AT+CMGS")));
    }

    void nothingOutsideTheServiceMode() {
        TLogFixture f;
        f.Log.SetServiceMode(false);
        f.Log.OnUsart("OK\r\n", false);
        f.Log.OnUsart("AT\r", true);
        QVERIFY(f.Box.Entries.isEmpty());
    }

    void saveWritesUtf8AndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
        old.close();
        const QString text = QStringLiteral("14.03.25 15:09:26 << OK\n\tD=\u017Dinut\u0117\n");
        QString reason;
        QVERIFY2(SaveLogFile(path, text, &reason), qPrintable(reason));
        QCOMPARE(Read(path), text.toUtf8());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"log.txt"});
    }

    void saveFailureLeavesNothingBehind() {
        QTemporaryDir dir;
        QString reason;
        QVERIFY(!SaveLogFile(dir.filePath(QStringLiteral("missing/log.txt")), "x", &reason));
        QVERIFY(!reason.isEmpty());
        // A folder where the file should go: refused, and no temporary stays.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("log.txt")));
        reason.clear();
        QVERIFY(!SaveLogFile(dir.filePath(QStringLiteral("log.txt")), "x", &reason));
        QVERIFY(!reason.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"log.txt"});
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("log.txt"))).isDir());
    }

    void defaultFileName() {
        QCOMPARE(DefaultLogFileName(Moment), QStringLiteral("rv5k-log-20250314-150926.txt"));
    }
};

QTEST_GUILESS_MAIN(TestModemLog)
#include "tst_modem_log.moc"
