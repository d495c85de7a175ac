#pragma once
// The application's message box: kinds, buttons and results as named in
// session/Shell.h (Box::); titled with messages 37, 34, 35 and 36 by kind;
// Yes, No and Cancel captioned with messages 38, 39 and 40.

#include <QString>

class TMessageTable;

class TMessageBox {
public:
    // Modal for the whole application. It has no parent window on purpose: a
    // box owned by a disabled window could not be answered.
    static int Show(const TMessageTable& messages, const QString& text, int kind, int buttons);

    static int TitleMessage(int kind);
};
