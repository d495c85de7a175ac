#include "Catalogue.h"

#include "i18n/LanguageNames.h"

#include "CatalogueNumbers.h"
#include "link/Bytes.h"

#include <QFile>
#include <QFileInfo>

namespace {
using namespace CatalogueNumbers;

const QString KeyName = QStringLiteral("#NAME");
const QString KeyFn1Caption = QStringLiteral("#ASSIGNED_FN1_CAPTION");
const QString KeyFn2Caption = QStringLiteral("#ASSIGNED_FN2_CAPTION");
const QString KeyHint = QStringLiteral("#HINT");
// The per-language columns are kept in one byte each.
constexpr int MaxLanguageField = 255;

// Column positions; -1 is absent, so the field reads as empty.
struct TColumns {
    struct Language {
        int Name, Fn1Caption, Fn2Caption, Hint;
    };
    std::vector<Language> Languages;
    int Number = -1, Step1 = -1, Min1 = -1, Max1 = -1, Step2 = -1, Min2 = -1, Max2 = -1;
    int AssignedFn1 = -1, AssignedFn2 = -1, Table2 = -1;
};

// Field 0 is the directive; the keys of the header count from field 1.
struct TLine {
    QStringList Fields;
    QString Field(int position) const {
        return position >= 1 && position < Fields.size() ? Fields[position] : QString();
    }
    QString AfterDirective() const { return Fields.mid(1).join(QLatin1Char('\t')); }
};

int FindKey(const TLine& line, const QString& key) {
    for (int i = 1; i < line.Fields.size(); ++i)
        if (line.Fields[i] == key)
            return i;
    return -1;
}

void ReadHeader(const TLine& line, TColumns& columns) {
    for (int n = 1;; ++n) {
        const QString suffix = QString::number(n);
        const TColumns::Language language{
            FindKey(line, KeyName + suffix), FindKey(line, KeyFn1Caption + suffix),
            FindKey(line, KeyFn2Caption + suffix), FindKey(line, KeyHint + suffix)};
        const bool complete = language.Name > 0 && language.Fn1Caption > 0 &&
                              language.Fn2Caption > 0 && language.Hint > 0;
        const bool fits =
            language.Name <= MaxLanguageField && language.Fn1Caption <= MaxLanguageField &&
            language.Fn2Caption <= MaxLanguageField && language.Hint <= MaxLanguageField;
        if (!complete || !fits)
            break;
        columns.Languages.push_back(language);
    }
    columns.Number = FindKey(line, QStringLiteral("#NUMBER"));
    columns.Step1 = FindKey(line, QStringLiteral("#STEP1"));
    columns.Min1 = FindKey(line, QStringLiteral("#MIN1"));
    columns.Max1 = FindKey(line, QStringLiteral("#MAX1"));
    columns.Step2 = FindKey(line, QStringLiteral("#STEP2"));
    columns.Min2 = FindKey(line, QStringLiteral("#MIN2"));
    columns.Max2 = FindKey(line, QStringLiteral("#MAX2"));
    columns.AssignedFn1 = FindKey(line, QStringLiteral("#ASSIGNED_FN1"));
    columns.AssignedFn2 = FindKey(line, QStringLiteral("#ASSIGNED_FN2"));
    columns.Table2 = FindKey(line, QStringLiteral("#TABLE2"));
}

QStringList PerLanguage(const TLine& line, const TColumns& columns,
                        int TColumns::Language::*column) {
    QStringList texts;
    texts.reserve(qsizetype(columns.Languages.size()));
    for (const auto& language : columns.Languages)
        texts << line.Field(language.*column);
    return texts;
}

// Lines end with CR LF, LF or CR.
QList<QByteArray> SplitLines(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == '\r' && i + 1 < size && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

struct TItemHasNoParent {};
struct TParseError {};

TCatalogueLoad ParseError(const QString& path, qsizetype lineNumber, const QString& text) {
    TCatalogueLoad result;
    result.FileFound = true;
    result.ResetView = true;
    result.Message = TCatalogueMessage{
        TCatalogueMessage::Plain, QStringLiteral("Error while parsing file (") + path +
                                      QStringLiteral(") line (") + QString::number(lineNumber) +
                                      QStringLiteral("): ") + text};
    return result;
}
} // namespace

QString TCatalogue::Text(const QStringList& list) const {
    return CatalogueLanguage >= 0 && CatalogueLanguage < list.size() ? list[CatalogueLanguage]
                                                                     : QString();
}

void TCatalogue::Clear() {
    VT.Clear();
    VST2.Clear();
    CatalogueLanguages.clear();
    AssignedFnSet.clear();
    Assigned.fill(false);
}

void TCatalogue::AddAssigned(quint8 fn) {
    if (fn == 0 || Assigned[fn])
        return;
    Assigned[fn] = true;
    AssignedFnSet.push_back(fn);
}

TCatalogueLoad TCatalogue::LoadCatalogue(const QString& path) {
    TCatalogueLoad result;
    if (!QFileInfo::exists(path))
        return result;
    result.FileFound = true;
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Message = TCatalogueMessage{TCatalogueMessage::Plain,
                                           QStringLiteral("Error opening file (") + path + ')'};
        return result;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.Message = TCatalogueMessage{TCatalogueMessage::Plain,
                                           QStringLiteral("Error opening file (") + path + ')'};
        return result;
    }
    return LoadText(text, path);
}

