#include "SimProfile.h"

#include "SimJsonFields.h"
#include "SimProfileFile.h"
#include "SimProtocol.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

using namespace SimJson;

constexpr quint32 kMaxCount = 1000000000;
constexpr quint32 kMaxMilliseconds = 60000;

// A JSON number or a "0x.." string, whole and within [min, max].
quint32 Number(const QJsonValue& value, const QString& where, quint32 min, quint32 max) {
    double number = 0;
    QString shown;
    if (value.isDouble()) {
        number = value.toDouble();
        shown = QString::number(number, 'g', 17);
        if (!std::isfinite(number) || std::floor(number) != number)
            Fail(where, QStringLiteral("%1 is not a whole number").arg(shown));
    } else if (value.isString()) {
        const QString text = value.toString();
        shown = QLatin1Char('"') + text + QLatin1Char('"');
        bool ok = false;
        const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        const qulonglong parsed = hex ? text.mid(2).toULongLong(&ok, 16) : 0;
        if (!hex || !ok || text.size() > 18)
            Fail(where, QStringLiteral("%1 is not a number (write 12 or \"0x0C\")").arg(shown));
        number = double(parsed);
    } else {
        Fail(where, QStringLiteral("expected a number or a \"0x..\" text"));
    }
    if (number < min)
        Fail(where, QStringLiteral("%1 is below %2").arg(shown).arg(min));
    if (number > max)
        Fail(where, QStringLiteral("%1 is over %2").arg(shown).arg(max));
    return quint32(number);
}

quint8 Byte(const QJsonValue& value, const QString& where) {
    return quint8(Number(value, where, 0, 255));
}

QByteArray Text8(const QJsonValue& value, const QString& where) {
    const QString text = Text(value, where);
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            Fail(where, QStringLiteral("only 8-bit characters (U+0000 to U+00FF) are allowed"));
    return text.toLatin1();
}

// Hexadecimal digits, blanks between them allowed.
QByteArray Hex(const QJsonValue& value, const QString& where, int maxBytes) {
    QString digits = Text(value, where);
    digits.remove(QLatin1Char(' '));
    for (const QChar c : digits)
        if (!c.isDigit() && !QStringLiteral("abcdefABCDEF").contains(c))
            Fail(where, QStringLiteral("'%1' is not a hexadecimal digit").arg(c));
    if (digits.size() % 2 != 0)
        Fail(where, QStringLiteral("odd number of hexadecimal digits"));
    const QByteArray bytes = QByteArray::fromHex(digits.toLatin1());
    if (bytes.size() > maxBytes)
        Fail(where, QStringLiteral("%1 bytes, at most %2").arg(bytes.size()).arg(maxBytes));
    return bytes;
}

std::vector<std::pair<quint8, quint8>> Pairs(const QJsonValue& value, const QString& where,
                                             int maxCount, const QString& noun,
                                             const QString& pairShape) {
    const QJsonArray list = List(value, where);
    if (list.size() > maxCount)
        Fail(where, QStringLiteral("%1 %2, at most %3").arg(list.size()).arg(noun).arg(maxCount));
    std::vector<std::pair<quint8, quint8>> pairs;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString here = At(where, i);
        const QJsonArray pair = list[i].toArray();
        if (!list[i].isArray() || pair.size() != 2)
            Fail(here, QStringLiteral("expected a pair %1").arg(pairShape));
        pairs.emplace_back(Byte(pair[0], At(here, 0)), Byte(pair[1], At(here, 1)));
    }
    return pairs;
}

QList<TSimResponseBlock> Blocks(const QJsonValue& value, const QString& where) {
    QList<TSimResponseBlock> blocks;
    const QJsonArray list = List(value, where);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString here = At(where, i);
        const QJsonObject entry = Object(list[i], here);
        CheckKeys(entry, here, {QStringLiteral("code"), QStringLiteral("payload")});
        if (!entry.contains(QLatin1String("code")))
            Fail(here, QStringLiteral("\"code\" is missing"));
        TSimResponseBlock block;
        block.Code = Byte(entry[QLatin1String("code")], Key(here, QStringLiteral("code")));
        if (entry.contains(QLatin1String("payload")))
            block.Payload = Hex(entry[QLatin1String("payload")],
                                Key(here, QStringLiteral("payload")), SimWire::kMaxResponsePayload);
        blocks.append(block);
    }
    return blocks;
}

