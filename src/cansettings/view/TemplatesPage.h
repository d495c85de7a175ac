#pragma once
// The controls of the Templates tab: "Save New Template" with "Save PIN to
// template" beside it, "Load Template" and "Restore backup"; the save and
// open dialogs and the list of backups.

#include "cansettings/Templates.h"

#include <QWidget>

class QCheckBox;
class QPushButton;
class IShell;
class TCanSettings;

class TTemplatesPage : public QWidget, public ITemplatesView {
    Q_OBJECT
public:
    // The file dialogs show templates only.
    static constexpr const char* Filter = "Templates (*.tpl)";
    static constexpr const char* Suffix = "tpl";

    TTemplatesPage(TTemplates& templates, TCanSettings& settings, IShell& shell,
                   QWidget* parent = nullptr);

    QPushButton* SaveButton() const { return Save; }
    QPushButton* LoadButton() const { return Load; }
    QPushButton* RestoreButton() const { return Restore; }
    QCheckBox* SavePinBox() const { return SavePin; }

    QString AskSavePath(const QString& folder) override;
    QString AskOpenPath(const QString& folder) override;
    bool SavePinChecked() const override;
    int ChooseBackup(const QList<TBackupRow>& rows) override;

private:
    QString AskPath(bool save, const QString& folder, const QPushButton* button);

    IShell& Shell;
    QPushButton* Save;
    QPushButton* Load;
    QPushButton* Restore;
    QCheckBox* SavePin;
};
