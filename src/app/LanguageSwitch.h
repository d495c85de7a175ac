#pragma once
// The language list at the bottom of the main window and what choosing a
// language does: the windows take its texts, the main window its caption with
// the version, Settings.ini remembers the choice, and the parts with texts of
// their own rebuild them (LanguageChanged).

#include <QObject>
#include <QString>
#include <functional>

class QComboBox;
class QLabel;
class QMainWindow;
class TMessageTable;

class TLanguageSwitch : public QObject {
    Q_OBJECT
public:
    static constexpr int NoModuleMessage = 26;

    struct THost {
        QMainWindow* Window = nullptr;
        QComboBox* LanguageList = nullptr;
        QLabel* ConnectionLabel = nullptr;
        std::function<bool()> NoLinkActive;
        std::function<void(const QString&)> ShowError; // the general error box
    };

    TLanguageSwitch(TMessageTable& table, THost host, QObject* parent = nullptr);

    // Reads the language file; on failure, and for a file that holds no
    // language, shows why and leaves the list empty.
    bool LoadLanguages(const QString& path);
    // The message for a language file without a single language: no language
    // could be read, so it is in English.
    static QString NoLanguageText(const QString& path);
    // Fills the list, selects the stored language and applies it.
    void StartUp();
    // The user picked a list entry (or start-up applies the stored one, which
    // goes on even when it is the current language already).
    void ChangeLanguage(bool skipWhenCurrent);

signals:
    // Texts built outside the language file are to be rebuilt.
    void LanguageChanged();

private:
    QByteArray SettingValue(int language) const;
    int StoredLanguage() const;
    // The language a stored name chooses, in any case, with or without its
    // diacritics; -1 for none.
    int LanguageNamed(const QByteArray& stored) const;
    QString MainCaption() const;
    void ShowNoModule();

    TMessageTable& Table;
    THost Host;
    // Whether some language has been applied: only then does picking the
    // current one again have nothing to do.
    bool LanguageApplied = false;
};
