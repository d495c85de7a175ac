// Settings.ini read and write, on the file's text. Input: one byte choosing
// the key and the section spelling, one byte giving the value's length, the
// value, then the file's content. Promises: a write changes only its key's
// line (or adds the key, and the section when missing) and keeps every other
// line byte for byte, whatever mix of CR, LF and CR LF the file holds; every
// other key reads as before; the value written is what the next read gives;
// writing the same value again changes nothing.

#include "FuzzCheck.h"
#include "files/SettingsFile.h"

#include <QList>

namespace {
struct TLine {
    QByteArray Text;
    QByteArray End;
    bool operator==(const TLine&) const = default;
};

// Lines as the INI rules have them (CR LF, LF or CR), written here anew so a
// mistake in the file's own splitting does not check itself.
QList<TLine> Lines(const QByteArray& content) {
    QList<TLine> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n')
            continue;
        const qsizetype endLength =
            content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n' ? 2 : 1;
        lines.append({content.mid(start, i - start), content.mid(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < content.size())
        lines.append({content.mid(start), {}});
    return lines;
}

// The same line, or an unterminated last line that got its line end.
bool Kept(const TLine& before, const TLine& after, bool last) {
    return before == after || (last && before.End.isEmpty() && before.Text == after.Text);
}

// Names of the keys in the file, to see that they read the same afterwards.
QList<QByteArray> KeysIn(const QList<TLine>& lines) {
    QList<QByteArray> keys;
    for (const TLine& line : lines) {
        const qsizetype equals = line.Text.indexOf('=');
        if (equals > 0 && keys.size() < 16)
            keys.append(line.Text.left(equals).trimmed());
    }
    return keys;
}

const char* const Keys[] = {"Language", "AutoUpdate", "Code", "language"};
const char* const Sections[] = {"Settings", "SETTINGS"};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const QByteArray key = Keys[data[0] & 3];
    const QByteArray section = Sections[(data[0] >> 2) & 1];
    const bool rawValue = data[0] & 0x80; // line breaks, blanks and quotes included
    const size_t valueLength = std::min<size_t>(data[1] % 24, size - 2);
    QByteArray value(reinterpret_cast<const char*>(data + 2), qsizetype(valueLength));
    if (!rawValue)
        for (char& c : value) // plain text: what the tool itself writes
            c = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"[uchar(c) % 62];
    const QByteArray before(reinterpret_cast<const char*>(data + 2 + valueLength),
                            qsizetype(size - 2 - valueLength));

    const QByteArray after = SettingsText::Write(before, section, key, value);
    const QList<TLine> old = Lines(before);
    const QList<TLine> now = Lines(after);

    // Matching lines from the start and from the end leave one changed line
    // or up to two added ones between them.
    qsizetype head = 0;
    while (head < old.size() && head < now.size() &&
           Kept(old[head], now[head], head == old.size() - 1))
        ++head;
    qsizetype tail = 0;
    while (tail < old.size() - head && tail < now.size() - head &&
           old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    const qsizetype changed = old.size() - head - tail;
    const qsizetype added = now.size() - head - tail;
    FUZZ_CHECK((changed == 1 && added == 1) || (changed == 0 && added <= 2),
               "a write changes one line or adds the key (and its section), nothing else");

    for (const QByteArray& other : KeysIn(old))
        if (other.compare(key, Qt::CaseInsensitive) != 0)
            FUZZ_CHECK(SettingsText::Read(after, section, other, "\n") ==
                           SettingsText::Read(before, section, other, "\n"),
                       "every other key reads as before");
    if (!rawValue)
        FUZZ_CHECK(SettingsText::Read(after, section, key, "\n") == value,
                   "the value written is read back");
    FUZZ_CHECK(SettingsText::Write(after, section, key, value) == after,
               "writing the same value again changes nothing");
    return 0;
}
