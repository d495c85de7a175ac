// What keeps an installer from writing blind, on a scripted module with the
// shipped catalogue: edits marked and counted against the map last read and
// reverted without a word to the module; the review before Save naming
// exactly the changes, PIN and car included, and sending nothing when
// cancelled; the same requests with and without it; the read after Save
// compared with what was written; a template's differences as changes;
// changes dropped with the module said; search by name and by FN.

#include "PinView.h"
#include "ScriptedModule.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "TestShell.h"
#include "cansettings/Backups.h"
#include "cansettings/CanSettings.h"
#include "cansettings/CanSettingsView.h"
#include "cansettings/CarSelection.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/ParamTreeRules.h"
#include "cansettings/ParamTreeSearch.h"
#include "cansettings/TemplateFile.h"
#include "cansettings/Templates.h"
#include "files/SettingsFile.h"
#include "session/Session.h"

#include <QTemporaryDir>
#include <QtTest>
#include <set>

namespace {
// The installer at the review and in front of the list after a Save.
struct TInstaller : IChangesView {
    bool Answer = true;
    bool DontAskAgain = false;
    int Asked = 0;
    std::vector<TChange> Reviewed;
    std::vector<TMismatch> Mismatches;
    bool ConfirmChanges(const std::vector<TChange>& changes, bool* dontAskAgain) override {
        ++Asked;
        Reviewed = changes;
        *dontAskAgain = DontAskAgain;
        return Answer;
    }
    void ShowMismatches(const std::vector<TMismatch>& mismatches) override {
        Mismatches = mismatches;
    }
};

// Counts come through where a message takes them.
struct TShell : TTestShell {
    QString Message(int number) const override {
        if (number == TCanSettings::VerifiedMessage)
            return QStringLiteral("verified %1");
        return TTestShell::Message(number);
    }
};

struct TFixture {
    explicit TFixture(const TSimProfile& profile = DemoProfile())
        : Module(Link, Can.Cycle(), profile) {
        Can.SetView(&View);
        Can.SetChangesView(&Installer);
        Can.LoadCatalogue(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/Functions.csv");
        Can.LanguageChanged();
    }
    // A read as on connect, through the session's watcher.
    bool Read() {
        QSignalSpy read(&Session, &TSession::ReadSucceeded);
        Session.ReadNow();
        return QTest::qWaitFor([&] { return read.count() > 0; }, 10000);
    }
    // "Save" and the read that follows it.
    bool Save() {
        QSignalSpy read(&Session, &TSession::ReadSucceeded);
        Can.Save();
        return QTest::qWaitFor([&] { return read.count() > 0; }, 15000);
    }
    TParamNode* Function(quint8 fn, int flagMask = -1) {
        TParamNode* found = nullptr;
        for (TParamTree* tree : {&Can.Catalogue().VT, &Can.Catalogue().VST2})
            tree->ForEach([&](TParamNode& node) {
                if (!found && node.Level() == 1 && node.Data.Number == fn &&
                    (flagMask < 0 ? !node.Data.IsFlag
                                  : node.Data.IsFlag && node.Data.AssignedFn1 == flagMask))
                    found = &node;
            });
        return found;
    }
    bool Check(TParamNode* node, bool on = true) {
        TParamTreeModel* model = Can.SettingsModel();
        return model->setData(model->IndexOf(node), on ? Qt::Checked : Qt::Unchecked,
                              Qt::CheckStateRole);
    }
    bool Edit(TParamNode* option, const QString& text) {
        TParamTreeModel* model = Can.SettingsModel();
        return model->setData(model->IndexOf(option, ParamTreeRules::Param1Column), text);
    }
    QString Option(quint8 fn, int index) {
        return ParamTreeRules::CellText(*Function(fn)->Child(index), 0, 0, {});
    }

    TShell Shell;
    TScriptedLink Link;
    TSession Session{Link, Shell};
    TCanSettings Can{Session};
    TCarSelection Cars{Can, Session};
    TPinView View;
    TInstaller Installer;
    TScriptedModule Module;
};

QStringList Rows(const std::vector<TChange>& changes) {
    QStringList rows;
    for (const TChange& change : changes)
        rows << QStringLiteral("%1 %2: %3 -> %4")
                    .arg(int(change.Kind))
                    .arg(change.Fn, 2, 16, QLatin1Char('0'))
                    .arg(change.Old, change.New);
    return rows;
}

QString Row(TChangeKind kind, quint8 fn, const QString& old, const QString& now) {
    return Rows({{kind, fn, 0, nullptr, nullptr, false, {}, {}, old, now}}).first();
}

const QString FixedIgnition = Row(TChangeKind::Flag, 0x30, "M122", "M121");
} // namespace

class TestInstallerSafety : public QObject {
    Q_OBJECT
private slots:
    void init() {
        AppData = std::make_unique<QTemporaryDir>();
        qputenv("RV5K_APPDATA", AppData->path().toLocal8Bit());
    }

