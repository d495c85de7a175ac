#pragma once
// What the program's logic needs of the window around it: numbered message
// texts, message boxes, waits that keep events flowing, the progress window,
// enabling the window and showing its settings panel, and the two questions
// only a window can ask (the USB password, the module to take through the
// base). The main window implements it; headless tests give their own.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// The message box's kinds, buttons and results, named once for every caller.
namespace Box {
enum Kind { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };
// Buttons are a bit set.
enum Button { Yes = 1, No = 2, Ok = 4, Cancel = 8 };
enum Result { ResultOk = 1, ResultCancel = 2, ResultYes = 6, ResultNo = 7 };
} // namespace Box

class IShell {
public:
    virtual ~IShell() = default;

    // Message n of the current language, widened for display.
    virtual QString Message(int number) const = 0;
    virtual bool LanguagesLoaded() const = 0;
    // Modal for the whole application; the pressed button (Box::Result).
    virtual int ShowMessageBox(const QString& text, int kind, int buttons) = 0;

    // Keeps events flowing for the interval (or until closing began).
    virtual void Wait(int milliseconds) = 0;
    // Checks at once, then every pollMilliseconds, until done() (or closing).
    virtual void WaitUntil(const std::function<bool()>& done, int pollMilliseconds) = 0;

    // The progress window: line 1 is message n; showing it disables the
    // window, hiding it enables the window again.
    virtual void ShowProgress(int messageNumber) = 0;
    virtual void HideProgress() = 0;
    virtual bool ProgressShowing() const = 0;
    virtual void SetWindowEnabled(bool enabled) = 0;
    virtual bool WindowEnabled() const = 0;
    // The settings pages with "Save" and "Set default".
    virtual void ShowSettingsPanel(bool visible) = 0;

    // False when the user cancelled.
    virtual bool AskUsbPassword(QByteArray* password) = 0;
    // The "Select base" list; the chosen row, or -1 for none.
    virtual int ChooseModule(const QStringList& rows) = 0;
};
