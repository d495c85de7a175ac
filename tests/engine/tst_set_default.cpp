// "Set default" on a scripted module (the simulated module's memory, answered
// at once): the question, nothing while a read runs, No sends nothing, the
// restore request on the active link, then the write cycle in defaults mode
// and the read asked for; without a link nothing is sent. The request's bytes
// on each link are app_defaults's.

#include "ScriptedModule.h"
#include "SimProfiles.h"
#include "TestShell.h"
#include "cansettings/CanSettings.h"
#include "engine/SetDefault.h"
#include "session/Session.h"

#include <QSignalSpy>
#include <QtTest>

namespace {
struct TDefaultsFixture {
    TDefaultsFixture() : Module(Link, Can.Cycle(), DemoProfile()) {
        Session.SetReadOnConnect(false);
        QObject::connect(&Session, &TSession::ReadRequested, [this] { ++Reads; });
    }
    TTestShell Shell;
    TScriptedLink Link;
    TSession Session{Link, Shell};
    TCanSettings Can{Session};
    TSetDefault Defaults{Session, Can};
    TScriptedModule Module;
    int Reads = 0;
};
} // namespace

class TestSetDefault : public QObject {
    Q_OBJECT
private slots:
    void yesRestoresWritesAndReadsAgain() {
        TDefaultsFixture f;
        QSignalSpy finished(&f.Defaults, &TSetDefault::Finished);
        f.Defaults.Start();
        QCOMPARE(f.Shell.Boxes, QStringList{"M27"});
        QCOMPARE(f.Shell.BoxKinds, QList<int>{Box::Confirmation});
        // The restore first, then only the cycle's closing write: the map is
        // not written in defaults mode (and no car mode is chosen here).
        QCOMPARE(f.Link.Requests, (QStringList{"RestoreRV5KDefaults", "SetFN_NN 11 01"}));
        // The factory settings, but FN 0x11, which every save ends with.
        auto defaults = DemoProfile().Defaults;
        for (auto& [fn, nn] : defaults)
            if (fn == 0x11)
                nn = 1;
        QCOMPARE(f.Module.Map(), defaults);
        QCOMPARE(f.Reads, 1);
        QCOMPARE(f.Shell.ProgressMessages, QList<int>{47});
        QVERIFY(f.Shell.Enabled);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), true);
    }

    void noSendsNothing() {
        TDefaultsFixture f;
        f.Shell.BoxAnswer = Box::ResultNo;
        f.Defaults.Start();
        QCOMPARE(f.Shell.Boxes, QStringList{"M27"});
        QVERIFY(f.Link.Requests.isEmpty());
        QCOMPARE(f.Reads, 0);
    }

    void nothingWhileReading() {
        TDefaultsFixture f;
        f.Link.SequenceRunning = true;
        f.Defaults.Start();
        QVERIFY(f.Shell.Boxes.isEmpty());
        QVERIFY(f.Link.Requests.isEmpty());
    }

    // Without a link (the tester mode shows the button from the start): the
    // question, then nothing goes anywhere.
    void noLinkSendsNothing() {
        TDefaultsFixture f;
        f.Link.IsConnected = false;
        QSignalSpy finished(&f.Defaults, &TSetDefault::Finished);
        f.Defaults.Start();
        QCOMPARE(f.Shell.Boxes, QStringList{"M27"});
        QVERIFY(f.Link.Requests.isEmpty());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toBool(), false);
    }

    // A hook that runs before anything is written may stop the command.
    void beforeWriteMayStop() {
        TDefaultsFixture f;
        int asked = 0;
        f.Defaults.SetBeforeWrite([&] {
            ++asked;
            return false;
        });
        f.Defaults.Start();
        QCOMPARE(asked, 1);
        QVERIFY(f.Link.Requests.isEmpty());
    }
};

QTEST_MAIN(TestSetDefault)
#include "tst_set_default.moc"
