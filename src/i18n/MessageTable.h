#pragma once
// The language table: the languages of comps.txt with their window and
// control texts and their numbered messages, and which language is current.
// Every text the tool shows to the user is asked for by its number; the text
// is whatever the current language holds at that position (none is built in).

#include "CodePage.h"
#include "LanguageRecords.h"

#include <QString>

class TMessageTable {
public:
    // Appends the languages of the file. On false, error holds the fixed
    // 8-bit text that tells why (see TLanguageFile) and the table keeps what
    // was read before the failure.
    bool LoadLanguageFile(const QString& path, QByteArray* error);
    // Makes the first language whose shown name is exactly this one current
    // and takes its code page. False, with nothing changed, when there is no
    // such language. Putting its captions on the windows is the caller's
    // (TCaptionTranslator), so the table itself needs no widgets.
    bool SelectLanguage(const QString& name);

    // Message n of the current language in its 8-bit text; empty for a number
    // outside 1 to the number of its messages, or for an empty table.
    QByteArray GetMessage(int n) const;
    // The same, widened through the current code page.
    QString WideMess(int n) const;
    // 8-bit language text widened through the current code page.
    QString ToWide(const QByteArray& text) const;

    const TKalbos& Kalbos() const { return Languages; }
    int CurrentLanguage() const { return Current; }
    TCodePage CurrentCodePage() const { return CodePage; }
    // The current language; none while the table is empty.
    const tkalba* CurrentKalba() const;
    // A language's name as the language list shows it: through its own code page.
    QString LanguageName(int index) const;

private:
    TKalbos Languages;
    int Current = 0;
    // Until a language is chosen texts are widened as Baltic text.
    TCodePage CodePage = TCodePage::Cp1257;
};
