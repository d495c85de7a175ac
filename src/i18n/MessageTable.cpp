#include "MessageTable.h"

#include "LanguageFile.h"

bool TMessageTable::LoadLanguageFile(const QString& path, QByteArray* error) {
    return TLanguageFile::Load(path, &Languages, error);
}

bool TMessageTable::SelectLanguage(const QString& name) {
    for (int i = 0; i < Languages.size(); ++i) {
        if (LanguageName(i) != name)
            continue;
        Current = i;
        CodePage = CodePageOfCharset(Languages[i].Charset);
        return true;
    }
    return false;
}

const tkalba* TMessageTable::CurrentKalba() const {
    if (Current < 0 || Current >= Languages.size())
        return nullptr;
    return &Languages[Current];
}

QByteArray TMessageTable::GetMessage(int n) const {
    const tkalba* language = CurrentKalba();
    if (!language || n < 1 || n > language->Messages.size())
        return {};
    return language->Messages[n - 1];
}

QString TMessageTable::WideMess(int n) const {
    return ToWide(GetMessage(n));
}

QString TMessageTable::ToWide(const QByteArray& text) const {
    return ::ToWide(text, CodePage);
}

QString TMessageTable::LanguageName(int index) const {
    if (index < 0 || index >= Languages.size())
        return {};
    const tkalba& language = Languages[index];
    return ::ToWide(language.Name, CodePageOfCharset(language.Charset));
}
