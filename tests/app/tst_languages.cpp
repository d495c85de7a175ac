// Languages in the running tool: start-up with the shipped comps.txt, the
// language list, the change of language with its Settings.ini key, the
// failures of the language file, and a check that keeps the shipped file in
// step with the windows and the messages the code asks for.

#include "ModalHelper.h"
#include "app/AppWindows.h"
#include "app/LanguageSwitch.h"
#include "app/TForm1.h"
#include "app/TForm5.h"
#include "app/TForm7.h"
#include "files/SettingsFile.h"
#include "i18n/LanguageFile.h"
#include "i18n/MessageTable.h"
#include "i18n/view/CaptionTranslator.h"
#include "link/hid/SimHidBus.h"
#include "sim/SimRv5kModule.h"
#include "update/view/TFormHyper.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

namespace {
const QString Russian = QStringLiteral("Русский");
const QString Lithuanian = QStringLiteral("Lietuvių");

QString SourceDir() {
    return qEnvironmentVariable("RV5K_SOURCE_DIR");
}

QByteArray StoredLanguage() {
    return ReadSetting("Settings", "Language", "<none>");
}

// The main window after its language start-up has run.
struct TStarted {
    TStarted() {
        Windows = std::make_unique<TAppWindows>(&Bus);
        Form()->show();
    }
    bool WaitForLanguages() {
        return QTest::qWaitFor([this] { return Form()->LanguagesLoaded; }, 3000);
    }
    // As the user picking an entry of the list.
    void Pick(const QString& name) {
        QComboBox* list = Form()->Controls().LanguageBox;
        const int index = list->findText(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    TForm1* Form() const { return Windows->Form1(); }
    TSimHidBus Bus;
    std::unique_ptr<TAppWindows> Windows;
};

// A language switch on a bare window, with the error box replaced by a list.
struct TBareSwitch {
    TBareSwitch() {
        Window.setObjectName(QStringLiteral("Form1"));
        List = new QComboBox(&Window);
        Label = new QLabel(&Window);
        Switch = std::make_unique<TLanguageSwitch>(
            Table, TLanguageSwitch::THost{&Window, List, Label, [] { return true; },
                                          [this](const QString& error) { Errors << error; }});
    }
    QMainWindow Window;
    QComboBox* List;
    QLabel* Label;
    TMessageTable Table;
    std::unique_ptr<TLanguageSwitch> Switch;
    QStringList Errors;
};

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

// Every message number the sources ask for: literal WideMess and ShowProgress
// arguments and the named message constants.
std::set<int> MessageNumbersInSources() {
    std::set<int> numbers;
    const QRegularExpression asked(QStringLiteral(
        R"((?:WideMess|ShowProgress)\s*\(\s*(\d+)\s*\)|\b\w*Message\s*=\s*(\d+)\s*;)"));
    QDirIterator files(SourceDir() + QStringLiteral("/src"), {"*.cpp", "*.h"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : asked.globalMatch(text)) {
            const QString number =
                match.captured(1).isEmpty() ? match.captured(2) : match.captured(1);
            numbers.insert(number.toInt());
        }
    }
    return numbers;
}
} // namespace

class TestLanguages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void startsInEnglish();
    void russianTranslatesEveryWindow();
    void lithuanianLetters();
    void connectedModuleKeepsStatus();
    void choiceSurvivesRestart();
    void storedNameNotInList();
    void pickingCurrentLanguageDoesNothing();
    void missingFileShowsError();
    void badFileKeepsWhatWasRead();
    void settingsWriteRefused();
    void windowEntryThatIsNoWindow();
    void unchangedLanguageIsNotRewritten();
    void fileWithoutLanguage_data();
    void fileWithoutLanguage();
    void shippedFileMatchesTool();

private:
    std::unique_ptr<QTemporaryDir> AppData;
};

void TestLanguages::init() {
    AppData = std::make_unique<QTemporaryDir>();
    qputenv("RV5K_APPDATA", AppData->path().toLocal8Bit());
}

void TestLanguages::startsInEnglish() {
    TStarted app;
    // Read as the windows are created, before any device can connect.
    QVERIFY(app.Form()->LanguagesLoaded);
    QComboBox* list = app.Form()->Controls().LanguageBox;
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->itemText(0), QStringLiteral("English"));
    QCOMPARE(list->itemText(1), Lithuanian);
    QCOMPARE(list->itemText(2), Russian);
    QCOMPARE(list->currentIndex(), 0);
    QCOMPARE(app.Form()->windowTitle(), QStringLiteral("RV5K Loader v1.21"));
    QCOMPARE(app.Form()->Controls().StatusLabel->text(), QStringLiteral("No Module"));
    QCOMPARE(app.Form()->Controls().PageControl1->tabText(0), QStringLiteral("Car"));
    QCOMPARE(StoredLanguage(), QByteArray("English"));
}