    void editsMarkedCountedAndReverted() {
        TFixture f;
        QVERIFY(f.Read());
        // The catalogue's fixed Ignition flag: every Save sets its bit, and
        // this module holds it clear. Listed, but not the installer's change.
        QCOMPARE(Rows(f.Can.DescribedChanges()), QStringList{FixedIgnition});
        QVERIFY(f.Can.DescribedChanges().front().Forced);
        QCOMPARE(f.Can.ChangeCount(), 0);
        QVERIFY(!f.Function(0x30, 0x01)->Changed);
        QCOMPARE(f.Can.SaveStateText(), QString());
        const int sentBefore = int(f.Link.Requests.size());
        TParamNode* unlock = f.Function(0x12);
        TParamNode* lock = f.Function(0x10);
        TParamNode* speed = lock->Child(1);
        TParamNode* boot = f.Function(0x30, 0x08);
        QVERIFY(f.Check(unlock->Child(2)));
        QVERIFY(f.Check(speed)); // FN 0x10 from option 1 to 2
        QVERIFY(f.Edit(speed, QStringLiteral("25")));
        QVERIFY(f.Check(boot));
        QCOMPARE(f.Can.ChangeCount(), 4);
        QVERIFY(unlock->Changed && lock->Changed && speed->Changed && boot->Changed);
        QVERIFY(!f.Function(0x14)->Changed);
        QCOMPARE(lock->Parent->ChangesHeld, 3); // central locking: 0x10, 0x12, 0x15
        QCOMPARE(boot->Parent->ChangesHeld, 1);
        TParamTreeModel* model = f.Can.SettingsModel();
        QCOMPARE(model->data(model->IndexOf(boot->Parent), TParamTreeModel::ChangesHeldRole),
                 QVariant(QStringLiteral("M109")));
        QCOMPARE(model->data(model->IndexOf(f.Function(0x14)), TParamTreeModel::ChangesHeldRole),
                 QVariant(QString()));
        QVERIFY(model->data(model->IndexOf(speed, 1), Qt::FontRole).value<QFont>().bold());
        QCOMPARE(f.Can.SaveStateText(), QStringLiteral("M110"));

        // Set back by hand, reverted by row, then all at once.
        QVERIFY(f.Check(unlock->Child(1)));
        QVERIFY(!unlock->Changed);
        QCOMPARE(f.Can.ChangeCount(), 3);
        f.Can.RevertRow(model, boot);
        QVERIFY(!boot->Checked && !boot->Changed);
        QCOMPARE(f.Can.ChangeCount(), 2);
        f.Can.RevertChanges();
        QCOMPARE(f.Can.ChangeCount(), 0);
        QCOMPARE(f.Can.SaveStateText(), QString());
        QCOMPARE(speed->Data.Fn1Value, quint8(10));
        QVERIFY(lock->Child(0)->Checked && !lock->Changed && !speed->Changed);
        QCOMPARE(int(f.Link.Requests.size()), sentBefore); // the module was not asked
    }

