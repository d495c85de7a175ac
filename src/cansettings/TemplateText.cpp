#include "TemplateText.h"

#include "TemplateFile.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <optional>

namespace {
using namespace TemplateFormat;

constexpr int MaxPairs = 0xFFFF;
constexpr std::size_t ReservedFrom = PairCountAt + 2;

QString Hex(quint8 byte) {
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
}

QString HexRun(tduomenys::const_iterator from, tduomenys::const_iterator to) {
    QStringList bytes;
    for (auto it = from; it != to; ++it)
        bytes << Hex(*it);
    return bytes.join(QLatin1Char(' '));
}

std::optional<quint8> HexByte(const QString& word) {
    if (word.size() < 1 || word.size() > 2)
        return std::nullopt;
    bool ok = false;
    const uint value = word.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return quint8(value);
}

std::optional<int> Decimal(const QString& word, int highest) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,6}$"));
    if (!digits.match(word).hasMatch())
        return std::nullopt;
    const int value = word.toInt();
    if (value > highest)
        return std::nullopt;
    return value;
}

// "record 3:" or "slot 3:": the number before the colon.
std::optional<int> Index(const QString& word) {
    if (!word.endsWith(QLatin1Char(':')))
        return std::nullopt;
    return Decimal(word.chopped(1), MaxPairs);
}
} // namespace

