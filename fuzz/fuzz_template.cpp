// libFuzzer target: template files and their text form, on any bytes.
// The input is read three ways: as a decrypted plaintext, as a sealed file
// (decrypted first, as the loader does), and as the template tool's text.
// Promises checked beside "no crash":
// - the loader's reading refuses with code 1, 2 or 6 or "too old", or gives
//   exactly the header's pair count of FNs and NNs; every block it replays
//   is one record long, one per record, none when the records do not fit;
// - what the tool's dump prints, its seal reads back to a plaintext that the
//   loader reads to the same records, FNs and NNs;
// - a text the seal accepts gives a plaintext the loader reads without a
//   length error, and dumping it gives the same plaintext back.

#include "cansettings/TemplateFile.h"
#include "cansettings/TemplateText.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
void Check(bool promise) {
    if (!promise)
        std::abort();
}

QString Name(quint8 fn) {
    // Names may hold anything a catalogue does, "#" and line breaks too.
    return fn % 3 == 0 ? QStringLiteral("name # with\nbreak") : QString();
}

void CheckRead(const tduomenys& plaintext) {
    const TTemplateContent content = TemplateFile::ReadPlaintext(plaintext);
    Check(content.ShortCode == 0 || content.ShortCode == 1 || content.ShortCode == 2 ||
          content.ShortCode == 6);
    if (content.ShortCode == 1 || content.ShortCode == 2)
        Check(content.Replays.empty());
    else
        Check(content.Replays.size() == content.Header.RecordCount);
    for (const tduomenys& block : content.Replays)
        Check(block.size() == content.Header.RecordSize);
    if (content.Applicable()) {
        Check(content.Fns.size() == content.Header.PairCount);
        Check(content.Nns.size() == content.Header.PairCount);
    } else {
        Check(content.Fns.empty() && content.Nns.empty());
    }

    QString text, error;
    if (!TemplateText::Dump(plaintext, Name, &text, &error)) {
        Check(!error.isEmpty());
        return;
    }
    tduomenys again;
    Check(TemplateText::Parse(text, &again, &error));
    const TTemplateContent first = TemplateFile::ReadPlaintext(plaintext);
    const TTemplateContent second = TemplateFile::ReadPlaintext(again);
    Check(second.Header.Version == first.Header.Version);
    Check(second.Header.RecordCount == first.Header.RecordCount);
    Check(second.Header.PairCount == first.Header.PairCount);
    if (first.Header.Version >= TemplateFormat::OldestApplied) {
        Check(second.Applicable());
        Check(second.Fns == first.Fns && second.Nns == first.Nns);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tduomenys bytes(data, data + size);
    CheckRead(bytes);
    CheckRead(TemplateFile::Seal(TemplateFormat::PassPhrase(), bytes));

    tduomenys plaintext;
    QString error;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!TemplateText::Parse(text, &plaintext, &error)) {
        Check(!error.isEmpty());
        return 0;
    }
    Check(TemplateFile::ReadPlaintext(plaintext).ShortCode == 0);
    QString dumped;
    Check(TemplateText::Dump(plaintext, {}, &dumped, &error));
    tduomenys again;
    Check(TemplateText::Parse(dumped, &again, &error));
    Check(again == plaintext);
    return 0;
}