    void reviewListsTheChangesAndCancelSendsNothing() {
        TFixture f;
        QVERIFY(f.Read());
        QVERIFY(f.Check(f.Function(0x12)->Child(2)));
        f.View.Pin = QStringLiteral("5678");
        f.Can.RefreshChanges();
        f.Cars.SelectCarMode(CarModeAuto); // the module knew its car: 12/3
        f.Installer.Answer = false;
        const QStringList sentBefore = f.Link.Requests;
        const auto heldBefore = f.Module.Map();
        f.Can.Save();
        QCOMPARE(f.Installer.Asked, 1);
        // Auto writes FN 0x82..0x84 = 2, shown in the car tree.
        const QStringList expected{
            FixedIgnition,
            Row(TChangeKind::Function, 0x12, f.Option(0x12, 1), f.Option(0x12, 2)),
            Row(TChangeKind::Function, 0x82, f.Option(0x82, 0), f.Option(0x82, 1)),
            Row(TChangeKind::Function, 0x83, f.Option(0x83, 0), f.Option(0x83, 1)),
            Row(TChangeKind::Function, 0x84, f.Option(0x84, 0), f.Option(0x84, 1)),
            Row(TChangeKind::Pin, 0x01, "1234", "5678"),
            Row(TChangeKind::Car, 0x06, "12/3", "M120")};
        QCOMPARE(Rows(f.Installer.Reviewed), expected);
        QCOMPARE(f.Installer.Reviewed[1].Name, QStringLiteral("M8712 - Unlock on ignition off"));
        QCOMPARE(f.Installer.Reviewed[1].ChapterText, QStringLiteral("Central locking"));
        QCOMPARE(f.Link.Requests, sentBefore);
        QVERIFY(f.Module.Map() == heldBefore);
        QVERIFY(f.Shell.Enabled && !f.Shell.Progress);
        QCOMPARE(f.Can.ChangeCount(), 6);
    }

    // The requests of a Save do not depend on the review: shown and accepted,
    // or turned off with "Do not ask again".
    void reviewLeavesTheRequestsAlone() {
        const auto save = [](bool review, int* asked) {
            TFixture f;
            if (!review)
                WriteSetting("Settings", TCanSettings::ReviewKey, "0");
            if (!f.Read())
                return QStringList{QStringLiteral("not read")};
            f.Check(f.Function(0x12)->Child(2));
            f.Check(f.Function(0x30, 0x08));
            f.Cars.SelectCarMode(CarModeAuto);
            const qsizetype from = f.Link.Requests.size();
            f.Save();
            *asked = f.Installer.Asked;
            return f.Link.Requests.mid(from);
        };
        int askedWith = 0, askedWithout = 0;
        const QStringList with = save(true, &askedWith);
        const QStringList without = save(false, &askedWithout);
        QCOMPARE(askedWith, 1);
        QCOMPARE(askedWithout, 0);
        QVERIFY(with.contains(QStringLiteral("SetFN_NN 12 03")));
        QVERIFY(with.contains(QStringLiteral("ResetCar")));
        QCOMPARE(with, without);
    }

    void dontAskAgainIsKept() {
        TFixture f;
        QVERIFY(f.Read());
        QVERIFY(f.Check(f.Function(0x12)->Child(2)));
        f.Installer.DontAskAgain = true;
        QVERIFY(f.Save());
        QCOMPARE(ReadSetting("Settings", TCanSettings::ReviewKey, "1"), QByteArray("0"));
        QVERIFY(f.Check(f.Function(0x12)->Child(0)));
        QVERIFY(f.Save());
        QCOMPARE(f.Installer.Asked, 1);
        QCOMPARE(f.Module.Value(0x12), quint8(1));
    }

    void readAfterSaveVerified_data() {
        QTest::addColumn<QList<quint8>>("refused");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("all taken") << QList<quint8>{} << QStringList{};
        QTest::newRow("FN 0x15 refused")
            << QList<quint8>{0x15}
            << QStringList{QStringLiteral("15 M8710 - Lock on drive-off: After a speed: 25 "
                                          "km/h held 50 km/h")};
    }
    void readAfterSaveVerified() {
        QFETCH(QList<quint8>, refused);
        TSimProfile profile = DemoProfile();
        profile.IgnoreSetFn = refused;
        TFixture f(profile);
        QVERIFY(f.Read());
        TParamNode* speed = f.Function(0x10)->Child(1);
        QVERIFY(f.Check(speed));
        QVERIFY(f.Edit(speed, QStringLiteral("25")));
        QVERIFY(f.Save());
        QStringList listed;
        for (const TMismatch& m : f.Installer.Mismatches)
            listed << QStringLiteral("%1 %2: %3 held %4")
                          .arg(m.Fn, 2, 16, QLatin1Char('0'))
                          .arg(m.Name, m.Written, m.Held);
        QTEST(listed, "listed");
        QCOMPARE(f.Module.Value(0x10), quint8(2));
        if (refused.isEmpty()) {
            std::set<quint8> pairs;
            for (const auto& [fn, nn] : profile.Map)
                if (TFnMemoryMap::Written(fn))
                    pairs.insert(fn);
            QCOMPARE(f.Can.SaveStateText(), QStringLiteral("verified %1").arg(pairs.size()));
            QCOMPARE(f.Can.ChangeCount(), 0);
        } else {
            // The refused value stays in view, marked, for the next Save.
            QCOMPARE(f.Can.ChangeCount(), 1);
            QCOMPARE(f.Can.Changes().size(), std::size_t(1)); // the fixed flag was taken
            QVERIFY(speed->Changed);
            QCOMPARE(speed->Data.Fn1Value, quint8(5));
            QCOMPARE(f.Can.ReadBaseline()->operator[](12).NN, quint8(10)); // FN 0x15's slot
        }
    }