void TestLanguages::russianTranslatesEveryWindow() {
    TStarted app;
    QVERIFY(app.WaitForLanguages());
    QSignalSpy changed(app.Form()->Languages(), &TLanguageSwitch::LanguageChanged);
    app.Pick(Russian);
    QCOMPARE(changed.count(), 1);
    TMainWindowUi& ui = app.Form()->Controls();
    QCOMPARE(app.Form()->windowTitle(), QStringLiteral("RV5K Loader v1.21"));
    QCOMPARE(ui.Label1->text(), QStringLiteral("Подключите модуль TLX2..."));
    QCOMPARE(ui.SaveButton->text(), QStringLiteral("Сохранить"));
    QCOMPARE(ui.SaveButton->toolTip(), QStringLiteral("Записать изменённые настройки в модуль"));
    QCOMPARE(ui.PageControl1->tabText(1), QStringLiteral("Настройки сигнализации"));
    QCOMPARE(ui.StatusLabel->text(), QStringLiteral("Модуль не подключён"));
    QCOMPARE(app.Windows->Form7()->windowTitle(), QStringLiteral("Выбор базы"));
    QCOMPARE(app.Form()->Messages().WideMess(42), QStringLiteral("Подождите..."));
    // Stored in the language's own code page, Windows-1251.
    QCOMPARE(StoredLanguage(), QByteArray("\xd0\xf3\xf1\xf1\xea\xe8\xe9"));

    // The message box takes its title and captions from the language.
    QString title;
    QStringList captions;
    WhenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QVERIFY(box);
        title = box->windowTitle();
        for (QAbstractButton* button : box->buttons())
            captions << button->text();
        box->button(QMessageBox::No)->click();
    });
    QCOMPARE(app.Form()->ShowMessageBox(QStringLiteral("?"), 3, 1 | 2 | 8), 7);
    QCOMPARE(title, QStringLiteral("Подтверждение"));
    captions.sort();
    QCOMPARE(captions, (QStringList{"Да", "Нет", "Отмена"}));
    QVERIFY(!QApplication::focusWidget());
}

void TestLanguages::lithuanianLetters() {
    TStarted app;
    QVERIFY(app.WaitForLanguages());
    app.Pick(Lithuanian);
    TMainWindowUi& ui = app.Form()->Controls();
    QCOMPARE(ui.Label1->text(), QStringLiteral("Prijunkite TLX2 modulį..."));
    QCOMPARE(ui.PageControl1->tabText(2), QStringLiteral("Šablonai"));
    QCOMPARE(ui.ReadOnConnectBox->text(),
             QStringLiteral("Prisijungus nuskaityti MQR-CAN nustatymus"));
    QCOMPARE(app.Form()->Messages().WideMess(34), QStringLiteral("Klaida"));
}

void TestLanguages::connectedModuleKeepsStatus() {
    TSimProfile profile;
    profile.SerialNumber = QStringLiteral("L1");
    TSimRv5kModule module(profile);
    TStarted app;
    app.Form()->Controls().ReadOnConnectBox->setChecked(false);
    app.Bus.Plug(&module);
    QLabel* status = app.Form()->Controls().StatusLabel;
    QTRY_VERIFY_WITH_TIMEOUT(status->text().endsWith(QStringLiteral(" SN:L1")), 3000);
    QVERIFY(app.WaitForLanguages());
    const QString connected = status->text();
    app.Pick(Russian);
    QCOMPARE(status->text(), connected);
    app.Bus.Unplug(&module);
    QTRY_COMPARE_WITH_TIMEOUT(status->text(), QStringLiteral("Модуль не подключён"), 3000);
}

