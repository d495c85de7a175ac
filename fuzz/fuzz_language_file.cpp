// The language file, comps.txt: any bytes are read without harm, every text
// fits its slot, no text holds a line break, and a refused file says why in
// one of the two fixed texts.

#include "FuzzCheck.h"
#include "i18n/LanguageFile.h"

namespace {
bool OneLine(const QByteArray& text) {
    return !text.contains('\r') && !text.contains('\n');
}

int LineCount(const QByteArray& content) {
    int lines = 1;
    for (qsizetype i = 0; i < content.size(); ++i)
        if (content[i] == '\n' ||
            (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n')))
            ++lines;
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    TKalbos languages;
    QByteArray error;
    const bool read = TLanguageFile::Parse(content, "comps.txt", &languages, &error);
    FUZZ_CHECK(read == error.isEmpty(), "an error text exactly when the file is refused");
    if (!read && error != TLanguageFile::NotFoundText("comps.txt")) {
        const QByteArray suffix = TLanguageFile::BadLineText(0).mid(1);
        FUZZ_CHECK(error.endsWith(suffix), "a refused line is named by the fixed text");
        bool number = false;
        const int line = error.left(error.size() - suffix.size()).toInt(&number);
        FUZZ_CHECK(number && line >= 1 && line <= LineCount(content),
                   "the refused line is a line of the file");
    }
    for (const tkalba& language : std::as_const(languages)) {
        FUZZ_CHECK(language.Name.size() <= TLanguageFile::NameLength && OneLine(language.Name),
                   "a language name fits its slot");
        for (const tforma& window : language.Forms) {
            FUZZ_CHECK(!window.Name.isEmpty() && window.Name.size() <= TLanguageFile::NameLength,
                       "a window name is there and fits");
            FUZZ_CHECK(window.Caption.size() <= TLanguageFile::CaptionLength &&
                           OneLine(window.Caption),
                       "a window caption fits");
            for (const tkomponentas& control : window.Components) {
                FUZZ_CHECK(!control.Name.isEmpty() && !control.Kind.isEmpty(),
                           "a control has its name and kind");
                FUZZ_CHECK(control.Name.size() <= TLanguageFile::NameLength &&
                               control.Kind.size() <= TLanguageFile::NameLength,
                           "control name and kind fit");
                FUZZ_CHECK(OneLine(control.Text) && OneLine(control.Hint),
                           "control texts stay on their line");
            }
        }
        for (const QByteArray& message : language.Messages)
            FUZZ_CHECK(message.size() <= TLanguageFile::MessageLength && OneLine(message) &&
                           !message.contains('\t'),
                       "a message fits its slot and ends at its TAB");
    }
    return 0;
}