    void templateDifferencesAreChanges() {
        TFixture f;
        QVERIFY(f.Read());
        TBackups backups(f.Shell, AppData->filePath(QStringLiteral("Backups")));
        TTemplates templates(f.Can, f.Session, backups);
        TFnMemoryMap map = f.Can.Map();
        map.SetMapValue(0x12, 3);
        map.SetMapValue(0x1D, 20);
        const QString path = AppData->filePath(QStringLiteral("next car.tpl"));
        QVERIFY(TemplateFile::SealToFile(path, TemplateFormat::PassPhrase(),
                                         TemplateFile::BuildPlaintext({}, map, false)));
        QVERIFY(templates.LoadTemplateFile(path));
        QCOMPARE(f.Can.ChangeCount(), 2);
        QVERIFY(f.Function(0x12)->Changed);
        QCOMPARE(f.Can.ReadBaseline()->operator[](9).NN, quint8(2)); // still the module's
        // Loading again over unsaved changes asks; No keeps them.
        f.Shell.BoxAnswer = Box::ResultNo;
        QVERIFY(!templates.LoadTemplateFile(path));
        QCOMPARE(f.Shell.Boxes.filter(QStringLiteral("M129")).size(), 1);
        QCOMPARE(f.Can.ChangeCount(), 2);
    }

    void changesDroppedWithTheModuleAreSaid() {
        TFixture f;
        QVERIFY(f.Read());
        QVERIFY(f.Check(f.Function(0x30, 0x08)));
        emit f.Session.ShownModuleGone();
        QCOMPARE(f.Can.ChangeCount(), 0);
        QTRY_COMPARE(f.Shell.Boxes.size(), 1);
        QCOMPARE(f.Shell.Boxes.first(), QStringLiteral("M130\nBoot: M122 \u2192 M121"));
        // Gone again with nothing read: nothing to say.
        emit f.Session.ShownModuleGone();
        QTest::qWait(50);
        QCOMPARE(f.Shell.Boxes.size(), 1);
        QCOMPARE(f.Shell.BoxKinds.first(), int(Box::Warning));
    }

    void searchFinds_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("language");
        QTest::addColumn<QList<int>>("functions"); // level-1 rows shown, by FN
        const QList<int> polarity{0x31};
        QTest::newRow("name") << "POLARITY" << 0 << polarity;
        QTest::newRow("number") << "31" << 0 << polarity;
        QTest::newRow("0x") << "0x31" << 0 << polarity;
        QTest::newRow("FN") << "fn31" << 0 << polarity;
        QTest::newRow("Lithuanian") << QStringLiteral("poliškumas") << 1 << polarity;
        QTest::newRow("Russian") << QStringLiteral("полярность") << 2 << polarity;
        // A sub-parameter's FN finds its option, with its function.
        QTest::newRow("sub-parameter") << "0x15" << 0 << QList<int>{0x10};
        // An option's name shows its function; the module lacks FN 0x47.
        QTest::newRow("option") << "Limited" << 0 << QList<int>{0x44};
        QTest::newRow("not reported") << "Steering" << 0 << QList<int>{};
    }
    void searchFinds() {
        QFETCH(QString, text);
        QFETCH(int, language);
        TFixture f;
        QVERIFY(f.Read());
        const TParamTree& tree = f.Can.Catalogue().VT;
        const ParamTreeSearch::TResult found = ParamTreeSearch::Find(tree, language, text);
        QList<int> functions;
        std::size_t i = 0;
        tree.ForEach([&](TParamNode& node) {
            if (node.Level() == 1 && found.Shown[i])
                functions << node.Data.Number;
            if (node.Level() == 0 && found.Shown[i])
                QVERIFY(found.Opened[i]);
            ++i;
        });
        QTEST(functions, "functions");
    }

private:
    std::unique_ptr<QTemporaryDir> AppData;
};

RV5K_SIDE_BY_SIDE_MAIN(TestInstallerSafety)
#include "tst_installer_safety.moc"
