#pragma once
// Numbered messages of the current language. Every text the tool shows to the
// user is asked for by its number. Until the language file is loaded into the
// table, a small English fallback answers for the messages in use.

#include <QString>

class TMessageTable {
public:
    // Message n of the current language; empty for a number it does not hold.
    QString WideMess(int n) const;
};
