#pragma once
// The application's message box. Kinds: 0 warning, 1 error, 2 information,
// 3 confirmation, titled with messages 37, 34, 35 and 36. Buttons are a bit
// set: 1 Yes, 2 No, 4 OK, 8 Cancel (Yes, No and Cancel captioned with messages
// 38, 39 and 40). The result names the pressed button: 6 Yes, 7 No, 1 OK,
// 2 Cancel.

#include <QString>

class TMessageTable;

class TMessageBox {
public:
    enum Kind { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };
    enum Button { Yes = 1, No = 2, Ok = 4, Cancel = 8 };
    enum Result { ResultOk = 1, ResultCancel = 2, ResultYes = 6, ResultNo = 7 };

    // Modal for the whole application. It has no parent window on purpose: a
    // box owned by a disabled window could not be answered.
    static int Show(const TMessageTable& messages, const QString& text, int kind, int buttons);

    static int TitleMessage(int kind);
};
