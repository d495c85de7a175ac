#pragma once
// Template plaintexts written out byte by byte for the tests: the header
// fields at their offsets, records and the map section, so that a test says
// exactly which bytes a file holds.

#include "link/Bytes.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QString>
#include <initializer_list>
#include <utility>

namespace TemplateBytes {
// A header: version, record count, record size, map offset, pair count.
inline tduomenys Header(int version, int records, int recordSize, int mapOffset, int pairs) {
    tduomenys bytes(16, 0);
    bytes[0] = quint8(version);
    bytes[1] = quint8(records);
    bytes[2] = quint8(recordSize);
    bytes[3] = quint8(mapOffset & 0xFF);
    bytes[4] = quint8(mapOffset >> 8);
    bytes[5] = quint8(pairs & 0xFF);
    bytes[6] = quint8(pairs >> 8);
    return bytes;
}

inline void Append(tduomenys& to, const tduomenys& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// One record as the module link records a framed request: code OR 0x80,
// zero-padded to the record size.
inline tduomenys Record(std::initializer_list<quint8> command, int size = 63) {
    tduomenys record(command);
    record[0] |= 0x80;
    record.resize(std::size_t(size), 0);
    return record;
}

// A whole version-4 template: records, then 128 pairs (the given ones
// first, the rest empty).
inline tduomenys Template(const std::vector<std::pair<quint8, quint8>>& pairs,
                          const std::vector<tduomenys>& records = {}, int version = 4) {
    const int offset = 16 + int(records.size()) * 63;
    tduomenys bytes = Header(version, int(records.size()), 63, offset, 128);
    for (const tduomenys& record : records)
        Append(bytes, record);
    tduomenys fns(128, 0), nns(128, 0);
    for (std::size_t i = 0; i < pairs.size() && i < 128; ++i) {
        fns[i] = pairs[i].first;
        nns[i] = pairs[i].second;
    }
    Append(bytes, fns);
    Append(bytes, nns);
    return bytes;
}

// RC4 keyed by the SHA-1 digest of a pass phrase, written out here so that
// the tests do not check the code with itself.
inline tduomenys Rc4Sha1(const QByteArray& passPhrase, const tduomenys& data) {
    const QByteArray key = QCryptographicHash::hash(passPhrase, QCryptographicHash::Sha1);
    quint8 s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = quint8(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + quint8(key[i % key.size()])) & 0xFF;
        std::swap(s[i], s[j]);
    }
    tduomenys out;
    for (std::size_t k = 0, i = 0, j = 0; k < data.size(); ++k) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out.push_back(data[k] ^ s[(s[i] + s[j]) & 0xFF]);
    }
    return out;
}

inline bool WriteFile(const QString& path, const tduomenys& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
               qint64(bytes.size());
}

inline tduomenys ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return tduomenys(data.begin(), data.end());
}
} // namespace TemplateBytes
