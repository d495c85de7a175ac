#include "LanguageFile.h"

#include <QFile>
#include <QFileInfo>

namespace {
constexpr char LanguageMark = '%';
constexpr char WindowMark = '=';
constexpr char ControlMark = '&';
constexpr char MessageMark = '$';
constexpr char Tab = '\t';

// The drop-down list kinds, in any letter case: the text is the whole rest.
const QList<QByteArray> ListKinds{"tcombobox", "ttntcombobox", "tflatcombobox"};
// The radio group kinds, exactly as written: caption, then the items.
const QList<QByteArray> RadioGroupKinds{"TRadioGroup", "TTntRadioGroup"};

enum class TLineResult { Accepted, NotAccepted, NoOwner, BadNumbers };

// Hands out the fields of a line after its kind character.
class TFieldReader {
public:
    explicit TFieldReader(QByteArrayView line) : Rest(line.sliced(1)) {}

    // Up to the next TAB (or the end of the line); empty when none is left.
    QByteArray Next() {
        if (Done)
            return {};
        const qsizetype tab = Rest.indexOf(Tab);
        if (tab < 0) {
            Done = true;
            return Rest.toByteArray();
        }
        QByteArray field = Rest.first(tab).toByteArray();
        Rest = Rest.sliced(tab + 1);
        return field;
    }
    // Everything after the fields taken so far.
    QByteArray Remainder() {
        if (Done)
            return {};
        Done = true;
        return Rest.toByteArray();
    }

private:
    QByteArrayView Rest;
    bool Done = false;
};

QByteArray Cut(QByteArray text, int length) {
    if (text.size() > length)
        text.truncate(length);
    return text;
}

// A whole number in decimal, optionally signed, blanks around it allowed.
bool ReadNumber(const QByteArray& field, qint32* value) {
    const QByteArray digits = field.trimmed();
    if (digits.isEmpty())
        return false;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const char c = digits[i];
        const bool sign = i == 0 && (c == '-' || c == '+') && digits.size() > 1;
        if (!sign && (c < '0' || c > '9'))
            return false;
    }
    bool ok = false;
    *value = digits.toInt(&ok, 10);
    return ok;
}

TLineResult ReadLanguage(QByteArrayView line, TKalbos* languages) {
    TFieldReader fields(line);
    tkalba language;
    language.Name = Cut(fields.Next(), TLanguageFile::NameLength);
    if (!ReadNumber(fields.Next(), &language.Charset) ||
        !ReadNumber(fields.Next(), &language.TranslitTable))
        return TLineResult::BadNumbers;
    languages->append(language);
    return TLineResult::Accepted;
}

TLineResult ReadWindow(QByteArrayView line, TKalbos* languages) {
    TFieldReader fields(line);
    tforma window;
    window.Name = Cut(fields.Next(), TLanguageFile::NameLength);
    window.Caption = Cut(fields.Next(), TLanguageFile::CaptionLength);
    if (window.Name.isEmpty())
        return TLineResult::NotAccepted;
    if (languages->isEmpty())
        return TLineResult::NoOwner;
    languages->last().Forms.append(window);
    return TLineResult::Accepted;
}

TLineResult ReadControl(QByteArrayView line, TKalbos* languages) {
    TFieldReader fields(line);
    tkomponentas control;
    control.Name = Cut(fields.Next(), TLanguageFile::NameLength);
    control.Kind = Cut(fields.Next(), TLanguageFile::NameLength);
    if (ListKinds.contains(control.Kind.toLower())) {
        control.Text = fields.Remainder();
    } else if (RadioGroupKinds.contains(control.Kind)) {
        control.Text = fields.Next();
        control.Hint = fields.Remainder();
    } else {
        control.Text = fields.Next();
        control.Hint = fields.Next();
    }
    if (control.Name.isEmpty() || control.Kind.isEmpty())
        return TLineResult::NotAccepted;
    if (languages->isEmpty() || languages->last().Forms.isEmpty())
        return TLineResult::NoOwner;
    languages->last().Forms.last().Components.append(control);
    return TLineResult::Accepted;
}

TLineResult ReadMessage(QByteArrayView line, TKalbos* languages) {
    TFieldReader fields(line);
    const QByteArray text = Cut(fields.Next(), TLanguageFile::MessageLength);
    if (languages->isEmpty())
        return TLineResult::NoOwner;
    languages->last().Messages.append(text);
    return TLineResult::Accepted;
}

TLineResult ReadLine(QByteArrayView line, TKalbos* languages) {
    if (line.isEmpty())
        return TLineResult::Accepted;
    switch (line.front()) {
    case LanguageMark:
        return ReadLanguage(line, languages);
    case WindowMark:
        return ReadWindow(line, languages);
    case ControlMark:
        return ReadControl(line, languages);
    case MessageMark:
        return ReadMessage(line, languages);
    default:
        return TLineResult::Accepted; // not a record: skipped
    }
}
} // namespace

QByteArray TLanguageFile::NotFoundText(const QByteArray& fileName) {
    return QByteArrayLiteral("Not found ") + fileName;
}

QByteArray TLanguageFile::BadLineText(int lineNumber) {
    // The file's name in the text is fixed, whatever file was read.
    return QByteArray::number(lineNumber) + QByteArrayLiteral(" bloga eilute QZTcomps.txt");
}

bool TLanguageFile::Load(const QString& path, TKalbos* languages, QByteArray* error) {
    const QByteArray fileName = QFileInfo(path).fileName().toLocal8Bit();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = NotFoundText(fileName);
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = NotFoundText(fileName);
        return false;
    }
    return Parse(content, fileName, languages, error);
}

bool TLanguageFile::Parse(const QByteArray& content, const QByteArray& fileName, TKalbos* languages,
                          QByteArray* error) {
    int lineNumber = 0;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = start;
        while (end < content.size() && content[end] != '\r' && content[end] != '\n')
            ++end;
        ++lineNumber;
        switch (ReadLine(QByteArrayView(content).sliced(start, end - start), languages)) {
        case TLineResult::Accepted:
            break;
        case TLineResult::NoOwner:
            *error = NotFoundText(fileName);
            return false;
        case TLineResult::BadNumbers:
            languages->clear();
            *error = BadLineText(lineNumber);
            return false;
        case TLineResult::NotAccepted:
            *error = BadLineText(lineNumber);
            return false;
        }
        // CR LF ends one line, as do a lone CR and a lone LF.
        if (end < content.size() && content[end] == '\r' && end + 1 < content.size() &&
            content[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return true;
}