TSimModemChange ModemChange(const QJsonValue& value, const QString& where) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where,
              {QStringLiteral("mc55iFlags"), QStringLiteral("mc55iCR"), QStringLiteral("mc55iSR"),
               QStringLiteral("tcpsr"), QStringLiteral("outBufMessCount"),
               QStringLiteral("sentCounter")});
    TSimModemChange change;
    const auto byteOf = [&](const char* key, std::optional<quint8>& field) {
        if (object.contains(QLatin1String(key)))
            field = Byte(object[QLatin1String(key)], Key(where, QLatin1String(key)));
    };
    byteOf("mc55iFlags", change.MC55iFlags);
    byteOf("mc55iCR", change.MC55iCR);
    byteOf("mc55iSR", change.MC55iSR);
    byteOf("outBufMessCount", change.OutBufMessCount);
    byteOf("sentCounter", change.SentCounter);
    if (object.contains(QLatin1String("tcpsr")))
        change.TCPSR = quint16(
            Number(object[QLatin1String("tcpsr")], Key(where, QStringLiteral("tcpsr")), 0, 0xFFFF));
    return change;
}

QList<TSimUsartLine> Usart(const QJsonValue& value, const QString& where) {
    QList<TSimUsartLine> lines;
    const QJsonArray list = List(value, where);
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString here = At(where, i);
        const QJsonObject entry = Object(list[i], here);
        CheckKeys(entry, here,
                  {QStringLiteral("dir"), QStringLiteral("text"), QStringLiteral("hex"),
                   QStringLiteral("modemState")});
        TSimUsartLine line;
        const QString dir = Text(entry[QLatin1String("dir")], Key(here, QStringLiteral("dir")));
        if (dir != QLatin1String("out") && dir != QLatin1String("in"))
            Fail(Key(here, QStringLiteral("dir")), QStringLiteral("expected \"out\" or \"in\""));
        line.OutGoing = dir == QLatin1String("out");
        const bool hasText = entry.contains(QLatin1String("text"));
        if (hasText == entry.contains(QLatin1String("hex")))
            Fail(here, QStringLiteral("needs either \"text\" or \"hex\""));
        line.Text = hasText
                        ? Text8(entry[QLatin1String("text")], Key(here, QStringLiteral("text")))
                        : Hex(entry[QLatin1String("hex")], Key(here, QStringLiteral("hex")), 4096);
        if (entry.contains(QLatin1String("modemState")))
            line.Modem = ModemChange(entry[QLatin1String("modemState")],
                                     Key(here, QStringLiteral("modemState")));
        lines.append(line);
    }
    return lines;
}

TSimModemState ModemState(const QJsonValue& value, const QString& where) {
    TSimModemState state;
    ModemChange(value, where).ApplyTo(state);
    return state;
}

void Periodic(const QJsonValue& value, const QString& where, TSimProfile& profile) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where, {QStringLiteral("everyReports"), QStringLiteral("blocks")});
    const auto key = [&](const char* name) { return Key(where, QLatin1String(name)); };
    if (object.contains(QLatin1String("everyReports")))
        profile.PeriodicEveryReports =
            int(Number(object[QLatin1String("everyReports")], key("everyReports"), 1, kMaxCount));
    if (object.contains(QLatin1String("blocks")))
        profile.PeriodicBlocks = Blocks(object[QLatin1String("blocks")], key("blocks"));
    if (!profile.PeriodicBlocks.isEmpty() && profile.PeriodicEveryReports == 0)
        Fail(key("everyReports"), QStringLiteral("is needed with blocks"));
}

