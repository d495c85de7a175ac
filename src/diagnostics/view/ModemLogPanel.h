#pragma once
// The modem traffic log of the "Log" page: the log box, "Lock",
// "Put Registers into LOG", "Clear", "Copy", "Save log..." and the page's
// "Read settings" button beside them.

#include "diagnostics/ModemLog.h"

#include <QWidget>
#include <functional>

class IShell;
class QAction;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class TModemLogPanel : public QWidget, public IModemLogView {
    Q_OBJECT
public:
    // readSettings is the page's own button; it joins the row of buttons.
    TModemLogPanel(IShell& shell, QPushButton* readSettings, QWidget* parent = nullptr);

    void AppendEntry(const QString& entry) override;

    // Empties the log box.
    void Clear();
    // The lines the selection touches (or the cursor's line) to the clipboard.
    void CopySelectedLines();
    // Asks for a file and writes the whole log there; an error shows in a box.
    void SaveLog();
    // Writes the whole log to path; false with reason when it could not.
    bool SaveTo(const QString& path, QString* reason) const;
    // The file the save asks for: a dialog, or what the tests answer.
    using TPathChooser = std::function<QString(const QString& suggested)>;
    void SetPathChooser(TPathChooser chooser) { ChoosePath = std::move(chooser); }

    QPlainTextEdit* LogBox() const { return Memo; }
    QCheckBox* LockBox() const { return Lock; }
    QCheckBox* RegistersBox() const { return Registers; }
    QPushButton* ClearButton() const { return ClearLog; }
    QPushButton* CopyButton() const { return Copy; }
    QPushButton* SaveButton() const { return Save; }
    // The entries as the box holds them, one line each.
    QStringList Lines() const;

signals:
    void LockToggled(bool locked);
    void RegistersToggled(bool on);

private:
    QString AskPath(const QString& suggested);

    IShell& Shell;
    QPlainTextEdit* Memo;
    QCheckBox* Lock;
    QCheckBox* Registers;
    QPushButton* ClearLog;
    QPushButton* Copy;
    QPushButton* Save;
    QAction* SaveFailedText; // the translated text of the error box
    TPathChooser ChoosePath;
};