void TestLanguages::choiceSurvivesRestart() {
    {
        TStarted app;
        QVERIFY(app.WaitForLanguages());
        app.Pick(Russian);
    }
    {
        TStarted again;
        QVERIFY(again.WaitForLanguages());
        QCOMPARE(again.Form()->Controls().LanguageBox->currentText(), Russian);
        QCOMPARE(again.Form()->Controls().SaveButton->text(), QStringLiteral("Сохранить"));
    }
    // Any letter case of the stored name finds its entry, and so does the
    // spelling without diacritics of older versions, which stays as it was.
    QVERIFY(WriteSetting("Settings", "Language", "LIETUVIU"));
    {
        TStarted third;
        QVERIFY(third.WaitForLanguages());
        QCOMPARE(third.Form()->Controls().LanguageBox->currentText(), Lithuanian);
        QCOMPARE(third.Form()->Controls().SaveButton->text(), QStringLiteral("Įrašyti"));
        QCOMPARE(StoredLanguage(), QByteArray("LIETUVIU"));
    }
    // Picked anew, the name is stored in the language's own code page.
    {
        TStarted fourth;
        QVERIFY(fourth.WaitForLanguages());
        fourth.Pick(Russian);
        fourth.Pick(Lithuanian);
        QCOMPARE(StoredLanguage(), QByteArray("Lietuvi\xf8"));
    }
}

void TestLanguages::storedNameNotInList() {
    QVERIFY(WriteSetting("Settings", "Language", "Klingon"));
    TStarted app;
    QVERIFY(app.WaitForLanguages());
    TMainWindowUi& ui = app.Form()->Controls();
    QCOMPARE(ui.LanguageBox->currentIndex(), -1);
    QCOMPARE(ui.Label1->text(), QStringLiteral("Please connect TLX2 module..."));
    QCOMPARE(ui.PageControl1->tabText(0), QStringLiteral("TntTabSheet10")); // not translated
    QCOMPARE(app.Form()->Messages().WideMess(34), QStringLiteral("Error")); // the first language
    QCOMPARE(StoredLanguage(), QByteArray());
    // Picking the first language now applies it, although its messages answered.
    app.Pick(QStringLiteral("English"));
    QCOMPARE(ui.PageControl1->tabText(0), QStringLiteral("Car"));
    QCOMPARE(StoredLanguage(), QByteArray("English"));
}

void TestLanguages::pickingCurrentLanguageDoesNothing() {
    TStarted app;
    QVERIFY(app.WaitForLanguages());
    QVERIFY(QFile::remove(SettingsFilePath()));
    QSignalSpy changed(app.Form()->Languages(), &TLanguageSwitch::LanguageChanged);
    app.Form()->Controls().SaveButton->setText(QStringLiteral("changed by hand"));
    app.Pick(QStringLiteral("English"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!QFile::exists(SettingsFilePath())); // not even a write
    QCOMPARE(app.Form()->Controls().SaveButton->text(), QStringLiteral("changed by hand"));
}

void TestLanguages::missingFileShowsError() {
    TBareSwitch bare;
    QTemporaryDir dir;
    QVERIFY(!bare.Switch->LoadLanguages(dir.filePath(QStringLiteral("comps.txt"))));
    QCOMPARE(bare.Errors, QStringList{QStringLiteral("Not found comps.txt")});
    QCOMPARE(bare.List->count(), 0);
    QCOMPARE(bare.Table.WideMess(26), QString());
}

void TestLanguages::badFileKeepsWhatWasRead() {
    TBareSwitch bare;
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("comps.txt"),
                                   "%Eesti\t186\t0\r\n$\xf5ige\r\n=\r\n$later\r\n");
    QVERIFY(!bare.Switch->LoadLanguages(path));
    QCOMPARE(bare.Errors, QStringList{QStringLiteral("3 bloga eilute QZTcomps.txt")});
    // The tool goes on with the table as far as it was read.
    QCOMPARE(bare.Table.Kalbos().size(), 1);
    QCOMPARE(bare.Table.GetMessage(1), QByteArray("\xf5ige"));
    QCOMPARE(bare.List->count(), 0);
}

void TestLanguages::settingsWriteRefused() {
    QTemporaryDir dir;
    const QString notAFolder = WriteFile(dir, QStringLiteral("file"), "x");
    qputenv("RV5K_APPDATA", notAFolder.toLocal8Bit());
    TBareSwitch bare;
    QSignalSpy changed(bare.Switch.get(), &TLanguageSwitch::LanguageChanged);
    QVERIFY(bare.Switch->LoadLanguages(
        WriteFile(dir, QStringLiteral("comps.txt"), "%English\t0\t0\n=Form1\tTool\n$a\n")));
    bare.Switch->StartUp();
    QCOMPARE(bare.Errors.size(), 1);
    QVERIFY(bare.Errors.first().startsWith(QStringLiteral("Unable to write to ")));
    // The steps after the write do not run.
    QCOMPARE(bare.Window.windowTitle(), QStringLiteral("Tool v1.21"));
    QCOMPARE(changed.count(), 0);
}

