#include "UpdateServer.h"

#include "files/SettingsFile.h"

#ifndef RV5K_DEFAULT_UPDATE_SERVER
#define RV5K_DEFAULT_UPDATE_SERVER ""
#endif

namespace UpdateServer {

QString BuildDefault() {
    return QStringLiteral(RV5K_DEFAULT_UPDATE_SERVER);
}

QString Configured() {
    const QString fromEnvironment = qEnvironmentVariable("RV5K_UPDATE_SERVER").trimmed();
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QByteArray fromSettings = ReadSetting("Settings", "UpdateServer", QByteArray()).trimmed();
    if (!fromSettings.isEmpty())
        return QString::fromLatin1(fromSettings);
    return BuildDefault();
}

std::optional<QUrl> BaseUrl(const QString& server) {
    const QString text = server.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    // Only a host and a port: anything that would make QUrl read a user, a
    // path, a query or another scheme is refused.
    for (const QChar c : text)
        if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c == QLatin1Char('@') || c == QLatin1Char('?') || c == QLatin1Char('#') ||
            c.unicode() < 0x20)
            return std::nullopt;
    QUrl url(QStringLiteral("http://") + text + FilesPath, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty())
        return std::nullopt;
    // QUrl takes "host:" as no port; a port must be 1..65535 when written.
    if (text.endsWith(QLatin1Char(':')) || url.port() == 0)
        return std::nullopt;
    return url;
}

} // namespace UpdateServer
