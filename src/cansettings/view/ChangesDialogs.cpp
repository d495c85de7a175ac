#include "ChangesDialogs.h"

#include "session/Session.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int ListWidth = 640;
constexpr int ListHeight = 400;

QTreeWidget* List(QDialog* dialog, const char* name, const QStringList& titles) {
    auto* list = new QTreeWidget(dialog);
    list->setObjectName(QString::fromLatin1(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setWordWrap(false);
    list->setHeaderLabels(titles);
    list->header()->setSectionResizeMode(QHeaderView::Interactive);
    list->header()->setStretchLastSection(true);
    return list;
}

void FitColumns(QTreeWidget* list) {
    for (int column = 0; column + 1 < list->columnCount(); ++column)
        list->resizeColumnToContents(column);
}
} // namespace

TChangesDialogs::TChangesDialogs(TSession& session, QWidget* parent)
    : QObject(parent), Session(session), Shell(session.Shell()), Parent(parent) {}

QString TChangesDialogs::Message(int number) const {
    return Shell.Message(number);
}

bool TChangesDialogs::ConfirmChanges(const std::vector<TChange>& changes, bool* dontAskAgain) {
    QDialog dialog(Parent);
    dialog.setObjectName(QStringLiteral("ChangesReview"));
    dialog.setWindowTitle(Message(TCanSettings::ReviewTitleMessage));
    dialog.setWindowModality(Qt::ApplicationModal);
    QTreeWidget* list = List(
        &dialog, "ChangesList",
        {Message(TCanSettings::ReviewChapterMessage), Message(TCanSettings::ReviewSettingMessage),
         Message(TCanSettings::ReviewOldMessage), Message(TCanSettings::ReviewNewMessage)});
    for (const TChange& change : changes) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, change.ChapterText);
        item->setText(1, change.Name);
        item->setText(2, change.Old);
        item->setText(3, change.New);
        QFont bold = item->font(3);
        bold.setBold(true);
        item->setFont(3, bold);
        // The catalogue's fixed rows: written by every Save, not the installer's.
        if (change.Forced)
            for (int column = 0; column < 4; ++column) {
                QFont italic = item->font(column);
                italic.setItalic(true);
                item->setFont(column, italic);
                item->setForeground(column, QColor(96, 96, 96));
            }
        for (int column = 0; column < 4; ++column)
            item->setToolTip(column, item->text(column));
    }
    FitColumns(list);
    list->setCurrentItem(list->topLevelItem(0));

    auto* again = new QCheckBox(Message(TCanSettings::DoNotAskMessage), &dialog);
    again->setObjectName(QStringLiteral("DoNotAskBox"));
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save =
        buttons->addButton(Message(TCanSettings::ReviewSaveMessage), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("ReviewSaveButton"));
    QPushButton* cancel =
        buttons->addButton(Message(TCanSettings::CancelMessage), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ReviewCancelButton"));
    // Enter does not write by accident: Cancel is the default.
    cancel->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(&Session, &TSession::ClosingStarted, &dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(list, 1);
    layout->addWidget(again);
    layout->addWidget(buttons);
    dialog.resize(ListWidth, ListHeight);
    const bool accepted = dialog.exec() == QDialog::Accepted && !Session.Closing();
    *dontAskAgain = accepted && again->isChecked();
    return accepted;
}

void TChangesDialogs::ShowMismatches(const std::vector<TMismatch>& mismatches) {
    QDialog dialog(Parent);
    dialog.setObjectName(QStringLiteral("MismatchReport"));
    dialog.setWindowTitle(Message(TCanSettings::MismatchTitleMessage));
    dialog.setWindowModality(Qt::ApplicationModal);
    auto* hint = new QLabel(Message(TCanSettings::MismatchHintMessage), &dialog);
    hint->setObjectName(QStringLiteral("MismatchHint"));
    hint->setWordWrap(true);
    QTreeWidget* list =
        List(&dialog, "MismatchList",
             {Message(TCanSettings::ReviewSettingMessage), Message(TCanSettings::WrittenMessage),
              Message(TCanSettings::HeldMessage)});
    for (const TMismatch& mismatch : mismatches) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, mismatch.Name);
        item->setText(1, mismatch.Written);
        item->setText(2, mismatch.Held);
        for (int column = 0; column < 3; ++column)
            item->setToolTip(column, item->text(column));
    }
    FitColumns(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("MismatchOkButton"));
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(&Session, &TSession::ClosingStarted, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(hint);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    dialog.resize(ListWidth, ListHeight);
    dialog.exec();
}
