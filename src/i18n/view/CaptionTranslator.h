#pragma once
// Puts a language's window and control texts on the open windows. Windows
// and controls are found by object name in any letter case; the kind key of
// each control line decides which Qt control it may be and how its text and
// hint apply (CaptionRules.h). A window or control that is not there is
// skipped, and so is a control of another kind than its key.

#include "i18n/CodePage.h"
#include "i18n/LanguageRecords.h"

#include <QString>

class QObject;
class QWidget;

class TCaptionTranslator {
public:
    // Applies the windows in file order. A window entry naming a widget that
    // is not a window stops the applying there: false, with the reason.
    static bool Apply(const tkalba& language, TCodePage codePage, QString* error);

    // The open window of that name; none when no window bears it. notWindow
    // tells whether some widget that is not a window bears the name instead.
    static QWidget* FindWindow(const QByteArray& name, bool* notWindow);
    // The first object of that name within the window.
    static QObject* FindControl(QWidget* window, const QByteArray& name);

    // Applies one control line; false when the control is not of the key's kind
    // (or the key is unknown), leaving it unchanged.
    static bool ApplyControl(QObject* control, const tkomponentas& entry, TCodePage codePage);
};
