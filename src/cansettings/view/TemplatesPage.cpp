#include "TemplatesPage.h"

#include "cansettings/CanSettings.h"
#include "session/Shell.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const QString TimeShown = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QPushButton* Named(QPushButton* button, const char* name) {
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QString Caption(const QPushButton* button) {
    return button->text().remove(QLatin1Char('&'));
}
} // namespace

TTemplatesPage::TTemplatesPage(TTemplates& templates, TCanSettings& settings, IShell& shell,
                               QWidget* parent)
    : QWidget(parent), Shell(shell),
      Save(Named(new QPushButton(QStringLiteral("Save New Template"), this), "SaveTemplateButton")),
      Load(Named(new QPushButton(QStringLiteral("Load Template"), this), "LoadTemplateButton")),
      Restore(
          Named(new QPushButton(QStringLiteral("Restore backup"), this), "RestoreBackupButton")),
      SavePin(new QCheckBox(QStringLiteral("Save PIN to template"), this)) {
    setObjectName(QStringLiteral("TemplatesPage"));
    SavePin->setObjectName(QStringLiteral("SavePinBox"));
    SavePin->setEnabled(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 8);
    grid->setHorizontalSpacing(16);
    grid->addWidget(Save, 0, 0);
    grid->addWidget(SavePin, 0, 1);
    grid->addWidget(Load, 1, 0);
    grid->addWidget(Restore, 2, 0);
    grid->setColumnStretch(2, 1);
    // The keyboard goes as the eye does: row by row.
    setTabOrder(Save, SavePin);
    setTabOrder(SavePin, Load);
    setTabOrder(Load, Restore);

    connect(Save, &QPushButton::clicked, &templates, &TTemplates::SaveNewTemplate);
    connect(Load, &QPushButton::clicked, &templates, &TTemplates::LoadTemplate);
    connect(Restore, &QPushButton::clicked, &templates, &TTemplates::RestoreBackup);
    // The box means something only while the PIN field shows a PIN.
    connect(&settings, &TCanSettings::PinShown, SavePin, &QWidget::setEnabled);
    templates.SetView(this);
}

QString TTemplatesPage::AskPath(bool save, const QString& folder, const QPushButton* button) {
    QFileDialog dialog(window(), Caption(button), folder, QString::fromLatin1(Filter));
    dialog.setObjectName(save ? QStringLiteral("SaveTemplateDialog")
                              : QStringLiteral("LoadTemplateDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromLatin1(Suffix));
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString TTemplatesPage::AskSavePath(const QString& folder) {
    return AskPath(true, folder, Save);
}

QString TTemplatesPage::AskOpenPath(const QString& folder) {
    return AskPath(false, folder, Load);
}

bool TTemplatesPage::SavePinChecked() const {
    // The window is disabled while Save runs: the box's own state counts.
    return SavePin->isChecked() && SavePin->isEnabledTo(this);
}

int TTemplatesPage::ChooseBackup(const QList<TBackupRow>& rows) {
    QDialog dialog(window());
    dialog.setObjectName(QStringLiteral("BackupsDialog"));
    dialog.setWindowTitle(Shell.Message(TTemplates::BackupsTitleMessage));
    dialog.setWindowModality(Qt::ApplicationModal);

    auto* list = new QTreeWidget(&dialog);
    list->setObjectName(QStringLiteral("BackupList"));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({Shell.Message(TTemplates::BackupTimeMessage),
                           Shell.Message(TTemplates::BackupDifferencesMessage)});
    for (const TBackupRow& row : rows) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, row.Time.toString(TimeShown));
        item->setText(1,
                      row.Differences < 0 ? QStringLiteral("?") : QString::number(row.Differences));
        item->setTextAlignment(1, Qt::AlignCenter);
    }
    list->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    list->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    list->header()->setStretchLastSection(true);
    list->setCurrentItem(list->topLevelItem(0));

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* load = buttons->addButton(Shell.Message(TTemplates::LoadBackupMessage),
                                           QDialogButtonBox::AcceptRole);
    load->setObjectName(QStringLiteral("LoadBackupButton"));
    buttons->addButton(Shell.Message(TTemplates::CancelMessage), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelBackupButton"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list);
    layout->addWidget(buttons);
    dialog.resize(420, 360);
    if (dialog.exec() != QDialog::Accepted || !list->currentItem())
        return -1;
    return list->indexOfTopLevelItem(list->currentItem());
}
