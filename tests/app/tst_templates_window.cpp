// Templates in the main window against the demo module at the protocol's own
// pace: "Save New Template" with the PIN in "Auto" sends FN 0x57 and FN 0x11
// and nothing else; an edited value saved makes the first backup; "Load
// Template" brings the template's values back, and "Save" writes them after a
// second backup; "Restore backup" lists both and loads the one chosen.

#include "ModalHelper.h"
#include "SimProfiles.h"
#include "app/AppWindows.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "cansettings/CanSettings.h"
#include "cansettings/MapCycle.h"
#include "cansettings/ParamTreeModel.h"
#include "cansettings/view/CanSettingsPanel.h"
#include "cansettings/view/TemplatesPage.h"
#include "files/AppFolders.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>
#include <map>

namespace {
// The main window on the simulated bus, its catalogue the shipped one.
struct TWindow {
    explicit TWindow(TSimRv5kModule& module) {
        qputenv("RV5K_APPDATA", Data.path().toLocal8Bit());
        QFile::copy(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/Functions.csv",
                    Data.filePath("Functions.csv"));
        QDir::setCurrent(Data.path());
        Windows = std::make_unique<TAppWindows>(&Bus);
        Form()->show();
        Bus.Plug(&module);
    }
    ~TWindow() {
        Windows.reset();
        QDir::setCurrent(QDir::tempPath());
    }
    bool WaitForRead() {
        return QTest::qWaitFor(
            [this] {
                return Form()->LanguagesLoaded && Form()->SettingsPanelVisible() &&
                       !Form()->CanSettings()->Cycle().ReadingMap() && Form()->LinkBusy() == 0 &&
                       !Windows->Form5()->isVisible() && Form()->isEnabled();
            },
            15000);
    }
    TForm1* Form() const { return Windows->Form1(); }
    TTemplatesPage* Page() const { return Form()->findChild<TTemplatesPage*>(); }
    TParamTreeModel* Model() const { return Form()->CanSettings()->SettingsModel(); }
    TParamNode* Function(quint8 fn) const {
        TParamNode* found = nullptr;
        Model()->Tree().ForEach([&](TParamNode& node) {
            if (!found && node.Level() == 1 && !node.Data.IsFlag && node.Data.Number == fn)
                found = &node;
        });
        return found;
    }
    QString Days() const {
        return Model()->data(Model()->IndexOf(Function(0x6F)->Child(0), 1)).toString();
    }
    QString BackupFolder() const { return Data.filePath(QStringLiteral("Backups/RV5K00123456")); }
    int Backups() const { return QDir(BackupFolder()).entryList({"*.tpl"}, QDir::Files).size(); }

    // Clicks a button whose file dialog is answered with path, then waits
    // for the box that ends the action and returns its text.
    QString ThroughFileDialog(QPushButton* button, const QString& path, QString* folder) {
        const auto dialog = WhenModal([&](QWidget* modal) {
            auto* files = qobject_cast<QFileDialog*>(modal);
            if (!files)
                return;
            *folder = files->directory().absolutePath();
            files->selectFile(path);
            QMetaObject::invokeMethod(files, "accept"); // as the dialog's own button does
        });
        QString text;
        const auto box = WhenMessageBox(
            [&](QMessageBox* shown) {
                text = shown->text();
                shown->button(QMessageBox::Ok)->click();
            },
            20000);
        button->click();
        if (!QTest::qWaitFor([&] { return *box; }, 20000))
            return QStringLiteral("(no box)");
        return *dialog ? text : QStringLiteral("(no file dialog)");
    }
    // Presses "Save" and waits for the writes and the read that follows.
    bool Save() {
        QSignalSpy applied(&Form()->CanSettings()->Cycle(), &TMapCycle::ApplyRequested);
        TReviewAnswer review(true);
        Form()->Controls().SaveButton->click();
        return QTest::qWaitFor([&] { return applied.count() > 0; }, 20000) && WaitForRead();
    }

    QTemporaryDir Data;
    TSimHidBus Bus;
    std::unique_ptr<TAppWindows> Windows;
};

std::map<quint8, quint8> Held(const TSimRv5kModule& module) {
    std::map<quint8, quint8> held;
    for (const auto& [fn, nn] : module.Map())
        held.emplace(fn, nn);
    return held;
}

// The CAN memory writes (FN, NN) the module received from report index from.
QStringList Writes(const TSimRv5kModule& module, int from) {
    QStringList writes;
    const QList<QByteArray> reports = module.ReceivedReports();
    for (int i = from; i < reports.size(); ++i) {
        const QByteArray& r = reports[i];
        if (r.size() > 5 && quint8(r[1]) == 0x10 && quint8(r[3]) == 0x14)
            writes << QStringLiteral("%1:%2")
                          .arg(quint8(r[4]), 2, 16, QLatin1Char('0'))
                          .arg(quint8(r[5]), 2, 16, QLatin1Char('0'));
    }
    return writes;
}
} // namespace