void Faults(const QJsonValue& value, const QString& where, TSimProfile& profile) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where,
              {QStringLiteral("dropAnswerTo"), QStringLiteral("stayBusy"),
               QStringLiteral("unplugAfterReports"), QStringLiteral("garbageEvery"),
               QStringLiteral("garbageSeed"), QStringLiteral("ignoreSetFn")});
    const auto key = [&](const char* name) { return Key(where, QLatin1String(name)); };
    if (object.contains(QLatin1String("dropAnswerTo"))) {
        const QJsonArray list = List(object[QLatin1String("dropAnswerTo")], key("dropAnswerTo"));
        for (qsizetype i = 0; i < list.size(); ++i)
            profile.DropAnswerTo.append(
                int(Number(list[i], At(key("dropAnswerTo"), i), 1, kMaxCount)));
    }
    if (object.contains(QLatin1String("stayBusy")))
        profile.StayBusy = Bool(object[QLatin1String("stayBusy")], key("stayBusy"));
    if (const QJsonValue unplug = object[QLatin1String("unplugAfterReports")];
        !unplug.isUndefined() && !unplug.isNull())
        profile.UnplugAfterReports = int(Number(unplug, key("unplugAfterReports"), 1, kMaxCount));
    if (object.contains(QLatin1String("garbageEvery")))
        profile.GarbageEvery =
            int(Number(object[QLatin1String("garbageEvery")], key("garbageEvery"), 0, kMaxCount));
    if (object.contains(QLatin1String("garbageSeed")))
        profile.GarbageSeed =
            Number(object[QLatin1String("garbageSeed")], key("garbageSeed"), 0, 0xFFFFFFFF);
    if (object.contains(QLatin1String("ignoreSetFn"))) {
        const QJsonArray list = List(object[QLatin1String("ignoreSetFn")], key("ignoreSetFn"));
        for (qsizetype i = 0; i < list.size(); ++i)
            profile.IgnoreSetFn.append(Byte(list[i], At(key("ignoreSetFn"), i)));
    }
}

