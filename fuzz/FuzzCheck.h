#pragma once
// Shared by the fuzz targets. A broken promise ends the run as a crash does,
// so libFuzzer keeps the input and the corpus replay of the ordinary build
// fails on it.

#include <QCoreApplication>
#include <QtGlobal>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition, promise)                                                             \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "broken promise: %s\n  (%s, %s:%d)\n", promise, #condition,       \
                         __FILE__, __LINE__);                                                      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// Targets whose objects own timers need an application object. It is made
// once and kept to the end of the process (reachable, so no leak report);
// Qt's warnings are dropped, they would only slow the run down.
inline void EnsureFuzzApplication() {
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "Qt fatal: %s\n", qPrintable(text));
            std::abort();
        }
    });
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    Q_UNUSED(application);
}

// Cuts the input into reports: each is one length byte (taken modulo
// maxReport + 1) followed by that many bytes, as the HID layer hands over at
// most one report's worth.
template <typename Visit>
void ForEachReport(const uint8_t* data, size_t size, int maxReport, Visit visit) {
    size_t at = 0;
    while (at < size) {
        const size_t length = std::min<size_t>(data[at] % (maxReport + 1), size - at - 1);
        visit(QByteArray(reinterpret_cast<const char*>(data + at + 1), qsizetype(length)));
        at += 1 + length;
    }
}
