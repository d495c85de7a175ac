#pragma once
// A small file system of a test's own: a tmpfs mounted on a temporary folder,
// to be filled up or made read-only for real. Mounting needs root (the CI
// runs as root); elsewhere Mounted() is false and Why() says why, for QSKIP.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

class TScratchFileSystem {
public:
    explicit TScratchFileSystem(int kilobytes = 64) {
#ifdef Q_OS_WIN
        Reason = QStringLiteral("no tmpfs on Windows");
        Q_UNUSED(kilobytes);
#else
        if (::geteuid() != 0) {
            Reason = QStringLiteral("mounting a small tmpfs needs root");
            return;
        }
        if (!Folder.isValid()) {
            Reason = QStringLiteral("no temporary folder");
            return;
        }
        IsMounted = Run({QStringLiteral("mount"), QStringLiteral("-t"), QStringLiteral("tmpfs"),
                         QStringLiteral("-o"), QStringLiteral("size=%1k,mode=0755").arg(kilobytes),
                         QStringLiteral("rv5k-test"), Folder.path()});
        if (!IsMounted)
            Reason = QStringLiteral("mount refused a tmpfs here: ") + Output;
#endif
    }
    ~TScratchFileSystem() {
        if (IsMounted && !Run({QStringLiteral("umount"), Folder.path()}))
            Run({QStringLiteral("umount"), QStringLiteral("-l"), Folder.path()});
    }
    TScratchFileSystem(const TScratchFileSystem&) = delete;
    TScratchFileSystem& operator=(const TScratchFileSystem&) = delete;

    bool Mounted() const {
        return IsMounted;
    }
    QString Why() const {
        return Reason;
    }
    QString Path() const {
        return Folder.path();
    }
    QString FilePath(const QString& name) const {
        return Folder.filePath(name);
    }

    // Takes every free block: the next write that needs one fails with ENOSPC.
    bool Fill() {
        QFile filler(FilePath(QStringLiteral(".filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        // Smaller pieces for what is left of the last block.
        const QByteArray byte(1, 'x');
        while (filler.write(byte) == 1) {
        }
        return true;
    }
    // Nothing in it can be changed any more, not even by root.
    bool MakeReadOnly() {
        return Run({QStringLiteral("mount"), QStringLiteral("-o"), QStringLiteral("remount,ro"),
                    Folder.path()});
    }

private:
    bool Run(const QStringList& command) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(command.first(), command.mid(1));
        if (!process.waitForFinished(10000)) {
            Output = QStringLiteral("%1 did not finish").arg(command.first());
            return false;
        }
        Output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    QTemporaryDir Folder;
    bool IsMounted = false;
    QString Reason;
    QString Output;
};
