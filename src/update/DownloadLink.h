#pragma once
// Which links of the update list may be handed to the desktop: only a whole
// http:// or https:// URL with a host. Anything else (a file: URL, a program
// path, a relative or malformed text) could start a local program or open a
// local file, and is never opened.

#include <QByteArray>
#include <QUrl>
#include <optional>

std::optional<QUrl> DownloadUrl(const QByteArray& link);
