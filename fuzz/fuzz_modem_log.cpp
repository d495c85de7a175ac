// libFuzzer target: the modem traffic log's line decoders on any run of lines.
// The input is a run of lines, each one length byte followed by that many
// bytes (fewer at the end); every line goes through one decoder and one log,
// as the module's USART lines do. Promises checked beside "no crash":
// - a folded line holds no CR LF and is never longer than the line;
// - the shown line holds no zero byte;
// - a decoded text is empty or one of the four kinds, and holds no NUL;
// - each line gives one log entry, and one more exactly when it decodes.

#include "diagnostics/ModemDecoder.h"
#include "diagnostics/ModemLine.h"
#include "diagnostics/ModemLog.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {
void Check(bool promise) {
    if (!promise)
        std::abort();
}

struct TBox : IModemLogView {
    QStringList Entries;
    void AppendEntry(const QString& entry) override { Entries << entry; }
};

bool KnownKind(const QString& decoded) {
    for (const char* head : {"\tS.NR=", "\tP.NR=", "\tPROT="})
        if (decoded.startsWith(QLatin1String(head)))
            return true;
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    TModemDecoder decoder;
    TModemRegisters registers;
    TModemLog log(registers, [] { return QDateTime(QDate(2025, 1, 1), QTime(12, 0)); });
    TBox box;
    log.SetView(&box);
    log.SetServiceMode(true);
    qsizetype at = 0;
    int line = 0;
    while (at < input.size()) {
        const int length = quint8(input[at]);
        const QByteArray raw = input.mid(at + 1, length);
        at += 1 + length;
        const QByteArray folded = ModemLine::FoldLineEnds(raw);
        Check(!folded.contains("\r\n") && folded.size() <= raw.size());
        Check(!ModemLine::ZerosAsDots(folded).contains('\0'));
        const QString decoded = decoder.Decode(folded);
        Check(decoded.isEmpty() || KnownKind(decoded));
        Check(!decoded.contains(QChar(u'\0')));
        // The log's own decoder goes the same way as this one.
        const qsizetype before = box.Entries.size();
        log.SetPutRegisters(line % 2 == 1);
        log.OnUsart(raw, line % 3 == 0);
        Check(box.Entries.size() - before == (decoded.isEmpty() ? 1 : 2));
        ++line;
    }
    return 0;
}
