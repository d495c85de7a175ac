// libFuzzer target: the update list parser and the link check, on any bytes.
// Promises checked beside "no crash":
// - an offer's link is the text after a TAB of some line of the input;
// - a loader offer needs a line whose key is "rv5kl" in some letter case, a
//   firmware offer one with "rv5kf", and no firmware is offered without a
//   module on USB;
// - a link handed to the desktop is always an http or https URL with a host.

#include "FuzzCheck.h"
#include "update/DownloadLink.h"
#include "update/UpdateList.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {
void CheckLink(const QByteArray& text, const UpdateList::TOffer& offer, const char* key) {
    if (!offer.Made)
        return;
    FUZZ_CHECK(text.toLower().contains(key), "an offer needs a line of its key");
    if (!offer.Link.isEmpty())
        FUZZ_CHECK(text.contains('\t' + offer.Link), "a link is text after a TAB of the input");
    if (const std::optional<QUrl> url = DownloadUrl(offer.Link)) {
        FUZZ_CHECK(
            (url->scheme() == QLatin1String("http") || url->scheme() == QLatin1String("https")) &&
                !url->host().isEmpty(),
            "a link for the desktop is http or https with a host");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    // The first byte picks the module: none, or a firmware version.
    const std::optional<qint64> firmware =
        size > 0 && data[0] % 4 != 0 ? std::optional<qint64>(data[0] * 5) : std::nullopt;
    const UpdateList::TOffers offers = UpdateList::Parse(text, 121, firmware);
    CheckLink(text, offers.Loader, "rv5kl");
    CheckLink(text, offers.Firmware, "rv5kf");
    FUZZ_CHECK(!offers.Firmware.Made || firmware.has_value(), "no firmware without a module");
    // Any line may also be a link on its own.
    if (const std::optional<QUrl> url = DownloadUrl(text))
        FUZZ_CHECK(url->scheme() == QLatin1String("http") ||
                       url->scheme() == QLatin1String("https"),
                   "a link for the desktop is http or https");
    return 0;
}
