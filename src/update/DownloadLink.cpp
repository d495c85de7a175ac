#include "DownloadLink.h"

#include <QString>

std::optional<QUrl> DownloadUrl(const QByteArray& link) {
    const QByteArray text = link.trimmed();
    // The scheme must be written out: QUrl would read "http:x" or "//host/x"
    // as something other than a web address.
    const QByteArray lower = text.toLower();
    if (!lower.startsWith("http://") && !lower.startsWith("https://"))
        return std::nullopt;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == ' ')
            return std::nullopt;
    const QUrl url(QString::fromLatin1(text), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    const QString scheme = url.scheme();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return std::nullopt;
    return url;
}
