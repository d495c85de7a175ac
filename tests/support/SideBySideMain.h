#pragma once
// The main of a test program whose functions spend their time waiting for the
// simulated module or base at the protocol's own pace. Run without arguments,
// as CTest runs it, the program starts itself once per test function, and once
// per row of a function with rows, and lets these processes run side by side:
// it takes as long as its longest function instead of the sum of them, while
// each function still waits every report and time-out out in full.
//
// Processes rather than threads or fixtures sharing one event loop: the
// windows' data folder (RV5K_APPDATA), the working folder and the active
// modal widget belong to the process, so two scenarios in one process would
// answer each other's boxes and read each other's files.
//
// A test that changes files beside the program (the language file, the
// shipped car list) names them: each process then runs from a folder of its
// own, with the program linked into it and those files copied beside it.
//
// The output of each process comes back whole, in the order of the functions,
// and the program fails when any of them failed. With any argument (a
// function name, -o, -v2, -datatags) or with RV5K_TEST_SERIAL set it is an
// ordinary QtTest program. RV5K_TEST_JOBS caps how many processes run at once.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace SideBySide {

constexpr int DefaultJobs = 16;

// Whether this start is the one that hands the functions out.
inline bool Wanted(int argc) {
    return argc == 1 && !qEnvironmentVariableIsSet("RV5K_TEST_SERIAL");
}

// "function" or "function:row" for each line of the program's -datatags
// ("Class function" or "Class function row").
inline QStringList Units(const QByteArray& dataTags) {
    QStringList units;
    for (const QByteArray& raw : dataTags.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        const qsizetype afterClass = line.indexOf(u' ');
        if (afterClass < 0)
            continue;
        const qsizetype afterFunction = line.indexOf(u' ', afterClass + 1);
        const QString function =
            line.mid(afterClass + 1, afterFunction < 0 ? -1 : afterFunction - afterClass - 1);
        QString unit = function;
        // Rows of a global data table cannot be named alone: the whole
        // function runs in one process then.
        if (afterFunction >= 0 && !line.contains(QLatin1String(" __global__ ")))
            unit += u':' + line.mid(afterFunction + 1);
        if (!unit.isEmpty() && !units.contains(unit))
            units << unit;
    }
    return units;
}

// A folder of the unit's own with the program (a hard link where the file
// system allows one, else a copy) and the files named beside it; the program
// in it, or an empty string.
inline QString OwnProgram(const QString& program, const QString& folder,
                          const QStringList& beside) {
    const QFileInfo original(program);
    const QString copy = QDir(folder).filePath(original.fileName());
    if (!QDir().mkpath(folder))
        return {};
    bool linked = false;
#ifdef Q_OS_UNIX
    linked =
        ::link(QFile::encodeName(program).constData(), QFile::encodeName(copy).constData()) == 0;
#endif
    if (!linked && !QFile::copy(program, copy))
        return {};
    for (const QString& name : beside)
        if (!QFile::copy(original.dir().filePath(name), QDir(folder).filePath(name)))
            return {};
    return copy;
}

struct TUnit {
    QString Name;
    std::unique_ptr<QProcess> Process;
    QElapsedTimer Clock;
    qint64 Ms = 0;
    bool Done = false;
    bool Passed = false;
    QString Error; // why it did not start
};

inline void Print(const QByteArray& text) {
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    std::fflush(stdout);
}

