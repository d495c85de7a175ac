// The one safe way the tool writes a file, alone and under Settings.ini and
// the copy of the shipped car list: a refused write (a really full disk, a
// folder that cannot be written, a read-only file) leaves the old file byte
// for byte and nothing beside it, and says so.

#include "../ScratchFileSystem.h"
#include "files/AppFolders.h"
#include "files/SafeWrite.h"
#include "files/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
const QByteArray OldSettings = QByteArrayLiteral(
    "[Settings]\r\nLanguage=Lietuviu\r\nCode=50713\r\n\n; kept by hand\rAutoUpdate=1\r\n");

bool WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The names in a folder, the test's own filler left out.
QStringList Names(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                               QDir::Hidden | QDir::System);
    names.removeAll(QStringLiteral(".filler"));
    return names;
}

// A folder where a write must fail in the way the row names; the old
// Settings.ini sits in it where the row says so.
class TRefusingFolder {
public:
    QString Skip; // why this machine cannot make the situation
    QString Folder;
    QString Target;

    TRefusingFolder(const QString& situation, bool withOldFile) {
        Folder = Local.path();
        if (situation == QLatin1String("full disk") ||
            (situation == QLatin1String("unwritable folder") && IsRoot())) {
            // Root writes into any folder; only a read-only mount stops it.
            Scratch = std::make_unique<TScratchFileSystem>();
            if (!Scratch->Mounted()) {
                Skip = Scratch->Why();
                return;
            }
            Folder = Scratch->Path();
        }
        Target = Folder + QStringLiteral("/Settings.ini");
        if (situation == QLatin1String("folder in the way")) {
            QDir().mkpath(Target);
            return;
        }
        if (withOldFile && !WriteFile(Target, OldSettings))
            Skip = QStringLiteral("cannot prepare the old file");
        if (situation == QLatin1String("read-only file"))
            QFile::setPermissions(Target, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        else if (situation == QLatin1String("full disk") && !Scratch->Fill())
            Skip = QStringLiteral("cannot fill the scratch file system");
        else if (situation == QLatin1String("unwritable folder")) {
            if (Scratch) {
                if (!Scratch->MakeReadOnly())
                    Skip = QStringLiteral("cannot remount the scratch file system read-only");
            } else {
                QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                Restore = true;
            }
        }
    }
    ~TRefusingFolder() {
        if (Restore)
            QFile::setPermissions(Folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }

private:
    static bool IsRoot() {
#ifdef Q_OS_WIN
        return false;
#else
        return ::geteuid() == 0;
#endif
    }
    QTemporaryDir Local;
    std::unique_ptr<TScratchFileSystem> Scratch;
    bool Restore = false;
};

void RefusalRows() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<bool>("oldFile");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full disk") << "full disk" << true << "No space left on device";
    QTest::newRow("full disk, new file") << "full disk" << false << "No space left on device";
    QTest::newRow("unwritable folder") << "unwritable folder" << true << "";
    QTest::newRow("unwritable folder, new file") << "unwritable folder" << false << "";
    QTest::newRow("read-only file") << "read-only file" << true << "the file is read-only";
    QTest::newRow("folder in the way")
        << "folder in the way" << false << "a folder has the file's name";
}
} // namespace

