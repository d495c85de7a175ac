#include "LanguageSwitch.h"

#include "AppVersion.h"
#include "files/SettingsFile.h"
#include "i18n/LanguageNames.h"
#include "i18n/MessageTable.h"
#include "i18n/view/CaptionTranslator.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QSignalBlocker>

namespace {
const QByteArray Section = QByteArrayLiteral("Settings");
const QByteArray LanguageKey = QByteArrayLiteral("Language");
const QByteArray DefaultLanguage = QByteArrayLiteral("English");
// What a stored value can never be (values are single lines): the key is missing.
const QByteArray KeyMissing = QByteArrayLiteral("\n");
} // namespace

TLanguageSwitch::TLanguageSwitch(TMessageTable& table, THost host, QObject* parent)
    : QObject(parent), Table(table), Host(std::move(host)) {
    connect(Host.LanguageList, &QComboBox::activated, this, [this] { ChangeLanguage(true); });
}

bool TLanguageSwitch::LoadLanguages(const QString& path) {
    QByteArray error;
    if (!Table.LoadLanguageFile(path, &error)) {
        Host.ShowError(Table.ToWide(error));
        return false;
    }
    if (Table.Kalbos().isEmpty()) {
        // Nothing to choose from: the start-up would only blank the texts and
        // store an empty language, so it does not run.
        Host.ShowError(NoLanguageText(path));
        return false;
    }
    return true;
}

QString TLanguageSwitch::NoLanguageText(const QString& path) {
    return QStringLiteral("The language file %1 holds no language. The texts stay in English.")
        .arg(QFileInfo(path).fileName());
}

void TLanguageSwitch::ShowNoModule() {
    // A language without this message keeps the text the label has.
    if (const QString text = Table.WideMess(NoModuleMessage); !text.isEmpty())
        Host.ConnectionLabel->setText(text);
}

int TLanguageSwitch::StoredLanguage() const {
    return LanguageNamed(ReadSetting(Section, LanguageKey, DefaultLanguage));
}

int TLanguageSwitch::LanguageNamed(const QByteArray& stored) const {
    // The key holds a name in its language's own code page.
    int folded = -1;
    for (int i = 0; i < Table.Kalbos().size(); ++i) {
        const TCodePage codePage = CodePageOfCharset(Table.Kalbos()[i].Charset);
        const QString name = ToWide(stored, codePage);
        if (name.compare(Table.LanguageName(i), Qt::CaseInsensitive) == 0)
            return i;
        if (folded < 0 && FoldedLanguageName(name) == FoldedLanguageName(Table.LanguageName(i)))
            folded = i;
    }
    return folded;
}

void TLanguageSwitch::StartUp() {
    const QSignalBlocker quiet(Host.LanguageList);
    Host.LanguageList->clear();
    if (Host.NoLinkActive())
        ShowNoModule();
    for (int i = 0; i < Table.Kalbos().size(); ++i)
        Host.LanguageList->addItem(Table.LanguageName(i));
    // A stored name that is not in the list leaves the list without a choice.
    Host.LanguageList->setCurrentIndex(StoredLanguage());
    ChangeLanguage(false);
}

QByteArray TLanguageSwitch::SettingValue(int language) const {
    if (language < 0)
        return {};
    return Table.Kalbos()[language].Name;
}

QString TLanguageSwitch::MainCaption() const {
    QString caption = QString::fromLatin1(DesignedCaption);
    if (const tkalba* language = Table.CurrentKalba())
        for (const tforma& window : language->Forms)
            if (window.Name.compare(Host.Window->objectName().toLatin1(), Qt::CaseInsensitive) ==
                    0 &&
                !window.Caption.isEmpty()) {
                caption = Table.ToWide(window.Caption);
                break;
            }
    return caption + QString::fromLatin1(VersionText);
}

void TLanguageSwitch::ChangeLanguage(bool skipWhenCurrent) {
    const QString picked = Host.LanguageList->currentText();
    const int pickedIndex = Host.LanguageList->currentIndex();
    if (skipWhenCurrent && LanguageApplied && picked == Table.LanguageName(Table.CurrentLanguage()))
        return;
    QString applyError;
    if (Table.SelectLanguage(picked)) {
        LanguageApplied = true;
        TCaptionTranslator::Apply(*Table.CurrentKalba(), Table.CurrentCodePage(), &applyError);
    }
    if (!applyError.isEmpty()) {
        Host.ShowError(applyError);
        return;
    }
    // Qt fonts cover every script: the character set needs no font change.
    Host.Window->setWindowTitle(MainCaption());
    // An unchanged value is not written again: a read-only Settings.ini would
    // otherwise bring its error at every start.
    // A name stored as older versions spelled it ("Lietuviu") is kept while
    // it still chooses this language, so those versions go on reading it.
    const QByteArray value = SettingValue(pickedIndex);
    const QByteArray stored = ReadSetting(Section, LanguageKey, KeyMissing);
    const bool unchanged = stored == value || (pickedIndex >= 0 && stored != KeyMissing &&
                                               StoredLanguage() == pickedIndex);
    QString writeError;
    if (!unchanged && !WriteSetting(Section, LanguageKey, value, &writeError)) {
        Host.ShowError(writeError);
        return;
    }
    if (Host.NoLinkActive())
        ShowNoModule();
    emit LanguageChanged();
    if (QWidget* focused = QApplication::focusWidget())
        focused->clearFocus();
}
