#include "HidTrace.h"

#include <QElapsedTimer>
#include <QFile>
#include <memory>

namespace {
QElapsedTimer& Clock() {
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

QFile* TraceFile() {
    static std::unique_ptr<QFile> file = [] {
        const QByteArray path = qgetenv("RV5K_HID_TRACE");
        if (path.isEmpty())
            return std::unique_ptr<QFile>();
        auto f = std::make_unique<QFile>(QString::fromLocal8Bit(path));
        if (!f->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            return std::unique_ptr<QFile>();
        return f;
    }();
    return file.get();
}
} // namespace

void THidTrace::StartClock() {
    Clock();
}

QByteArray THidTrace::FormatLine(qint64 milliseconds, Direction direction, quint16 vendorId,
                                 quint16 productId, const QByteArray& bytes) {
    QByteArray line = QByteArray::number(milliseconds);
    line += direction == Out ? " OUT " : " IN ";
    line += QByteArray::number(vendorId, 16).rightJustified(4, '0').toUpper();
    line += ':';
    line += QByteArray::number(productId, 16).rightJustified(4, '0').toUpper();
    if (!bytes.isEmpty()) {
        line += ' ';
        line += bytes.toHex(' ').toUpper();
    }
    return line;
}

void THidTrace::Record(Direction direction, quint16 vendorId, quint16 productId,
                       const QByteArray& bytes) {
    QFile* file = TraceFile();
    if (!file)
        return;
    file->write(FormatLine(Clock().elapsed(), direction, vendorId, productId, bytes) + '\n');
    file->flush();
}