inline int Run(int argc, char** argv, const QStringList& beside = {}) {
    QCoreApplication app(argc, argv);
    const QString program = QCoreApplication::applicationFilePath();
    // Beside the program: the same file system, so that the links hold.
    std::unique_ptr<QTemporaryDir> folders;
    if (!beside.isEmpty()) {
        folders = std::make_unique<QTemporaryDir>(QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/side-by-side-XXXXXX"));
        if (!folders->isValid()) {
            Print("FAIL: no folder for the processes beside the program\n");
            return 1;
        }
    }

    QProcess list;
    list.setProcessChannelMode(QProcess::SeparateChannels);
    list.start(program, {QStringLiteral("-datatags")});
    if (!list.waitForFinished(60000) || list.exitStatus() != QProcess::NormalExit ||
        list.exitCode() != 0) {
        Print("FAIL: the list of test functions could not be read\n" +
              list.readAllStandardOutput() + list.readAllStandardError());
        return 1;
    }
    const QStringList names = Units(list.readAllStandardOutput());
    if (names.isEmpty()) {
        Print("FAIL: the program has no test functions\n");
        return 1;
    }

    std::vector<TUnit> units(std::size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        units[std::size_t(i)].Name = names[i];
    const int jobs = qMax(1, qEnvironmentVariableIsSet("RV5K_TEST_JOBS")
                                 ? qEnvironmentVariableIntValue("RV5K_TEST_JOBS")
                                 : DefaultJobs);
    QElapsedTimer total;
    total.start();
    QEventLoop loop;
    std::size_t started = 0;
    std::size_t printed = 0;
    int running = 0;

    // Output in the order of the functions, each as soon as those before it
    // are through.
    const auto printReady = [&] {
        while (printed < units.size() && units[printed].Done) {
            TUnit& unit = units[printed++];
            Print(QStringLiteral("=== %1 (%2 s) %3 ===\n")
                      .arg(unit.Name)
                      .arg(double(unit.Ms) / 1000, 0, 'f', 1)
                      .arg(unit.Passed ? QStringLiteral("passed") : QStringLiteral("FAILED"))
                      .toUtf8() +
                  unit.Error.toUtf8() + unit.Process->readAll());
        }
    };
    std::function<void()> startNext = [&] {
        while (running < jobs && started < units.size()) {
            TUnit& unit = units[started++];
            unit.Process = std::make_unique<QProcess>();
            unit.Process->setProcessChannelMode(QProcess::MergedChannels);
            QObject::connect(unit.Process.get(), &QProcess::finished, &loop,
                             [&, u = &unit](int code, QProcess::ExitStatus status) {
                                 u->Ms = u->Clock.elapsed();
                                 u->Done = true;
                                 u->Passed = status == QProcess::NormalExit && code == 0;
                                 --running;
                                 printReady();
                                 startNext();
                                 if (running == 0)
                                     loop.quit();
                             });
            QObject::connect(unit.Process.get(), &QProcess::errorOccurred, &loop,
                             [&, u = &unit](QProcess::ProcessError error) {
                                 if (error != QProcess::FailedToStart)
                                     return; // a crash is told by finished
                                 u->Error = u->Process->errorString() + u'\n';
                                 u->Done = true;
                                 --running;
                                 printReady();
                                 startNext();
                                 if (running == 0)
                                     loop.quit();
                             });
            QString own = program;
            if (folders)
                own = OwnProgram(program, folders->filePath(QString::number(started)), beside);
            unit.Clock.start();
            ++running;
            unit.Process->start(own, {unit.Name});
        }
    };
    startNext();
    if (running > 0)
        loop.exec();
    printReady();

    QStringList failed;
    for (const TUnit& unit : units)
        if (!unit.Passed)
            failed << unit.Name;
    Print(QStringLiteral("Side by side: %1 processes, at most %2 at once, %3 s, %4 failed%5\n")
              .arg(units.size())
              .arg(jobs)
              .arg(double(total.elapsed()) / 1000, 0, 'f', 1)
              .arg(failed.size())
              .arg(failed.isEmpty() ? QString() : QStringLiteral(": ") + failed.join(u", "))
              .toUtf8());
    return int(qMin<qsizetype>(failed.size(), 127));
}
} // namespace SideBySide

// QTEST_MAIN and QTEST_GUILESS_MAIN with the functions run side by side; the
// OWN_FOLDER form takes the names of the files beside the program that the
// test changes.
#define RV5K_SIDE_BY_SIDE_MAIN(TestObject)                                                         \
    QTEST_MAIN_WRAPPER(TestObject,                                                                 \
                       if (SideBySide::Wanted(argc)) return SideBySide::Run(argc, argv);           \
                       QTEST_MAIN_SETUP())
#define RV5K_SIDE_BY_SIDE_GUILESS_MAIN(TestObject)                                                 \
    QTEST_MAIN_WRAPPER(TestObject,                                                                 \
                       if (SideBySide::Wanted(argc)) return SideBySide::Run(argc, argv);           \
                       QTEST_QAPP_SETUP(QCoreApplication))
#define RV5K_SIDE_BY_SIDE_MAIN_OWN_FOLDER(TestObject, ...)                                         \
    QTEST_MAIN_WRAPPER(TestObject, if (SideBySide::Wanted(argc)) return SideBySide::Run(           \
                                       argc, argv, {__VA_ARGS__});                                 \
                       QTEST_MAIN_SETUP())
