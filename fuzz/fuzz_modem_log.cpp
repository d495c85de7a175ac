// libFuzzer target: the modem traffic log's line decoders on any run of lines.
// The input is a run of lines, each one length byte followed by that many
// bytes (fewer at the end); every line goes through one decoder and one log,
// as the module's USART lines do. Promises checked beside "no crash":
// - a folded line holds no CR LF and is never longer than the line;
// - the shown line holds no zero byte;
// - a decoded text is empty or one of the four kinds, and holds no NUL;
// - each line gives one log entry, and one more exactly when it decodes.

#include "FuzzCheck.h"
#include "diagnostics/ModemDecoder.h"
#include "diagnostics/ModemLine.h"
#include "diagnostics/ModemLog.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {
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
    TModemDecoder decoder;
    TModemRegisters registers;
    TModemLog log(registers, [] { return QDateTime(QDate(2025, 1, 1), QTime(12, 0)); });
    TBox box;
    log.SetView(&box);
    log.SetServiceMode(true);
    int line = 0;
    // Lines up to 255 bytes: the length byte is taken whole.
    ForEachReport(data, size, 255, [&](const QByteArray& raw) {
        const QByteArray folded = ModemLine::FoldLineEnds(raw);
        FUZZ_CHECK(!folded.contains("\r\n") && folded.size() <= raw.size(),
                   "a folded line holds no CR LF and is never longer");
        FUZZ_CHECK(!ModemLine::ZerosAsDots(folded).contains('\0'),
                   "the shown line holds no zero byte");
        const QString decoded = decoder.Decode(folded);
        FUZZ_CHECK(decoded.isEmpty() || KnownKind(decoded), "a decoded text is of a known kind");
        FUZZ_CHECK(!decoded.contains(QChar(u'\0')), "a decoded text holds no NUL");
        // The log's own decoder goes the same way as this one.
        const qsizetype before = box.Entries.size();
        log.SetPutRegisters(line % 2 == 1);
        log.OnUsart(raw, line % 3 == 0);
        FUZZ_CHECK(box.Entries.size() - before == (decoded.isEmpty() ? 1 : 2),
                   "one entry a line, and one more exactly when it decodes");
        ++line;
    });
    return 0;
}