void TestLanguages::windowEntryThatIsNoWindow() {
    TBareSwitch bare;
    bare.Label->setObjectName(QStringLiteral("StatusLabel"));
    QTemporaryDir dir;
    QVERIFY(bare.Switch->LoadLanguages(
        WriteFile(dir, QStringLiteral("comps.txt"), "%English\t0\t0\n=StatusLabel\tx\n$a\n")));
    bare.Switch->StartUp();
    QCOMPARE(bare.Errors.size(), 1);
    QVERIFY(bare.Errors.first().contains(QStringLiteral("StatusLabel")));
    QCOMPARE(bare.Table.CurrentLanguage(), 0);
    QCOMPARE(StoredLanguage(), QByteArray("<none>")); // the change stopped before its write
}

void TestLanguages::unchangedLanguageIsNotRewritten() {
    // A read-only Settings.ini that already holds the language: no write, no
    // error box at start; only a real change of language finds the file locked.
    const QByteArray settings = "[Settings]\r\nLanguage=Eesti\r\n\nCode=5\r";
    QFile file(SettingsFilePath());
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
    TBareSwitch bare;
    QSignalSpy changed(bare.Switch.get(), &TLanguageSwitch::LanguageChanged);
    QTemporaryDir dir;
    QVERIFY(bare.Switch->LoadLanguages(WriteFile(dir, QStringLiteral("comps.txt"),
                                                 "%English\t0\t0\n$No Module\n%Eesti\t186\t0\n")));
    bare.Switch->StartUp();
    QCOMPARE(bare.Errors, QStringList());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(bare.List->currentText(), QStringLiteral("Eesti"));
    bare.List->setCurrentIndex(0);
    emit bare.List->activated(0);
    QCOMPARE(bare.Errors, QStringList{TSettingsFile::WriteErrorText(SettingsFilePath())});
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), settings);
}

void TestLanguages::fileWithoutLanguage_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("comments only") << QByteArray("# languages follow\r\n\r\n");
    QTest::newRow("junk") << QByteArray("\x00\xff\x13garbage\n\tx\r\r\x80\xfe", 17);
}

void TestLanguages::fileWithoutLanguage() {
    QFETCH(QByteArray, content);
    QVERIFY(WriteSetting("Settings", "Language", "Lietuviu"));
    TBareSwitch bare;
    bare.Label->setText(QStringLiteral("No Module"));
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("comps.txt"), content);
    QVERIFY(!bare.Switch->LoadLanguages(path));
    // Once, in plain words; the designed texts stay and the stored choice too.
    QCOMPARE(bare.Errors, QStringList{QStringLiteral(
                              "The language file comps.txt holds no language. The texts stay "
                              "in English.")});
    QCOMPARE(bare.List->count(), 0);
    QCOMPARE(bare.Label->text(), QStringLiteral("No Module"));
    QCOMPARE(StoredLanguage(), QByteArray("Lietuviu"));
}

void TestLanguages::shippedFileMatchesTool() {
    TKalbos languages;
    QByteArray error;
    QVERIFY2(
        TLanguageFile::Load(SourceDir() + QStringLiteral("/data/comps.txt"), &languages, &error),
        error.constData());
    QCOMPARE(languages.size(), 3);
    QCOMPARE(languages[1].Charset, 186);
    QCOMPARE(languages[2].Charset, 204);

    TSimHidBus bus;
    TAppWindows windows(&bus);
    const std::set<int> asked = MessageNumbersInSources();
    QVERIFY(asked.count(26) && asked.count(33) && asked.count(41) && asked.count(42) &&
            asked.count(64));
    for (const tkalba& language : languages) {
        const QByteArray name = language.Name;
        QCOMPARE(language.Messages.size(), languages.first().Messages.size());
        for (int number : asked)
            QVERIFY2(number <= language.Messages.size() && !language.Messages[number - 1].isEmpty(),
                     qPrintable(QStringLiteral("%1: message %2").arg(name).arg(number)));
        for (const tforma& entry : language.Forms) {
            bool notWindow = false;
            QWidget* window = TCaptionTranslator::FindWindow(entry.Name, &notWindow);
            QVERIFY2(window, entry.Name.constData());
            for (const tkomponentas& control : entry.Components) {
                QObject* found = TCaptionTranslator::FindControl(window, control.Name);
                const QByteArray where = name + " " + entry.Name + "." + control.Name;
                QVERIFY2(found, where.constData());
                // The kind key fits the control: its texts apply.
                QVERIFY2(TCaptionTranslator::ApplyControl(found, control,
                                                          CodePageOfCharset(language.Charset)),
                         where.constData());
            }
        }
    }
}

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
