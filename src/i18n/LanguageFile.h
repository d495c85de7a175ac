#pragma once
// Reading comps.txt, the language file: one record a line (CR LF, LF or CR),
// the first character telling the kind, the fields cut at TAB characters.
//
//   %name TAB charset TAB transliteration-table   a new language
//   =window TAB caption                           a window of the last language
//   &control TAB kind TAB text TAB hint           a control of the last window
//   $text                                         the next numbered message
//
// Any other line is skipped. For the drop-down list kinds the text is the
// whole rest of the line (the items, each followed by a TAB); for the radio
// group kinds the text is the caption and the hint the rest (the items).
// Fields longer than their slot are cut to it.

#include "LanguageRecords.h"

#include <QString>

class TLanguageFile {
public:
    static constexpr int NameLength = 30;
    static constexpr int CaptionLength = 100;
    static constexpr int MessageLength = 200;

    // Appends what the file holds to languages. On false, error tells why:
    // "Not found <file name>" for a missing or unreadable file or a record
    // before its language or window, "<line> bloga eilute QZTcomps.txt" for
    // the first line that is not accepted. What was read before the failure
    // stays, but for a language line with bad numbers, which empties the table.
    static bool Load(const QString& path, TKalbos* languages, QByteArray* error);
    // The same for the file's content; fileName goes into the error text.
    static bool Parse(const QByteArray& content, const QByteArray& fileName, TKalbos* languages,
                      QByteArray* error);

    static QByteArray NotFoundText(const QByteArray& fileName);
    static QByteArray BadLineText(int lineNumber);
};
