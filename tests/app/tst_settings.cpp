// The settings file and the application data folder.

#include "files/AppFolders.h"
#include "files/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Sets or clears an environment variable for one scope.
class TEnvScope {
public:
    TEnvScope(const char* name, const QByteArray& value) : Name(name) {
        Had = qEnvironmentVariableIsSet(name);
        Old = qgetenv(name);
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~TEnvScope() {
        if (Had)
            qputenv(Name, Old);
        else
            qunsetenv(Name);
    }

private:
    const char* Name;
    bool Had = false;
    QByteArray Old;
};
} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void writtenValueIsReadAtOnce();
    void writeCreatesMissingFolder();
    void refusedWrite_data();
    void refusedWrite();
    void appDataFolder_data();
    void appDataFolder();
    void settingsLiveInAppDataFolder();
};

void TestSettings::read_data() {
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("no file") << QByteArray() << QByteArray("Code") << QByteArray("0");
    QTest::newRow("no section") << QByteArray("[Other]\nCode=5\n") << QByteArray("Code")
                                << QByteArray("0");
    QTest::newRow("no key") << QByteArray("[Settings]\nLanguage=English\n") << QByteArray("Code")
                            << QByteArray("0");
    QTest::newRow("found") << QByteArray("[Settings]\nCode=50713\n") << QByteArray("Code")
                           << QByteArray("50713");
    QTest::newRow("key in any case")
        << QByteArray("[Settings]\ncODE=7\n") << QByteArray("Code") << QByteArray("7");
    QTest::newRow("section in any case") << QByteArray("[SETTINGS]\r\nLanguage=Lietuviu\r\n")
                                         << QByteArray("language") << QByteArray("Lietuviu");
    QTest::newRow("blanks around")
        << QByteArray(" [ Settings ] \n  Code =  12  \n") << QByteArray("Code") << QByteArray("12");
    QTest::newRow("quoted") << QByteArray("[Settings]\nLanguage=\"Eesti\"\n")
                            << QByteArray("Language") << QByteArray("Eesti");
    QTest::newRow("empty value") << QByteArray("[Settings]\nCode=\n") << QByteArray("Code")
                                 << QByteArray("");
    QTest::newRow("key of the next section")
        << QByteArray("[Settings]\nA=1\n[Next]\nCode=9\n") << QByteArray("Code") << QByteArray("0");
    QTest::newRow("comment is no key")
        << QByteArray("[Settings]\n;Code=9\n") << QByteArray("Code") << QByteArray("0");
    QTest::newRow("first of two") << QByteArray("[Settings]\nCode=1\nCode=2\n")
                                  << QByteArray("Code") << QByteArray("1");
    QTest::newRow("8-bit value kept") << QByteArray("[Settings]\nLanguage=Lietuvi\xf8\n")
                                      << QByteArray("Language") << QByteArray("Lietuvi\xf8");
}

void TestSettings::read() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    if (!content.isNull())
        WriteFile(path, content);
    QCOMPARE(TSettingsFile(path).Read("Settings", key, "0"), expected);
}

void TestSettings::write_data() {
    QTest::addColumn<QByteArray>("before"); // null: no file
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("new file") << QByteArray() << QByteArray("Language") << QByteArray("English")
                              << QByteArray("[Settings]\nLanguage=English\n");
    QTest::newRow("replaces only its line")
        << QByteArray("; hand notes\n[Settings]\nLanguage=English\nAutoUpdate=0\n\n[Other]\nX=1\n")
        << QByteArray("autoupdate") << QByteArray("1")
        << QByteArray("; hand notes\n[Settings]\nLanguage=English\nAutoUpdate=1\n\n[Other]\nX=1\n");
    QTest::newRow("keeps the file's spelling")
        << QByteArray("[settings]\n  LANGUAGE = English\n") << QByteArray("Language")
        << QByteArray("Eesti") << QByteArray("[settings]\n  LANGUAGE =Eesti\n");
    QTest::newRow("adds to its section")
        << QByteArray("[Settings]\nCode=1\n\n[Other]\nX=1\n") << QByteArray("Language")
        << QByteArray("English")
        << QByteArray("[Settings]\nCode=1\nLanguage=English\n\n[Other]\nX=1\n");
    QTest::newRow("adds the section")
        << QByteArray("[Other]\r\nX=1\r\n") << QByteArray("Code") << QByteArray("2")
        << QByteArray("[Other]\r\nX=1\r\n[Settings]\r\nCode=2\r\n");
    QTest::newRow("unterminated last line")
        << QByteArray("[Settings]\nCode=1") << QByteArray("AutoUpdate") << QByteArray("1")
        << QByteArray("[Settings]\nCode=1\nAutoUpdate=1\n");
    // Every line not changed stays byte for byte; a new line takes the end of
    // its neighbours, so a blank line after it is not merged away.
    QTest::newRow("mixed line ends keep the blank line")
        << QByteArray("[Settings]\rCode=1\n\n[Other]\r\nX=1\r\n") << QByteArray("Language")
        << QByteArray("English")
        << QByteArray("[Settings]\rCode=1\nLanguage=English\n\n[Other]\r\nX=1\r\n");
    QTest::newRow("new line takes the end of the line above")
        << QByteArray("[Settings]\nCode=1\r\n[Other]\rX=1\n") << QByteArray("AutoUpdate")
        << QByteArray("1") << QByteArray("[Settings]\nCode=1\r\nAutoUpdate=1\r\n[Other]\rX=1\n");
    QTest::newRow("changed line keeps its own end")
        << QByteArray("[Settings]\rLanguage=English\n\r\nCode=1\r") << QByteArray("Language")
        << QByteArray("Eesti") << QByteArray("[Settings]\rLanguage=Eesti\n\r\nCode=1\r");
    QTest::newRow("section added after lone CR ends")
        << QByteArray("[Other]\rX=1\r") << QByteArray("Code") << QByteArray("2")
        << QByteArray("[Other]\rX=1\r[Settings]\rCode=2\r");
    QTest::newRow("value stays on its line")
        << QByteArray("[Settings]\nLanguage=English\n") << QByteArray("Language")
        << QByteArray("Eesti\n[Evil]\nCode=50713") << QByteArray("[Settings]\nLanguage=Eesti\n");
}

