#pragma once
// Language names written with or without their diacritics ("Lietuvių",
// "Lietuviu") name the same language: older language files, catalogues and
// Settings.ini files spell them without, because the name once had to be
// ASCII.

#include <QString>

// Lower case, accents and other combining marks removed.
QString FoldedLanguageName(const QString& name);
