#pragma once
// A catalogue of the given number of lines for the benchmarks, shaped as a
// shipped one: three languages with names and hints, chapters of functions
// with plain, attributed and value options, chapters of flags; every other
// chapter belongs to the car tree.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

namespace GeneratedCatalogue {
// Fields after the directive: three languages of name, caption 1, caption 2
// and hint, then number, step 1, min 1, max 1, step 2, min 2, max 2,
// assigned FN 1, assigned FN 2, table 2.
inline QByteArray Line(const QString& directive, const QString& name, const QString& hint,
                       const QStringList& tail, const QString& caption1 = {},
                       const QString& caption2 = {}) {
    QStringList fields{directive};
    for (const QString& language :
         {QStringLiteral("en"), QStringLiteral("lt"), QStringLiteral("ru")})
        fields << name + QLatin1Char(' ') + language << caption1 << caption2
               << (hint.isEmpty() ? hint : hint + QLatin1Char(' ') + language);
    QStringList padded = tail;
    while (padded.size() < 10)
        padded << QString();
    fields << padded;
    return fields.join(QLatin1Char('\t')).toUtf8() + "\r\n";
}

inline QByteArray Header() {
    QStringList keys{QStringLiteral("#TOPLINE")};
    for (int i = 1; i <= 3; ++i)
        keys << QStringLiteral("#NAME%1").arg(i) << QStringLiteral("#ASSIGNED_FN1_CAPTION%1").arg(i)
             << QStringLiteral("#ASSIGNED_FN2_CAPTION%1").arg(i)
             << QStringLiteral("#HINT%1").arg(i);
    keys << "#NUMBER"
         << "#STEP1"
         << "#MIN1"
         << "#MAX1"
         << "#STEP2"
         << "#MIN2"
         << "#MAX2"
         << "#ASSIGNED_FN1"
         << "#ASSIGNED_FN2"
         << "#TABLE2";
    QByteArray text = keys.join(QLatin1Char('\t')).toUtf8() + "\r\n";
    text += Line(QStringLiteral("#LANGUAGE"), QStringLiteral("English"), {}, {});
    return text;
}

// Exactly lines lines (header and language line included).
inline QByteArray Text(int lines) {
    QByteArray text = Header();
    int written = 2;
    int chapter = 0;
    int fn = 0x10;
    const auto add = [&](const QByteArray& line) {
        if (written < lines) {
            text += line;
            ++written;
        }
    };
    while (written < lines) {
        const QString table2 = chapter % 2 ? QStringLiteral("7") : QString();
        add(Line(QStringLiteral("#CHAPTER"), QStringLiteral("Chapter %1").arg(chapter),
                 QStringLiteral("What chapter %1 holds").arg(chapter),
                 {{}, {}, {}, {}, {}, {}, {}, {}, {}, table2}));
        if (chapter % 5 == 4) {
            for (int bit = 0; bit < 8; ++bit)
                add(Line(QStringLiteral("#FLAG"), QStringLiteral("Input %1").arg(bit), {},
                         {QStringLiteral("FN=%1").arg(0xC0 + chapter % 16, 0, 16),
                          {},
                          {},
                          {},
                          {},
                          {},
                          {},
                          QStringLiteral("%1").arg(1 << bit, 2, 16, QLatin1Char('0')),
                          {},
                          table2}));
        } else {
            for (int function = 0; function < 6; ++function) {
                const QString number = QStringLiteral("FN=%1").arg(fn, 0, 16);
                fn = fn == 0xBF ? 0x10 : fn + 1;
                add(Line(QStringLiteral("#FUNCTION"), QStringLiteral("Function %1").arg(fn),
                         QStringLiteral("What function %1 does, in a sentence or two").arg(fn),
                         {number, {}, {}, {}, {}, {}, {}, {}, {}, table2}));
                if (function == 5) {
                    add(Line(QStringLiteral("#PARAMETER_WITH_ATTRIBUTES"), QStringLiteral("Level"),
                             {}, {{}, "0.5", "1", "60", {}, {}, {}, {}, {}, table2},
                             QStringLiteral("V")));
                    continue;
                }
                add(Line(QStringLiteral("#PARAMETER"), QStringLiteral("Off"), {},
                         {{}, {}, {}, {}, {}, {}, {}, {}, {}, table2}));
                add(Line(QStringLiteral("#PARAMETER"), QStringLiteral("On"), {},
                         {{}, {}, {}, {}, {}, {}, {}, {}, {}, table2}));
                add(Line(QStringLiteral("#PARAMETER_WITH_ATTRIBUTES"), QStringLiteral("Timed"),
                         QStringLiteral("On for a time"),
                         {{},
                          "0.1",
                          "2",
                          "50",
                          "1",
                          "1",
                          "5",
                          QStringLiteral("%1").arg(0xD0 + function, 0, 16),
                          QStringLiteral("%1").arg(0xE0 + function, 0, 16),
                          table2},
                         QStringLiteral("s"), QStringLiteral("times")));
            }
        }
        ++chapter;
    }
    return text;
}

// Writes a catalogue of the given number of lines as Functions.csv in folder;
// its path, or an empty text when it could not be written.
inline QString Write(const QString& folder, int lines) {
    const QString path = folder + QStringLiteral("/Functions.csv");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    const QByteArray text = Text(lines);
    return file.write(text) == text.size() && file.flush() ? path : QString();
}
} // namespace GeneratedCatalogue
