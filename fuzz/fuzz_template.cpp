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

#include "FuzzCheck.h"
#include "cansettings/TemplateFile.h"
#include "cansettings/TemplateText.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {
QString Name(quint8 fn) {
    // Names may hold anything a catalogue does, "#" and line breaks too.
    return fn % 3 == 0 ? QStringLiteral("name # with\nbreak") : QString();
}

void CheckRead(const tduomenys& plaintext) {
    const TTemplateContent content = TemplateFile::ReadPlaintext(plaintext);
    FUZZ_CHECK(content.ShortCode == 0 || content.ShortCode == 1 || content.ShortCode == 2 ||
                   content.ShortCode == 6,
               "refused with code 1, 2 or 6, or read");
    if (content.ShortCode == 1 || content.ShortCode == 2)
        FUZZ_CHECK(content.Replays.empty(), "no replay when the records do not fit");
    else
        FUZZ_CHECK(content.Replays.size() == content.Header.RecordCount, "one replay a record");
    for (const tduomenys& block : content.Replays)
        FUZZ_CHECK(block.size() == content.Header.RecordSize, "a replay is one record long");
    if (content.Applicable()) {
        FUZZ_CHECK(content.Fns.size() == content.Header.PairCount &&
                       content.Nns.size() == content.Header.PairCount,
                   "exactly the header's pair count of FNs and NNs");
    } else {
        FUZZ_CHECK(content.Fns.empty() && content.Nns.empty(), "no pairs from a refused file");
    }

    QString text, error;
    if (!TemplateText::Dump(plaintext, Name, &text, &error)) {
        FUZZ_CHECK(!error.isEmpty(), "a refused dump says why");
        return;
    }
    tduomenys again;
    FUZZ_CHECK(TemplateText::Parse(text, &again, &error), "a dump seals again");
    const TTemplateContent first = TemplateFile::ReadPlaintext(plaintext);
    const TTemplateContent second = TemplateFile::ReadPlaintext(again);
    FUZZ_CHECK(second.Header.Version == first.Header.Version &&
                   second.Header.RecordCount == first.Header.RecordCount &&
                   second.Header.PairCount == first.Header.PairCount,
               "dump and seal keep the header");
    if (first.Header.Version >= TemplateFormat::OldestApplied) {
        FUZZ_CHECK(second.Applicable() && second.Fns == first.Fns && second.Nns == first.Nns,
                   "dump and seal keep the pairs");
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
        FUZZ_CHECK(!error.isEmpty(), "a refused text says why");
        return 0;
    }
    FUZZ_CHECK(TemplateFile::ReadPlaintext(plaintext).ShortCode == 0,
               "a sealed text reads without a length error");
    QString dumped;
    FUZZ_CHECK(TemplateText::Dump(plaintext, {}, &dumped, &error), "a sealed text dumps");
    tduomenys again;
    FUZZ_CHECK(TemplateText::Parse(dumped, &again, &error) && again == plaintext,
               "its dump seals to the same plaintext");
    return 0;
}
