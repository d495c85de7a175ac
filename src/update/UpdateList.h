#pragma once
// The update list, Updates.txt: 8-bit text lines "key:version<TAB>link".
// "rv5kl" names the newest loader (this tool), "rv5kf" the newest module
// firmware; the key matches in any letter case, other keys are ignored. A
// pure unit: bytes in, the two offers out.

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace UpdateList {

// The number of a version field: all its decimal digits in order, every
// other character skipped ("v1.22" gives 122, "6.05" gives 605); no digits
// give 0. An absurdly long run of digits stays at MaxVersion instead of
// wrapping round to some small number that could make an offer.
inline constexpr qint64 MaxVersion = 999'999'999'999'999LL;
qint64 VersionNumber(QByteArrayView field);

// version / 100 rounded to the nearest whole number, a half to the even
// neighbour (650 gives 6, 750 gives 8): the major version of a firmware.
qint64 MajorVersion(qint64 version);

struct TOffer {
    bool Made = false;
    QByteArray Link; // empty when the line had no TAB
};

struct TOffers {
    TOffer Loader;
    TOffer Firmware;
};

// The offers of a list for this tool's own version number and the firmware
// of the module on USB (none when no module is connected over USB; a module
// reached through the base gets no firmware offer). A loader offer needs a
// version above toolVersion; a firmware offer a newer firmware of the same
// major version. A later qualifying line replaces an earlier offer.
TOffers Parse(const QByteArray& text, qint64 toolVersion, std::optional<qint64> usbFirmware);

} // namespace UpdateList