class TestSafeWrite : public QObject {
    Q_OBJECT
private slots:
    void createsAndReplaces() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Settings.ini"));
        QString reason;
        QVERIFY(SafeWriteFile(path, "first", &reason));
        QCOMPARE(ReadFile(path), QByteArray("first"));
        // A replaced file keeps its permissions (a new one would be readable by all).
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QByteArray large(200000, 'z'); // past Qt's write buffer
        QVERIFY2(SafeWriteFile(path, large, &reason), qPrintable(reason));
        QCOMPARE(ReadFile(path), large);
        const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QCOMPARE(QFile::permissions(path) & others, QFileDevice::Permissions());
        QVERIFY(SafeWriteFile(path, QByteArray(), &reason));
        QCOMPARE(ReadFile(path), QByteArray());
        QCOMPARE(Names(dir.path()), QStringList{QStringLiteral("Settings.ini")});
    }

    void writesThroughALink() {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("real.ini"));
        const QString link = dir.filePath(QStringLiteral("Settings.ini"));
        QVERIFY(WriteFile(real, "old"));
        if (!QFile::link(real, link))
            QSKIP("no symbolic links here");
        QVERIFY(SafeWriteFile(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(ReadFile(real), QByteArray("new"));
    }

    void missingFolder() {
        QTemporaryDir dir;
        QString reason;
        QVERIFY(!SafeWriteFile(dir.filePath(QStringLiteral("gone/Settings.ini")), "x", &reason));
        QCOMPARE(reason, QStringLiteral("the folder does not exist"));
        QVERIFY(Names(dir.path()).isEmpty());
    }

    void refused_data() { RefusalRows(); }
    void refused() {
        QFETCH(QString, situation);
        QFETCH(bool, oldFile);
        QFETCH(QString, reason);
        TRefusingFolder folder(situation, oldFile);
        if (!folder.Skip.isEmpty())
            QSKIP(qPrintable(folder.Skip));
        const QStringList before = Names(folder.Folder);
        const QByteArray old = ReadFile(folder.Target);
        QString why;
        QVERIFY(!SafeWriteFile(folder.Target, QByteArray(3000, 'n'), &why));
        QVERIFY(!why.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(why, reason);
        QCOMPARE(ReadFile(folder.Target), old);
        QCOMPARE(Names(folder.Folder), before); // no temporary left behind
    }

    // Settings.ini through its own writer: the old file byte for byte and the
    // message the user sees.
    void settingsKeptWhenRefused_data() { RefusalRows(); }
    void settingsKeptWhenRefused() {
        QFETCH(QString, situation);
        QFETCH(bool, oldFile);
        TRefusingFolder folder(situation, oldFile);
        if (!folder.Skip.isEmpty())
            QSKIP(qPrintable(folder.Skip));
        const QStringList before = Names(folder.Folder);
        const QByteArray old = ReadFile(folder.Target);
        QString error;
        QVERIFY(!TSettingsFile(folder.Target).Write("Settings", "Language", "Русский", &error));
        QCOMPARE(error, QStringLiteral("Unable to write to ") +
                            QDir::toNativeSeparators(QFileInfo(folder.Target).absoluteFilePath()));
        QCOMPARE(ReadFile(folder.Target), old);
        QCOMPARE(Names(folder.Folder), before);
        if (oldFile && situation != QLatin1String("folder in the way"))
            QCOMPARE(TSettingsFile(folder.Target).Read("Settings", "Code", "0"),
                     QByteArray("50713"));
    }

    // The shipped car list is copied whole or not at all.
    void shippedFileOnAFullDisk() {
        TScratchFileSystem scratch(64);
        if (!scratch.Mounted())
            QSKIP(qPrintable(scratch.Why()));
        QVERIFY(QFile::exists(ProgramFolder() + QStringLiteral("CANDATA_FULL.csv")));
        QVERIFY(scratch.Fill());
        qputenv("RV5K_APPDATA", scratch.Path().toLocal8Bit());
        QString error;
        QVERIFY(!InstallShippedFile(QStringLiteral("CANDATA_FULL.csv"), &error));
        qunsetenv("RV5K_APPDATA");
        QCOMPARE(error, QStringLiteral("Unable to write to ") +
                            QDir::toNativeSeparators(scratch.FilePath("CANDATA_FULL.csv")));
        QVERIFY(Names(scratch.Path()).isEmpty());
    }

    void shippedFileInstalledOnce() {
        QTemporaryDir dir;
        qputenv("RV5K_APPDATA", dir.path().toLocal8Bit());
        const QString name = QStringLiteral("CANDATA_FULL.csv");
        QString error;
        QVERIFY(InstallShippedFile(name, &error));
        QCOMPARE(ReadFile(dir.filePath(name)), ReadFile(ProgramFolder() + name));
        // The user's own list is never replaced by the shipped one.
        QVERIFY(WriteFile(dir.filePath(name), "mine"));
        QVERIFY(InstallShippedFile(name, &error));
        QCOMPARE(ReadFile(dir.filePath(name)), QByteArray("mine"));
        // Nothing shipped: false, but no write was refused.
        QVERIFY(!InstallShippedFile(QStringLiteral("NotShipped.csv"), &error));
        qunsetenv("RV5K_APPDATA");
        QVERIFY(error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSafeWrite)
#include "tst_safe_write.moc"
