#include "SimBaseProfile.h"

#include "SimJsonFields.h"
#include "SimProfileFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

using namespace SimJson;

constexpr quint32 kMaxSerial = 0xFFFFFF; // the ping reply carries 24 bits
constexpr quint32 kMaxMilliseconds = 60000;
constexpr quint32 kMaxCount = 1000000000;
constexpr int kMaxModules = 64;

quint32 Number(const QJsonValue& value, const QString& where, quint32 min, quint32 max) {
    qulonglong number = 0;
    if (value.isDouble()) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::floor(d) != d || d < 0)
            Fail(where, QStringLiteral("%1 is not a whole number").arg(d));
        number = d > double(max) ? qulonglong(max) + 1 : qulonglong(d);
    } else if (value.isString()) {
        const QString text = value.toString();
        bool ok = false;
        if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && text.size() <= 18)
            number = text.mid(2).toULongLong(&ok, 16);
        if (!ok)
            Fail(where, QStringLiteral("\"%1\" is not a number (write 12 or \"0x0C\")").arg(text));
    } else {
        Fail(where, QStringLiteral("expected a number or a \"0x..\" text"));
    }
    if (number < min || number > max)
        Fail(where, QStringLiteral("%1 is not within %2 to %3").arg(number).arg(min).arg(max));
    return quint32(number);
}

QList<int> Numbers(const QJsonValue& value, const QString& where) {
    QList<int> numbers;
    const QJsonArray list = List(value, where);
    for (qsizetype i = 0; i < list.size(); ++i)
        numbers.append(int(Number(list[i], At(where, i), 1, kMaxCount)));
    return numbers;
}

// A module profile nested in the file, parsed by the module's own reader.
TSimProfile Module(const QJsonValue& value, const QString& where) {
    const QJsonObject object = Object(value, where);
    QString error;
    const std::optional<TSimProfile> profile =
        TSimProfile::FromJson(QJsonDocument(object).toJson(QJsonDocument::Compact), &error);
    if (!profile)
        Fail(where, error);
    return *profile;
}

TSimRadioModuleProfile RadioModule(const QJsonValue& value, const QString& where) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where,
              {"comment", "radioSerial", "major", "minor", "inRange", "acknowledgeSets", "module"});
    TSimRadioModuleProfile module;
    if (object.contains("radioSerial"))
        module.RadioSerial =
            Number(object["radioSerial"], Key(where, "radioSerial"), 0, kMaxSerial);
    if (object.contains("major"))
        module.Major = quint8(Number(object["major"], Key(where, "major"), 0, 255));
    if (object.contains("minor"))
        module.Minor = quint8(Number(object["minor"], Key(where, "minor"), 0, 255));
    if (object.contains("inRange"))
        module.InRange = Bool(object["inRange"], Key(where, "inRange"));
    if (object.contains("acknowledgeSets"))
        module.AcknowledgeSets = Bool(object["acknowledgeSets"], Key(where, "acknowledgeSets"));
    if (object.contains("module"))
        module.Memory = Module(object["module"], Key(where, "module"));
    return module;
}

void BaseFaults(const QJsonValue& value, const QString& where, TSimBaseProfile& base) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where,
              {"stayBusy", "relayFailTo", "relayAlwaysFails", "dropReplyTo", "unplugAfterRelays"});
    if (object.contains("stayBusy"))
        base.StayBusy = Bool(object["stayBusy"], Key(where, "stayBusy"));
    if (object.contains("relayFailTo"))
        base.RelayFailTo = Numbers(object["relayFailTo"], Key(where, "relayFailTo"));
    if (object.contains("relayAlwaysFails"))
        base.RelayAlwaysFails = Bool(object["relayAlwaysFails"], Key(where, "relayAlwaysFails"));
    if (object.contains("dropReplyTo"))
        base.DropReplyTo = Numbers(object["dropReplyTo"], Key(where, "dropReplyTo"));
    if (object.contains("unplugAfterRelays") && !object["unplugAfterRelays"].isNull())
        base.UnplugAfterRelays =
            int(Number(object["unplugAfterRelays"], Key(where, "unplugAfterRelays"), 1, kMaxCount));
}

TSimBaseProfile BaseObject(const QJsonValue& value, const QString& where) {
    const QJsonObject object = Object(value, where);
    CheckKeys(object, where, {"comment", "product", "serial", "busyMs", "modules", "faults"});
    TSimBaseProfile base;
    if (object.contains("product"))
        base.ProductString = Text(object["product"], Key(where, "product"));
    if (object.contains("serial"))
        base.SerialNumber = Text(object["serial"], Key(where, "serial"));
    if (object.contains("busyMs"))
        base.BusyMs = int(Number(object["busyMs"], Key(where, "busyMs"), 0, kMaxMilliseconds));
    if (object.contains("modules")) {
        const QString at = Key(where, "modules");
        if (!object["modules"].isArray())
            Fail(at, QStringLiteral("expected a list"));
        const QJsonArray list = object["modules"].toArray();
        if (list.size() > kMaxModules)
            Fail(at, QStringLiteral("more than %1 modules").arg(kMaxModules));
        for (qsizetype i = 0; i < list.size(); ++i)
            base.Modules.append(RadioModule(list[i], At(at, i)));
    }
    if (object.contains("faults"))
        BaseFaults(object["faults"], Key(where, "faults"), base);
    return base;
}

QJsonObject Root(const QByteArray& json) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        Fail({}, QStringLiteral("not valid JSON (%1 at offset %2)")
                     .arg(parseError.errorString())
                     .arg(parseError.offset));
    if (!document.isObject())
        Fail({}, QStringLiteral("the profile must be a JSON object"));
    return document.object();
}

} // namespace

std::optional<TSimBaseProfile> TSimBaseProfile::FromJson(const QByteArray& json, QString* error) {
    try {
        return BaseObject(Root(json), {});
    } catch (const TBadProfile& bad) {
        if (error)
            *error = bad.Text;
        return std::nullopt;
    }
}

std::optional<TSimSetup> TSimSetup::FromJson(const QByteArray& json, QString* error) {
    try {
        const QJsonObject root = Root(json);
        TSimSetup setup;
        if (!root.contains("base")) {
            QString moduleError;
            setup.UsbModule = TSimProfile::FromJson(json, &moduleError);
            if (!setup.UsbModule)
                Fail({}, moduleError);
            return setup;
        }
        CheckKeys(root, {}, {"comment", "base", "usbModule", "usbModulePlugged"});
        setup.Base = BaseObject(root["base"], QStringLiteral("base"));
        if (root.contains("usbModule"))
            setup.UsbModule = Module(root["usbModule"], QStringLiteral("usbModule"));
        if (root.contains("usbModulePlugged"))
            setup.UsbModulePlugged =
                Bool(root["usbModulePlugged"], QStringLiteral("usbModulePlugged"));
        return setup;
    } catch (const TBadProfile& bad) {
        if (error)
            *error = bad.Text;
        return std::nullopt;
    }
}

std::optional<TSimSetup> TSimSetup::LoadFile(const QString& path, QString* error) {
    const std::optional<QByteArray> bytes = ReadSimProfileFile(path, error);
    if (!bytes)
        return std::nullopt;
    QString what;
    std::optional<TSimSetup> setup = FromJson(*bytes, &what);
    if (!setup && error)
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + what;
    return setup;
}
