#include "LanguageNames.h"

QString FoldedLanguageName(const QString& name) {
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed)
        if (c.category() != QChar::Mark_NonSpacing)
            folded.append(c.toLower());
    return folded;
}