class TestTemplatesWindow : public QObject {
    Q_OBJECT
private slots:
    void saveLoadSaveAndRestoreABackup();
};

void TestTemplatesWindow::saveLoadSaveAndRestoreABackup() {
    TSimRv5kModule module(DemoProfile());
    TWindow w(module);
    QVERIFY(w.WaitForRead());
    TTemplatesPage* page = w.Page();
    QVERIFY(page);
    const TMessageTable& messages = w.Form()->Messages();
    QCOMPARE(w.Days(), QStringLiteral("30 days"));

    // Save New Template, with the PIN, in "Auto".
    w.Form()->findChild<QRadioButton*>(QStringLiteral("AutoRadio"))->click();
    QVERIFY(page->SavePinBox()->isEnabled());
    page->SavePinBox()->setChecked(true);
    const QString path = w.Data.filePath(QStringLiteral("golf"));
    int sent = module.ReceivedReports().size();
    QString folder;
    QCOMPARE(w.ThroughFileDialog(page->SaveButton(), path, &folder), messages.WideMess(53));
    QCOMPARE(folder, QDir(ProgramFolder()).absolutePath());
    QVERIFY(QFileInfo::exists(path + QStringLiteral(".tpl"))); // the default suffix
    QCOMPARE(Writes(module, sent), (QStringList{"57:01", "11:01"}));
    QCOMPARE(w.Backups(), 0);

    // An edit saved: the first backup holds the module's map before it.
    TParamTreeModel* model = w.Model();
    QVERIFY(model->setData(model->IndexOf(w.Function(0x6F)->Child(0), 1), "7"));
    QVERIFY(w.WaitForRead());
    QVERIFY(w.Save());
    QCOMPARE(Held(module).at(0x6F), quint8(7));
    QCOMPARE(w.Days(), QStringLiteral("7 days"));
    QCOMPARE(w.Backups(), 1);

    // Load Template: the template's values; Save writes them (the PIN from
    // the template, without a question) after the second backup.
    QCOMPARE(w.ThroughFileDialog(page->LoadButton(), path + QStringLiteral(".tpl"), &folder),
             messages.WideMess(56));
    QCOMPARE(w.Days(), QStringLiteral("30 days"));
    QCOMPARE(w.Form()->CanSettingsPanel()->PinEdit()->text(), QStringLiteral("1234"));
    QCOMPARE(Held(module).at(0x6F), quint8(7)); // nothing written yet
    const auto question = WhenMessageBox([](QMessageBox* shown) { shown->close(); }, 3000);
    sent = module.ReceivedReports().size();
    QVERIFY(w.Save());
    QVERIFY(!*question);
    QCOMPARE(Held(module).at(0x6F), quint8(30));
    QCOMPARE(w.Backups(), 2);
    QVERIFY(Writes(module, sent).contains(QStringLiteral("6f:1e")));

    // Restore backup: both, newest first. The newest (with 7) differs from
    // the module in that one value; the first also in the ignition flag and
    // in FN 0x82..0x84, which every save in "Auto" sets. Choosing the
    // newest shows it.
    QStringList rows;
    const auto list = WhenModal([&](QWidget* modal) {
        auto* tree = modal->findChild<QTreeWidget*>(QStringLiteral("BackupList"));
        if (!tree)
            return;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            rows << tree->topLevelItem(i)->text(1);
        tree->setCurrentItem(tree->topLevelItem(0));
        modal->findChild<QPushButton*>(QStringLiteral("LoadBackupButton"))->click();
    });
    QString loaded;
    const auto box = WhenMessageBox(
        [&](QMessageBox* shown) {
            loaded = shown->text();
            shown->button(QMessageBox::Ok)->click();
        },
        20000);
    page->RestoreButton()->click();
    QVERIFY(QTest::qWaitFor([&] { return *box; }, 20000));
    QVERIFY(*list);
    QCOMPARE(rows, (QStringList{"1", "4"}));
    QCOMPARE(loaded, messages.WideMess(56));
    QCOMPARE(w.Days(), QStringLiteral("7 days"));
    QCOMPARE(Held(module).at(0x6F), quint8(30));
}

QTEST_MAIN(TestTemplatesWindow)
#include "tst_templates_window.moc"