namespace TemplateText {
bool Dump(const tduomenys& plaintext, const TNamer& name, QString* text, QString* error) {
    const std::size_t length = plaintext.size();
    if (length < HeaderBytes) {
        *error = QStringLiteral("%1 bytes: shorter than a template's header of %2 bytes (code %3)")
                     .arg(length)
                     .arg(HeaderBytes)
                     .arg(int(NoHeader));
        return false;
    }
    const TTemplateHeader header = TTemplateHeader::Read(plaintext);
    const std::size_t recordsEnd =
        HeaderBytes + std::size_t(header.RecordCount) * header.RecordSize;
    if (length < recordsEnd) {
        *error = QStringLiteral("%1 bytes: shorter than its %2 records of %3 bytes (code %4)")
                     .arg(length)
                     .arg(header.RecordCount)
                     .arg(header.RecordSize)
                     .arg(int(RecordsCut));
        return false;
    }
    const std::size_t mapEnd = std::size_t(header.MapOffset) + 2 * std::size_t(header.PairCount);
    if (length < mapEnd) {
        *error = QStringLiteral("%1 bytes: shorter than its map section of %2 pairs at offset %3 "
                                "(code %4)")
                     .arg(length)
                     .arg(header.PairCount)
                     .arg(header.MapOffset)
                     .arg(int(MapCut));
        return false;
    }

    QStringList lines;
    lines << QStringLiteral("# RV5K Loader template, %1 bytes").arg(length);
    if (header.Version < OldestApplied)
        lines << QStringLiteral("# note: version %1 is below %2: the program does not apply this "
                                "template")
                     .arg(header.Version)
                     .arg(OldestApplied);
    if (header.MapOffset != recordsEnd)
        lines << QStringLiteral("# note: the map section starts at offset %1, not right after the "
                                "records (%2); seal puts it there")
                     .arg(header.MapOffset)
                     .arg(recordsEnd);
    bool reservedClear = true;
    for (std::size_t i = ReservedFrom; i < HeaderBytes; ++i)
        reservedClear = reservedClear && plaintext[i] == 0;
    if (!reservedClear)
        lines << QStringLiteral("# note: reserved header bytes %1: %2; seal writes 0")
                     .arg(QStringLiteral("%1..%2").arg(ReservedFrom).arg(HeaderBytes - 1),
                          HexRun(plaintext.begin() + std::ptrdiff_t(ReservedFrom),
                                 plaintext.begin() + std::ptrdiff_t(HeaderBytes)));
    if (length > std::max(mapEnd, recordsEnd))
        lines << QStringLiteral("# note: %1 bytes after the map section are not shown; seal "
                                "leaves them out")
                     .arg(length - std::max(mapEnd, recordsEnd));
    lines << QStringLiteral("version %1").arg(header.Version)
          << QStringLiteral("record-size %1").arg(header.RecordSize)
          << QStringLiteral("records %1").arg(header.RecordCount)
          << QStringLiteral("pairs %1").arg(header.PairCount);
    for (int i = 0; i < header.RecordCount; ++i) {
        const auto from =
            plaintext.begin() + std::ptrdiff_t(HeaderBytes + std::size_t(i) * header.RecordSize);
        lines << QStringLiteral("record %1: %2").arg(i).arg(HexRun(from, from + header.RecordSize));
    }
    for (int slot = 0; slot < header.PairCount; ++slot) {
        const quint8 fn = plaintext[std::size_t(header.MapOffset) + std::size_t(slot)];
        const quint8 nn =
            plaintext[std::size_t(header.MapOffset) + header.PairCount + std::size_t(slot)];
        QString line = QStringLiteral("slot %1: FN %2 NN %3").arg(slot).arg(Hex(fn), Hex(nn));
        const QString named = name ? name(fn) : QString();
        if (!named.isEmpty())
            line += QStringLiteral("   # ") +
                    QString(named).replace(QLatin1Char('\n'), QLatin1Char(' '));
        lines << line;
    }
    *text = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return true;
}

bool Parse(const QString& text, tduomenys* plaintext, QString* error) {
    std::optional<int> version, recordSize, records, pairs;
    std::vector<tduomenys> recordBytes;
    tduomenys fns, nns;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const auto fail = [&](const QString& why) {
            *error = QStringLiteral("line %1: %2").arg(n + 1).arg(why);
            return false;
        };
        QString line = lines[n];
        const qsizetype comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        const QStringList words = line.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString key = words.first().toLower();
        if (key == QLatin1String("version") || key == QLatin1String("record-size") ||
            key == QLatin1String("records") || key == QLatin1String("pairs")) {
            const int highest = key == QLatin1String("pairs") ? MaxPairs : 0xFF;
            std::optional<int>& field = key == QLatin1String("version")       ? version
                                        : key == QLatin1String("record-size") ? recordSize
                                        : key == QLatin1String("records")     ? records
                                                                              : pairs;
            if (words.size() != 2)
                return fail(QStringLiteral("\"%1\" takes one number").arg(key));
            if (field)
                return fail(QStringLiteral("\"%1\" is given twice").arg(key));
            field = Decimal(words[1], highest);
            if (!field)
                return fail(QStringLiteral("\"%1\" must be a whole number from 0 to %2")
                                .arg(key)
                                .arg(highest));
        } else if (key == QLatin1String("record")) {
            const std::optional<int> index = words.size() >= 2 ? Index(words[1]) : std::nullopt;
            if (!index || *index != int(recordBytes.size()))
                return fail(QStringLiteral("expected \"record %1:\" and its bytes")
                                .arg(recordBytes.size()));
            tduomenys bytes;
            for (qsizetype w = 2; w < words.size(); ++w) {
                const std::optional<quint8> byte = HexByte(words[w]);
                if (!byte)
                    return fail(
                        QStringLiteral("\"%1\" is not a byte in hexadecimal").arg(words[w]));
                bytes.push_back(*byte);
            }
            recordBytes.push_back(std::move(bytes));
        } else if (key == QLatin1String("slot")) {
            const std::optional<int> index = words.size() >= 2 ? Index(words[1]) : std::nullopt;
            if (!index || *index != int(fns.size()))
                return fail(QStringLiteral("expected \"slot %1: FN xx NN xx\"").arg(fns.size()));
            const std::optional<quint8> fn = words.size() == 6 ? HexByte(words[3]) : std::nullopt;
            const std::optional<quint8> nn = words.size() == 6 ? HexByte(words[5]) : std::nullopt;
            if (!fn || !nn || words[2].toUpper() != QLatin1String("FN") ||
                words[4].toUpper() != QLatin1String("NN"))
                return fail(QStringLiteral("expected \"slot %1: FN xx NN xx\"").arg(fns.size()));
            if (fns.size() >= std::size_t(MaxPairs))
                return fail(QStringLiteral("more than %1 slots").arg(MaxPairs));
            fns.push_back(*fn);
            nns.push_back(*nn);
        } else {
            return fail(QStringLiteral("unknown line \"%1\"").arg(words.first()));
        }
    }
    const auto missing = [&](const char* key) {
        *error = QStringLiteral("\"%1\" is missing").arg(QLatin1String(key));
        return false;
    };
    if (!version)
        return missing("version");
    if (!recordSize)
        return missing("record-size");
    if (!records)
        return missing("records");
    if (!pairs)
        return missing("pairs");
    if (*records != int(recordBytes.size())) {
        *error = QStringLiteral("\"records %1\" but %2 record lines")
                     .arg(*records)
                     .arg(recordBytes.size());
        return false;
    }
    if (*pairs != int(fns.size())) {
        *error = QStringLiteral("\"pairs %1\" but %2 slot lines").arg(*pairs).arg(fns.size());
        return false;
    }
    for (std::size_t i = 0; i < recordBytes.size(); ++i)
        if (recordBytes[i].size() > std::size_t(*recordSize)) {
            *error = QStringLiteral("record %1 holds %2 bytes, more than the record size %3")
                         .arg(i)
                         .arg(recordBytes[i].size())
                         .arg(*recordSize);
            return false;
        }

    tduomenys bytes(HeaderBytes, 0);
    bytes[VersionAt] = quint8(*version);
    bytes[RecordCountAt] = quint8(*records);
    bytes[RecordSizeAt] = quint8(*recordSize);
    const std::size_t offset = HeaderBytes + std::size_t(*records) * std::size_t(*recordSize);
    bytes[MapOffsetAt] = quint8(offset & 0xFF);
    bytes[MapOffsetAt + 1] = quint8(offset >> 8);
    bytes[PairCountAt] = quint8(*pairs & 0xFF);
    bytes[PairCountAt + 1] = quint8(*pairs >> 8);
    for (tduomenys record : recordBytes) {
        record.resize(std::size_t(*recordSize), 0);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    bytes.insert(bytes.end(), fns.begin(), fns.end());
    bytes.insert(bytes.end(), nns.begin(), nns.end());
    *plaintext = std::move(bytes);
    return true;
}
} // namespace TemplateText