TSimProfile Parse(const QJsonObject& root) {
    CheckKeys(root, {},
              {QStringLiteral("comment"),
               QStringLiteral("product"),
               QStringLiteral("serial"),
               QStringLiteral("password"),
               QStringLiteral("locked"),
               QStringLiteral("map"),
               QStringLiteral("defaults"),
               QStringLiteral("writeProgram"),
               QStringLiteral("programs"),
               QStringLiteral("responses"),
               QStringLiteral("sentOnConnect"),
               QStringLiteral("periodicBlocks"),
               QStringLiteral("zoneStatus"),
               QStringLiteral("moduleError"),
               QStringLiteral("monitoring"),
               QStringLiteral("modemState"),
               QStringLiteral("usart"),
               QStringLiteral("latencyMs"),
               QStringLiteral("statusIntervalMs"),
               QStringLiteral("faults")});
    TSimProfile profile;
    const auto has = [&](const char* key) { return root.contains(QLatin1String(key)); };
    const auto get = [&](const char* key) { return root[QLatin1String(key)]; };
    const QString slotsNoun = QStringLiteral("slots");
    const QString fnPair = QStringLiteral("[FN, NN]");
    if (has("comment"))
        Text(get("comment"), QStringLiteral("comment"));
    if (has("product"))
        profile.ProductString = Text(get("product"), QStringLiteral("product"));
    if (has("serial"))
        profile.SerialNumber = Text(get("serial"), QStringLiteral("serial"));
    if (has("password")) {
        profile.Password = Text8(get("password"), QStringLiteral("password"));
        if (profile.Password.size() > SimWire::kPasswordWidth)
            Fail(QStringLiteral("password"),
                 QStringLiteral("longer than %1 characters, so it could never be sent")
                     .arg(SimWire::kPasswordWidth));
    }
    if (has("locked"))
        profile.StartLocked = Bool(get("locked"), QStringLiteral("locked"));
    if (profile.StartLocked && profile.Password.isEmpty())
        Fail(QStringLiteral("locked"), QStringLiteral("a module without a password cannot lock"));
    if (has("map"))
        profile.Map =
            Pairs(get("map"), QStringLiteral("map"), SimWire::kMapSlots, slotsNoun, fnPair);
    if (has("defaults"))
        profile.Defaults = Pairs(get("defaults"), QStringLiteral("defaults"), SimWire::kMapSlots,
                                 slotsNoun, fnPair);
    if (has("writeProgram"))
        profile.WriteProgram =
            Hex(get("writeProgram"), QStringLiteral("writeProgram"), SimWire::kWriteProgMaxBytes);
    if (has("programs"))
        profile.Programs = Pairs(get("programs"), QStringLiteral("programs"), SimWire::kMaxPrograms,
                                 QStringLiteral("programs"), QStringLiteral("[GR, PGR]"));
    if (has("responses"))
        profile.Responses = Blocks(get("responses"), QStringLiteral("responses"));
    if (has("sentOnConnect"))
        profile.SentOnConnect = Blocks(get("sentOnConnect"), QStringLiteral("sentOnConnect"));
    if (has("periodicBlocks"))
        Periodic(get("periodicBlocks"), QStringLiteral("periodicBlocks"), profile);
    if (has("zoneStatus"))
        profile.ZoneStatus = Number(get("zoneStatus"), QStringLiteral("zoneStatus"), 0, 0xFFFFFFFF);
    if (has("moduleError"))
        profile.ModuleError = Bool(get("moduleError"), QStringLiteral("moduleError"));
    if (has("monitoring"))
        profile.Monitoring = Bool(get("monitoring"), QStringLiteral("monitoring"));
    if (has("modemState"))
        profile.ModemState = ModemState(get("modemState"), QStringLiteral("modemState"));
    if (has("usart"))
        profile.UsartScript = Usart(get("usart"), QStringLiteral("usart"));
    if (has("latencyMs"))
        profile.LatencyMs =
            int(Number(get("latencyMs"), QStringLiteral("latencyMs"), 0, kMaxMilliseconds));
    if (has("statusIntervalMs"))
        profile.StatusIntervalMs = int(Number(
            get("statusIntervalMs"), QStringLiteral("statusIntervalMs"), 1, kMaxMilliseconds));
    if (has("faults"))
        Faults(get("faults"), QStringLiteral("faults"), profile);
    return profile;
}

} // namespace

std::optional<TSimProfile> TSimProfile::LoadFile(const QString& path, QString* error) {
    const std::optional<QByteArray> bytes = ReadSimProfileFile(path, error);
    if (!bytes)
        return std::nullopt;
    QString what;
    std::optional<TSimProfile> profile = FromJson(*bytes, &what);
    if (!profile && error)
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + what;
    return profile;
}

std::optional<TSimProfile> TSimProfile::FromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    QString what;
    if (parseError.error != QJsonParseError::NoError)
        what = QStringLiteral("not valid JSON (%1 at offset %2)")
                   .arg(parseError.errorString())
                   .arg(parseError.offset);
    else if (!document.isObject())
        what = QStringLiteral("the profile must be a JSON object");
    if (what.isEmpty()) {
        try {
            return Parse(document.object());
        } catch (const TBadProfile& bad) {
            what = bad.Text;
        }
    }
    if (error)
        *error = what;
    return std::nullopt;
}

void TSimModemChange::ApplyTo(TSimModemState& state) const {
    state.MC55iFlags = MC55iFlags.value_or(state.MC55iFlags);
    state.MC55iCR = MC55iCR.value_or(state.MC55iCR);
    state.MC55iSR = MC55iSR.value_or(state.MC55iSR);
    state.TCPSR = TCPSR.value_or(state.TCPSR);
    state.OutBufMessCount = OutBufMessCount.value_or(state.OutBufMessCount);
    state.SentCounter = SentCounter.value_or(state.SentCounter);
}