void TestSettings::write() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Settings.ini"));
    if (!before.isNull())
        WriteFile(path, before);
    QString error;
    QVERIFY(TSettingsFile(path).Write("Settings", key, value, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(ReadFile(path), after);
}

void TestSettings::writtenValueIsReadAtOnce() {
    QTemporaryDir dir;
    const TSettingsFile file(dir.filePath(QStringLiteral("Settings.ini")));
    QVERIFY(file.Write("Settings", "Language", "English"));
    QCOMPARE(file.Read("Settings", "Language", "x"), QByteArray("English"));
    // A change made behind the tool's back is seen too: nothing is cached.
    WriteFile(file.Path(), "[Settings]\nLanguage=Eesti\n");
    QCOMPARE(file.Read("Settings", "Language", "x"), QByteArray("Eesti"));
    QVERIFY(file.Write("Settings", "Language", "Suomi"));
    QCOMPARE(file.Read("SETTINGS", "LANGUAGE", "x"), QByteArray("Suomi"));
}

void TestSettings::writeCreatesMissingFolder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a/RV5K Loader/Settings.ini"));
    QVERIFY(TSettingsFile(path).Write("Settings", "AutoUpdate", "1"));
    QCOMPARE(ReadFile(path), QByteArray("[Settings]\nAutoUpdate=1\n"));
}

void TestSettings::refusedWrite_data() {
    QTest::addColumn<QString>("blocker"); // what stands where the write must go
    QTest::newRow("file is a folder") << QStringLiteral("Settings.ini");
    QTest::newRow("folder is a file") << QStringLiteral("data");
}

void TestSettings::refusedWrite() {
    QFETCH(QString, blocker);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("data/Settings.ini"));
    if (blocker == QLatin1String("data"))
        WriteFile(dir.filePath(blocker), "not a folder");
    else
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data/Settings.ini")));
    QString error;
    QVERIFY(!TSettingsFile(path).Write("Settings", "Language", "English", &error));
    QCOMPARE(error, QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
    QCOMPARE(TSettingsFile(path).Read("Settings", "Language", "none"), QByteArray("none"));
}

void TestSettings::appDataFolder_data() {
    QTest::addColumn<QByteArray>("appData");
    QTest::addColumn<QByteArray>("xdgDataHome");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QString>("expected");
    const QByteArray unset;
    QTest::newRow("override") << QByteArray("/opt/rv5k") << QByteArray("/x") << QByteArray("/h")
                              << QStringLiteral("/opt/rv5k/");
    QTest::newRow("override with separator")
        << QByteArray("/opt/rv5k/") << unset << unset << QStringLiteral("/opt/rv5k/");
    QTest::newRow("xdg data home")
        << unset << QByteArray("/data") << QByteArray("/h") << QStringLiteral("/data/RV5K Loader/");
    QTest::newRow("home") << unset << unset << QByteArray("/home/ann")
                          << QStringLiteral("/home/ann/.local/share/RV5K Loader/");
    QTest::newRow("nothing to name it") << unset << unset << unset << QString();
}

void TestSettings::appDataFolder() {
#ifdef Q_OS_WIN
    QSKIP("the Linux folder rules");
#endif
    QFETCH(QByteArray, appData);
    QFETCH(QByteArray, xdgDataHome);
    QFETCH(QByteArray, home);
    QFETCH(QString, expected);
    const TEnvScope a("RV5K_APPDATA", appData);
    const TEnvScope x("XDG_DATA_HOME", xdgDataHome);
    const TEnvScope h("HOME", home);
    QCOMPARE(AppDataFolder(), expected);
}

void TestSettings::settingsLiveInAppDataFolder() {
    QTemporaryDir dir;
    const TEnvScope a("RV5K_APPDATA", dir.path().toLocal8Bit());
    QCOMPARE(ReadSetting("Settings", "Code", "0"), QByteArray("0"));
    QVERIFY(WriteSetting("Settings", "Code", "2"));
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("Settings.ini"))),
             QByteArray("[Settings]\nCode=2\n"));
    QCOMPARE(ReadSetting("settings", "code", "0"), QByteArray("2"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
