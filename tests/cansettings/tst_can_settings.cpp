// "Save" of the CAN settings on a scripted module (the simulated module's
// memory, answered at once): the PIN check with its question and its error,
// a PIN loaded from a template written without asking, the rest of the save
// going on whatever the PIN, FN 0x11 last, and the read asked for afterwards.
// The same through the real window and link at the protocol's pace is
// app_can_round_trip's.

#include "PinView.h"
#include "ScriptedModule.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "TestShell.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CanSettingsView.h"
#include "session/Session.h"

#include <QtTest>

namespace {
struct TSaveFixture {
    TSaveFixture() : Module(Link, Can.Cycle(), DemoProfile()) {
        Session.SetReadOnConnect(false);
        Can.SetView(&View);
        QObject::connect(&Session, &TSession::ReadRequested, [this] { ++ReReads; });
    }
    bool Read() {
        Link.Nuskaitymas();
        return QTest::qWaitFor([this] { return !Can.Cycle().ReadingMap(); }, 10000) &&
               !Can.Cycle().ReadError();
    }
    QString ModulePin() const {
        QString pin;
        for (quint8 fn = 0x01; fn <= 0x04; ++fn)
            pin += QString::number(Module.Value(fn));
        return pin;
    }

    TTestShell Shell;
    TScriptedLink Link;
    TSession Session{Link, Shell};
    TCanSettings Can{Session};
    TPinView View;
    TScriptedModule Module;
    int ReReads = 0;
};
} // namespace

class TestCanSettings : public QObject {
    Q_OBJECT
private slots:
    void pinCheckedAtSave_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("modulePin");
        QTest::newRow("changed, Yes")
            << "5678" << int(Box::ResultYes) << QStringList{"M60 5678"} << "5678";
        QTest::newRow("changed, No")
            << "5678" << int(Box::ResultNo) << QStringList{"M60 5678"} << "1234";
        QTest::newRow("unchanged") << "1234" << 0 << QStringList{} << "1234";
        QTest::newRow("too short")
            << "12" << int(Box::ResultOk) << QStringList{"M61 (12)"} << "1234";
        QTest::newRow("a zero") << "1204" << int(Box::ResultOk) << QStringList{"M61 (1204)"}
                                << "1234";
    }
    void pinCheckedAtSave() {
        QFETCH(QString, typed);
        QFETCH(int, answer);
        TSaveFixture f;
        QVERIFY(f.Read());
        QVERIFY(f.View.Enabled);
        QCOMPARE(f.View.Pin, QStringLiteral("1234"));
        // An edited value shows that the rest of the save goes on whatever the PIN.
        f.Can.Map().SetMapValue(0x6F, 7);
        f.View.Pin = typed;
        f.Shell.BoxAnswer = answer;
        f.Can.SaveCanSettings(false);
        QTEST(f.Shell.Boxes, "boxes");
        QTEST(f.ModulePin(), "modulePin");
        QCOMPARE(f.Module.Value(0x6F), quint8(7));
        // FN 0x11 = 1 is the last write; then the read is asked for.
        QCOMPARE(f.Link.Requests.last(), QStringLiteral("SetFN_NN 11 01"));
        QCOMPARE(f.ReReads, 1);
        QVERIFY(f.Shell.Enabled);
        QVERIFY(!f.Shell.Progress);
        QCOMPARE(f.Shell.ProgressMessages, QList<int>{TCanSettings::WritingMessage});
    }

    // A template's PIN digits go to the module without a question.
    void templatePinWrittenWithoutAsking() {
        TSaveFixture f;
        QVERIFY(f.Read());
        for (quint8 fn = 0x01; fn <= 0x04; ++fn)
            f.Can.Map().SetMapValue(fn, quint8(fn + 4));
        f.Can.ApplyMemoryMap();
        f.Can.TemplatePin = true;
        f.Can.SaveCanSettings(false);
        QVERIFY(f.Shell.Boxes.isEmpty());
        QCOMPARE(f.ModulePin(), QStringLiteral("5678"));
    }

    // Defaults mode writes neither the PIN nor the map: only its closing writes.
    void defaultsModeWritesOnlyTheEnd() {
        TSaveFixture f;
        QVERIFY(f.Read());
        f.View.Pin = QStringLiteral("9999");
        f.Can.Map().SetMapValue(0x6F, 7);
        const qsizetype before = f.Link.Requests.size();
        f.Can.SaveCanSettings(true);
        QVERIFY(f.Shell.Boxes.isEmpty());
        // The demo module reads in "Current": only FN 0x11 = 1 goes out.
        QCOMPARE(f.Link.Requests.mid(before), QStringList{"SetFN_NN 11 01"});
        QCOMPARE(f.ReReads, 1);
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestCanSettings)
#include "tst_can_settings.moc"