TCatalogueLoad TCatalogue::LoadText(const QByteArray& text, const QString& path) {
    TCatalogueLoad result;
    result.FileFound = true;
    Clear();
    TColumns columns;
    bool started = false;
    TParamNode* chapter = nullptr;
    TParamNode* function = nullptr;
    const QList<QByteArray> lines = SplitLines(text);
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QString decoded = QString::fromUtf8(lines[number]);
        TLine line{decoded.split(QLatin1Char('\t'))};
        const QString& directive = line.Fields[0];
        try {
            if (directive == QLatin1String("#TOPLINE")) {
                // A second header adds its languages after the known ones.
                TColumns next;
                next.Languages = columns.Languages;
                ReadHeader(line, next);
                columns = next;
                continue;
            }
            const qint32 table2 = Hex(line.Field(columns.Table2));
            TParamTree& tree = table2 > 0 ? VST2 : VT;
            const quint8 carModes = quint8(table2 & 0xFF);
            auto fillTexts = [&](TParamNode* node) {
                node->Data.Names = PerLanguage(line, columns, &TColumns::Language::Name);
                node->Data.Hints = PerLanguage(line, columns, &TColumns::Language::Hint);
                node->Data.CarModes = carModes;
            };
            if (directive == QLatin1String("#LANGUAGE")) {
                started = true;
                CatalogueLanguages = PerLanguage(line, columns, &TColumns::Language::Name);
            } else if (directive == QLatin1String("#CHAPTER")) {
                if (!started)
                    continue;
                chapter = tree.AddNode(tree.Root());
                fillTexts(chapter);
            } else if (directive == QLatin1String("#FUNCTION")) {
                const qint32 fn = FunctionNumber(line.Field(columns.Number));
                if (!started)
                    continue;
                if (!chapter)
                    throw TParseError{};
                if (chapter->Parent != tree.Root())
                    throw TItemHasNoParent{};
                function = tree.AddNode(chapter);
                fillTexts(function);
                function->Data.Number = quint8(fn & 0xFF);
            } else if (directive == QLatin1String("#FLAG")) {
                const QString numberText = FlagNumberText(line.Field(columns.Number));
                if (!started)
                    continue;
                if (!chapter)
                    throw TParseError{};
                if (chapter->Parent != tree.Root())
                    throw TItemHasNoParent{};
                const quint8 fn = quint8(Hex(numberText) & 0xFF);
                const quint8 mask = quint8(Hex(line.Field(columns.AssignedFn1)) & 0xFF);
                const bool fixedOn = Hex(line.Field(columns.Step1)) > 0;
                function = tree.AddNode(chapter);
                function->CheckKind = TCheckKind::CheckBox;
                function->Data.IsFlag = true;
                fillTexts(function);
                function->Data.Number = fn;
                AddAssigned(fn);
                function->Data.AssignedFn1 = mask;
                if (fixedOn) {
                    function->Checked = true;
                    function->Disabled = true;
                }
            } else if (directive == QLatin1String("#PARAMETER") ||
                       directive == QLatin1String("#PARAMETER_WITH_ATTRIBUTES")) {
                if (!started)
                    continue;
                if (!function)
                    throw TParseError{};
                if (function->Level() != 1 || function->Parent->Parent != tree.Root())
                    throw TItemHasNoParent{};
                TParamNodeData data;
                const bool attributed = directive == QLatin1String("#PARAMETER_WITH_ATTRIBUTES");
                if (attributed) {
                    data.Step1 = Real(line.Field(columns.Step1));
                    data.Min1 = Digits(line.Field(columns.Min1));
                    data.Max1 = Digits(line.Field(columns.Max1));
                    data.Step2 = Real(line.Field(columns.Step2));
                    data.Min2 = Digits(line.Field(columns.Min2));
                    data.Max2 = Digits(line.Field(columns.Max2));
                    data.AssignedFn1 = quint8(Hex(line.Field(columns.AssignedFn1)) & 0xFF);
                    data.AssignedFn2 = quint8(Hex(line.Field(columns.AssignedFn2)) & 0xFF);
                    data.Fn1Captions = PerLanguage(line, columns, &TColumns::Language::Fn1Caption);
                    data.Fn2Captions = PerLanguage(line, columns, &TColumns::Language::Fn2Caption);
                }
                TParamNode* option = tree.AddNode(function);
                option->Data = std::move(data);
                fillTexts(option);
                option->MultiLine = true;
                option->CheckKind = TCheckKind::Radio;
                if (attributed) {
                    AddAssigned(option->Data.AssignedFn1);
                    AddAssigned(option->Data.AssignedFn2);
                    if (option->Data.AssignedFn1 == 0 && option->Data.AssignedFn2 == 0) {
                        option->Data.IsValue = true;
                        option->CheckKind = TCheckKind::None;
                    }
                }
            }
        } catch (const TItemHasNoParent&) {
            result.Message =
                TCatalogueMessage{TCatalogueMessage::Error,
                                  QStringLiteral("Error in line: ") + line.AfterDirective() +
                                      QStringLiteral("\n\rItem has no parent")};
            return result;
        } catch (const THexError&) {
            return ParseError(path, number + 1, decoded);
        } catch (const TParseError&) {
            return ParseError(path, number + 1, decoded);
        }
    }
    result.ResetView = true;
    return result;
}

void TCatalogue::SelectCatalogueLanguage(const QString& uiLanguageName) {
    const QString ui = FoldedLanguageName(uiLanguageName);
    for (int i = 0; i < CatalogueLanguages.size(); ++i) {
        const QString name = FoldedLanguageName(CatalogueLanguages[i]);
        if (!name.isEmpty() && ui.contains(name)) {
            CatalogueLanguage = i;
            return;
        }
    }
}
