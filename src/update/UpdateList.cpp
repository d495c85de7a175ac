#include "UpdateList.h"

namespace UpdateList {
namespace {
const QByteArray LoaderKey = QByteArrayLiteral("rv5kl");
const QByteArray FirmwareKey = QByteArrayLiteral("rv5kf");

bool SameKey(QByteArrayView key, const QByteArray& wanted) {
    return key.compare(wanted, Qt::CaseInsensitive) == 0;
}

// Calls take(line) for every line; lines end with CR LF, LF or CR.
template <typename Take> void ForEachLine(const QByteArray& text, Take take) {
    const QByteArrayView all(text);
    qsizetype start = 0;
    while (start < all.size()) {
        qsizetype end = start;
        while (end < all.size() && all[end] != '\n' && all[end] != '\r')
            ++end;
        take(all.sliced(start, end - start));
        if (end + 1 < all.size() && all[end] == '\r' && all[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}
} // namespace

qint64 VersionNumber(QByteArrayView field) {
    qint64 number = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            continue;
        number = number > (MaxVersion - (c - '0')) / 10 ? MaxVersion : number * 10 + (c - '0');
    }
    return number;
}

qint64 MajorVersion(qint64 version) {
    const qint64 whole = version / 100;
    const qint64 rest = version % 100;
    if (rest > 50 || (rest == 50 && whole % 2 != 0))
        return whole + 1;
    return whole;
}

TOffers Parse(const QByteArray& text, qint64 toolVersion, std::optional<qint64> usbFirmware) {
    TOffers offers;
    ForEachLine(text, [&](QByteArrayView line) {
        const qsizetype colon = line.indexOf(':');
        const QByteArrayView key = colon < 0 ? line : line.first(colon);
        const QByteArrayView rest = colon < 0 ? QByteArrayView() : line.sliced(colon + 1);
        const qsizetype tab = rest.indexOf('\t');
        const QByteArrayView field = tab < 0 ? rest : rest.first(tab);
        const QByteArray link = tab < 0 ? QByteArray() : rest.sliced(tab + 1).toByteArray();

        if (SameKey(key, LoaderKey)) {
            if (VersionNumber(field) > toolVersion)
                offers.Loader = {true, link};
        } else if (SameKey(key, FirmwareKey) && usbFirmware) {
            const qint64 offered = VersionNumber(field);
            const qint64 module = *usbFirmware;
            if (MajorVersion(offered) == MajorVersion(module) && module < offered)
                offers.Firmware = {true, link};
        }
    });
    return offers;
}

} // namespace UpdateList
