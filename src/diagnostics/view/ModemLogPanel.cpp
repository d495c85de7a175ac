#include "ModemLogPanel.h"

#include "diagnostics/LogFile.h"
#include "session/Shell.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {
template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

TModemLogPanel::TModemLogPanel(IShell& shell, QPushButton* readSettings, QWidget* parent)
    : QWidget(parent), Shell(shell) {
    setObjectName(QStringLiteral("ModemLogPanel"));
    Lock = Named(new QCheckBox(QStringLiteral("Lock")), "LockBox");
    Registers = Named(new QCheckBox(QStringLiteral("Put Registers into LOG")), "RegistersBox");
    ClearLog = Named(new QPushButton(QStringLiteral("Clear")), "ClearLogButton");
    Copy = Named(new QPushButton(QStringLiteral("Copy")), "CopyLogButton");
    Save = Named(new QPushButton(QStringLiteral("Save log...")), "SaveLogButton");
    SaveFailedText = new QAction(QStringLiteral("The log could not be saved."), this);
    SaveFailedText->setObjectName(QStringLiteral("SaveLogFailedText"));

    Memo = Named(new QPlainTextEdit, "LogMemo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setUndoRedoEnabled(false);
    Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    // Two rows, so that the page keeps the window's width in every language:
    // what decides which lines come above the box, what to do with them below.
    auto* options = new QHBoxLayout;
    options->setContentsMargins(0, 0, 0, 0);
    options->addWidget(Lock);
    options->addWidget(Registers);
    options->addStretch(1);
    if (readSettings)
        options->addWidget(readSettings);
    auto* actions = new QHBoxLayout;
    actions->setContentsMargins(0, 0, 0, 0);
    actions->addStretch(1);
    actions->addWidget(ClearLog);
    actions->addWidget(Copy);
    actions->addWidget(Save);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(options);
    layout->addWidget(Memo, 1);
    layout->addLayout(actions);

    connect(Lock, &QCheckBox::toggled, this, &TModemLogPanel::LockToggled);
    connect(Registers, &QCheckBox::toggled, this, &TModemLogPanel::RegistersToggled);
    connect(ClearLog, &QPushButton::clicked, this, &TModemLogPanel::Clear);
    connect(Copy, &QPushButton::clicked, this, &TModemLogPanel::CopySelectedLines);
    connect(Save, &QPushButton::clicked, this, &TModemLogPanel::SaveLog);
}

void TModemLogPanel::AppendEntry(const QString& entry) {
    // The box breaks lines at LF; a CR on its own would break one as well.
    QString text = entry;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Memo->appendPlainText(text);
}

void TModemLogPanel::Clear() {
    Memo->clear();
}

QStringList TModemLogPanel::Lines() const {
    QStringList lines;
    for (QTextBlock block = Memo->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    if (lines.size() == 1 && lines.first().isEmpty())
        lines.clear(); // an empty box still holds one empty block
    return lines;
}

void TModemLogPanel::CopySelectedLines() {
    const QTextCursor cursor = Memo->textCursor();
    const QTextDocument* document = Memo->document();
    const QTextBlock first = document->findBlock(cursor.selectionStart());
    QTextBlock last = document->findBlock(cursor.selectionEnd());
    // A selection that ends at the start of a line does not take that line.
    if (cursor.hasSelection() && last != first && cursor.selectionEnd() == last.position())
        last = last.previous();
    QStringList lines;
    for (QTextBlock block = first; block.isValid(); block = block.next()) {
        lines << block.text();
        if (block == last)
            break;
    }
    QApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
}

bool TModemLogPanel::SaveTo(const QString& path, QString* reason) const {
    QString text = Memo->toPlainText();
    if (!text.isEmpty())
        text += QLatin1Char('\n');
    return SaveLogFile(path, text, reason);
}

QString TModemLogPanel::AskPath(const QString& suggested) {
    if (ChoosePath)
        return ChoosePath(suggested);
    QFileDialog dialog(window(), Save->text().remove(QStringLiteral("...")), suggested,
                       QStringLiteral("*.txt"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void TModemLogPanel::SaveLog() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString path =
        AskPath(QDir(folder).filePath(DefaultLogFileName(QDateTime::currentDateTime())));
    if (path.isEmpty())
        return;
    QString reason;
    if (!SaveTo(path, &reason))
        Shell.ShowMessageBox(SaveFailedText->text() + QStringLiteral("\n\n") +
                                 QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason,
                             Box::Error, Box::Ok);
}
