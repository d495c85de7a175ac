// Closing the main window in the middle of a read, a save or a wait, on
// either link, ends the program: the real program's windows and event loop in
// a probe process (close_probe), which reports how long the end took.

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include "SideBySideMain.h"

class TestClose : public QObject {
    Q_OBJECT
private slots:
    void closeEndsTheProgram_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("when");
        const QString module = QStringLiteral("demo.json");
        const QString base = QStringLiteral("base-demo.json");
        QTest::newRow("module read") << module << "module-read";
        QTest::newRow("module save") << module << "module-save";
        QTest::newRow("base read") << base << "base-read";
        QTest::newRow("base save") << base << "base-save";
        QTest::newRow("wait after the car program") << module << "car-wait";
    }
    void closeEndsTheProgram() {
        QFETCH(QString, profile);
        QFETCH(QString, when);
        QProcess probe;
        probe.setProcessChannelMode(QProcess::MergedChannels);
        probe.start(QStringLiteral(CLOSE_PROBE),
                    {qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/" + profile, when});
        QVERIFY(probe.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(probe.readAll());
        QVERIFY2(probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0,
                 qPrintable(output));
        const auto match =
            QRegularExpression(QStringLiteral("closed after (\\d+) ms")).match(output);
        QVERIFY2(match.hasMatch(), qPrintable(output));
        // The figure itself is bench_close's; here only that the end comes.
        QVERIFY2(match.captured(1).toInt() < 5000, qPrintable(output));
    }
};

RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestClose)
#include "tst_close.moc"
