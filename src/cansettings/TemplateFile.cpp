#include "TemplateFile.h"

#include "Rc4.h"
#include "files/SafeWrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
constexpr quint8 FirstPinFn = 0x01;
constexpr quint8 LastPinFn = 0x04;
constexpr quint8 FirstCarFn = 0x05;
constexpr quint8 LastCarFn = 0x07;
constexpr quint8 LeftOut = 0xFF;

quint16 Le16(const tduomenys& bytes, std::size_t at) {
    return quint16(bytes[at] | bytes[at + 1] << 8);
}

void PutLe16(tduomenys& bytes, std::size_t at, quint16 value) {
    bytes[at] = quint8(value & 0xFF);
    bytes[at + 1] = quint8(value >> 8);
}

// A recording the link made: its header and whole records, at most 255.
tduomenys UsableRecording(const tduomenys& recording) {
    using namespace TemplateFormat;
    if (recording.size() < HeaderBytes || recording[RecordSizeAt] == 0)
        return TemplateFile::EmptyRecording();
    const std::size_t size = recording[RecordSizeAt];
    const std::size_t records =
        std::min<std::size_t>((recording.size() - HeaderBytes) / size, MaxRecords);
    tduomenys kept(recording.begin(),
                   recording.begin() + std::ptrdiff_t(HeaderBytes + records * size));
    kept[RecordCountAt] = quint8(records);
    return kept;
}
} // namespace

namespace TemplateFormat {
QByteArray PassPhrase() {
    return QByteArrayLiteral("KT8WPatterns");
}
} // namespace TemplateFormat

TTemplateHeader TTemplateHeader::Read(const tduomenys& plaintext) {
    using namespace TemplateFormat;
    TTemplateHeader header;
    header.Version = plaintext[VersionAt];
    header.RecordCount = plaintext[RecordCountAt];
    header.RecordSize = plaintext[RecordSizeAt];
    header.MapOffset = Le16(plaintext, MapOffsetAt);
    header.PairCount = Le16(plaintext, PairCountAt);
    return header;
}

namespace TemplateFile {
tduomenys EmptyRecording() {
    using namespace TemplateFormat;
    tduomenys header(HeaderBytes, 0);
    header[VersionAt] = Version;
    header[RecordSizeAt] = RecordSize;
    return header;
}

tduomenys BuildPlaintext(const tduomenys& recording, const TFnMemoryMap& map, bool withPin) {
    using namespace TemplateFormat;
    tduomenys plaintext = UsableRecording(recording);
    PutLe16(plaintext, MapOffsetAt, quint16(plaintext.size()));
    PutLe16(plaintext, PairCountAt, PairCount);
    plaintext.reserve(plaintext.size() + 2 * std::size_t(PairCount));
    for (int slot = 0; slot < PairCount; ++slot) {
        const quint8 fn = map[slot].FN;
        const bool pin = fn >= FirstPinFn && fn <= LastPinFn;
        const bool car = fn >= FirstCarFn && fn <= LastCarFn;
        plaintext.push_back((pin && !withPin) || car ? LeftOut : fn);
    }
    for (int slot = 0; slot < PairCount; ++slot)
        plaintext.push_back(map[slot].NN);
    return plaintext;
}

TTemplateContent ReadPlaintext(const tduomenys& plaintext) {
    using namespace TemplateFormat;
    TTemplateContent content;
    const std::size_t length = plaintext.size();
    if (length < HeaderBytes) {
        content.ShortCode = NoHeader;
        return content;
    }
    const TTemplateHeader header = TTemplateHeader::Read(plaintext);
    content.Header = header;
    const std::size_t recordBytes = std::size_t(header.RecordCount) * header.RecordSize;
    if (length < recordBytes + HeaderBytes) {
        content.ShortCode = RecordsCut;
        return content;
    }
    content.Replays.reserve(header.RecordCount);
    for (std::size_t i = 0; i < header.RecordCount; ++i) {
        const auto from =
            plaintext.begin() + std::ptrdiff_t(HeaderBytes + header.RecordSize * i - 1);
        content.Replays.emplace_back(from, from + header.RecordSize);
    }
    if (header.Version < OldestReplayed) {
        content.TooOld = true;
        return content;
    }
    const std::size_t mapEnd = 2 * std::size_t(header.PairCount) + header.MapOffset;
    if (length < mapEnd) {
        content.ShortCode = MapCut;
        return content;
    }
    if (header.Version < OldestApplied) {
        content.TooOld = true;
        return content;
    }
    const auto fns = plaintext.begin() + header.MapOffset;
    content.Fns.assign(fns, fns + header.PairCount);
    content.Nns.assign(fns + header.PairCount, fns + 2 * header.PairCount);
    return content;
}

tduomenys Seal(const QByteArray& passPhrase, const tduomenys& bytes) {
    return Rc4::Apply(QCryptographicHash::hash(passPhrase, QCryptographicHash::Sha1), bytes);
}

bool SealToFile(const QString& path, const QByteArray& passPhrase, const tduomenys& bytes,
                QString* reason) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        // Shown inside a box in the user's language: the folder says it all.
        if (reason)
            *reason = QDir::toNativeSeparators(folder);
        return false;
    }
    return SafeWriteFile(path, ToQByteArray(Seal(passPhrase, bytes)), reason);
}

bool OpenSealedFile(const QString& path, const QByteArray& passPhrase, tduomenys* bytes,
                    QString* reason) {
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("No such file"));
    if (!info.isFile())
        return fail(QStringLiteral("Not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    // Read to the end whatever size the file claims, and no further than a
    // template can reach.
    QByteArray data;
    char chunk[16384];
    for (;;) {
        const qint64 got = file.read(chunk, sizeof chunk);
        if (got < 0)
            return fail(file.errorString());
        if (got == 0)
            break;
        if (data.size() + got > TemplateFormat::MaxFileBytes)
            return fail(QStringLiteral("The file is too large for a template"));
        data.append(chunk, qsizetype(got));
    }
    *bytes = Seal(passPhrase, FromQByteArray(data));
    return true;
}
} // namespace TemplateFile
