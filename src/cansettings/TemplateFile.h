#pragma once
// Template files (".tpl"): the plaintext (a header, module requests recorded
// as they would have been sent, and a copy of the function memory map) and
// its sealing: RC4 over the whole file, keyed by the SHA-1 digest of a pass
// phrase. Nothing in a file marks it as a template; a wrong or damaged file
// shows only by its decrypted header, which the loader checks step by step.
// Bytes in, named fields out: no QObject, no window.

#include "FnMemoryMap.h"
#include "link/Bytes.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace TemplateFormat {
// Header fields (16-bit numbers little-endian).
constexpr std::size_t VersionAt = 0;
constexpr std::size_t RecordCountAt = 1;
constexpr std::size_t RecordSizeAt = 2;
constexpr std::size_t MapOffsetAt = 3;
constexpr std::size_t PairCountAt = 5;
constexpr std::size_t HeaderBytes = 16; // the rest of it is reserved, 0

constexpr quint8 Version = 4;
// Files of version 3 still have their records replayed; no map below 4 is
// applied.
constexpr quint8 OldestReplayed = 3;
constexpr quint8 OldestApplied = 4;
constexpr quint8 RecordSize = 63;
// The record count is one byte: a save keeps at most this many records, so
// that the count, the records and the map offset always agree.
constexpr int MaxRecords = 255;
constexpr quint16 PairCount = TFnMemoryMap::SlotCount;

// No template of any header is larger (255 records of 255 bytes, a map of
// 65,535 pairs); a bigger file is not read at all.
constexpr qint64 MaxFileBytes = 1 << 20;

// Why a plaintext is refused as too short (the code shown after message 55).
enum TShortCode { NoHeader = 1, RecordsCut = 2, MapCut = 6 };

// The pass phrase of every template the tool reads and writes.
QByteArray PassPhrase();
} // namespace TemplateFormat

struct TTemplateHeader {
    quint8 Version = 0;
    quint8 RecordCount = 0;
    quint8 RecordSize = 0;
    quint16 MapOffset = 0;
    quint16 PairCount = 0;

    // From a plaintext of at least HeaderBytes.
    static TTemplateHeader Read(const tduomenys& plaintext);
};

// What the loader makes of a plaintext, in the order it checks it.
struct TTemplateContent {
    // 1, 2 or 6: the plaintext ends before its header, records or map.
    int ShortCode = 0;
    // Version below 4: not applied.
    bool TooOld = false;
    TTemplateHeader Header;
    // The blocks to hand to the module link's response dispatch, in order:
    // each record's own bytes after one filler byte, its last byte left out,
    // so the record's first byte stands where a response has its code.
    std::vector<tduomenys> Replays;
    // The map section (only when applicable).
    tduomenys Fns;
    tduomenys Nns;

    bool Applicable() const { return ShortCode == 0 && !TooOld; }
};

namespace TemplateFile {
// The header a recording starts from: version 4, no records, record size 63.
tduomenys EmptyRecording();
// The plaintext of a save: the recording (the header and the records as the
// module link recorded them; an empty or damaged one counts as none) with
// the map section after it. FN 0x01..0x04 become 0xFF unless withPin, FN
// 0x05..0x07 always; every NN stays.
tduomenys BuildPlaintext(const tduomenys& recording, const TFnMemoryMap& map, bool withPin);
// The loader's reading of a plaintext.
TTemplateContent ReadPlaintext(const tduomenys& plaintext);

// RC4 keyed by the SHA-1 digest of the pass phrase; sealing and opening are
// the same operation.
tduomenys Seal(const QByteArray& passPhrase, const tduomenys& bytes);
// Creates the folder when missing and replaces the file whole, or leaves the
// file as it was and says why.
bool SealToFile(const QString& path, const QByteArray& passPhrase, const tduomenys& bytes,
                QString* reason = nullptr);
// False when the file is missing, not a file, too large or unreadable.
bool OpenSealedFile(const QString& path, const QByteArray& passPhrase, tduomenys* bytes,
                    QString* reason = nullptr);
} // namespace TemplateFile
