#pragma once
// Support trace of every HID report, enabled by RV5K_HID_TRACE naming a file.
// One line per report: milliseconds since start, OUT or IN, VVVV:PPPP, then the
// bytes as upper-case hex pairs.

#include <QByteArray>

class THidTrace {
public:
    enum Direction { Out, In };
    static void Record(Direction direction, quint16 vendorId, quint16 productId,
                       const QByteArray& bytes);
    // Formats one line without its newline; exposed for the tests.
    static QByteArray FormatLine(qint64 milliseconds, Direction direction, quint16 vendorId,
                                 quint16 productId, const QByteArray& bytes);
    // Marks the program's start; called early by main, otherwise at first use.
    static void StartClock();
};
