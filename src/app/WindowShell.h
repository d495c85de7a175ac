#pragma once
// The main window's side of IShell: numbered texts from the language table,
// the message box, waits on nested event loops, the progress window, the
// settings panel, the USB password box and the "Select base" window. Once
// closing begins, every wait in progress ends and later ones return at once.

#include "session/Shell.h"

#include <QObject>
#include <QPointer>

class QMainWindow;
class TEventWaiter;
class TForm5;
class TForm7;
class TMessageTable;
struct TMainWindowUi;

class TWindowShell : public QObject, public IShell {
    Q_OBJECT
public:
    TWindowShell(QMainWindow* window, TMainWindowUi& ui, const TMessageTable& messages,
                 QObject* parent = nullptr);

    void AttachProgressWindow(TForm5* progress) { Progress = progress; }
    void AttachSelectBaseWindow(TForm7* selectBase) { SelectBase = selectBase; }
    void SetLanguagesLoaded(bool loaded) { Loaded = loaded; }
    // Ends every wait now and any later one at once.
    void Close();
    bool SettingsPanelVisible() const;

    QString Message(int number) const override;
    bool LanguagesLoaded() const override { return Loaded; }
    int ShowMessageBox(const QString& text, int kind, int buttons) override;
    void Wait(int milliseconds) override;
    void WaitUntil(const std::function<bool()>& done, int pollMilliseconds) override;
    void ShowProgress(int messageNumber) override;
    void HideProgress() override;
    bool ProgressShowing() const override;
    void SetWindowEnabled(bool enabled) override;
    bool WindowEnabled() const override;
    void ShowSettingsPanel(bool visible) override;
    bool AskUsbPassword(QByteArray* password) override;
    int ChooseModule(const QStringList& rows) override;

private:
    QMainWindow* Window;
    TMainWindowUi& Ui;
    const TMessageTable& Messages;
    TEventWaiter* Waiter;
    QPointer<TForm5> Progress;
    QPointer<TForm7> SelectBase;
    bool Loaded = false;
};
