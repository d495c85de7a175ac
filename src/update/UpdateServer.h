#pragma once
// Where the update files come from: http://<server>/files/RV9Loader/ followed
// by the file's name. <server> is a host name or IPv4 address, optionally
// followed by ":" and a port, taken from the first of these that is set:
//   1. the environment variable RV5K_UPDATE_SERVER,
//   2. the key UpdateServer of section Settings in Settings.ini,
//   3. the build's default (CMake cache variable RV5K_UPDATE_SERVER, empty
//      unless the build names one).
// An empty or malformed value means no update server: nothing is fetched.

#include <QString>
#include <QUrl>
#include <optional>

namespace UpdateServer {
inline const QString FilesPath = QStringLiteral("/files/RV9Loader/");

// The build's default; empty unless the build names one.
QString BuildDefault();
// The server as configured now. Reads Settings.ini: main thread only.
QString Configured();
// The base URL for a server text; none when the text is empty or not a host
// with an optional port.
std::optional<QUrl> BaseUrl(const QString& server);
} // namespace UpdateServer
