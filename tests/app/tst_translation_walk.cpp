// Every window walked in each shipped language, with a module read and every
// page shown: no visible text or hint may still be the English one where the
// language file has a translation for it, and no caption may be wider than
// its control.

#include "AppFixture.h"
#include "SideBySideMain.h"
#include "SimProfiles.h"
#include "i18n/CodePage.h"
#include "i18n/LanguageFile.h"
#include "sim/SimRv5kModule.h"
#include "update/view/TFormHyper.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QtTest>

namespace {
// The English texts that the language translates into something else.
QSet<QString> EnglishTranslatedIn(const TKalbos& languages, int language) {
    const tkalba& english = languages[0];
    const tkalba& other = languages[language];
    const TCodePage englishPage = CodePageOfCharset(english.Charset);
    const TCodePage otherPage = CodePageOfCharset(other.Charset);
    QSet<QString> texts;
    const auto add = [&](const QByteArray& mine, const QByteArray& theirs) {
        const QString text = ToWide(mine, englishPage).trimmed();
        if (!text.isEmpty() && text != ToWide(theirs, otherPage).trimmed())
            texts.insert(text);
    };
    for (const tforma& window : english.Forms)
        for (const tforma& translated : other.Forms) {
            if (translated.Name.compare(window.Name, Qt::CaseInsensitive) != 0)
                continue;
            add(window.Caption, translated.Caption);
            for (const tkomponentas& control : window.Components)
                for (const tkomponentas& theirs : translated.Components)
                    if (theirs.Name.compare(control.Name, Qt::CaseInsensitive) == 0) {
                        // Lists hold their items; only single texts are compared.
                        if (!control.Text.contains('\t'))
                            add(control.Text, theirs.Text);
                        add(control.Hint, theirs.Hint);
                    }
        }
    for (int i = 0; i < english.Messages.size() && i < other.Messages.size(); ++i)
        add(english.Messages[i], other.Messages[i]);
    return texts;
}

struct TWalk {
    QSet<QString> English;
    QStringList Faults;

    int Checked = 0;

    void Text(const QWidget* widget, const QString& what, const QString& text) {
        if (!text.isEmpty())
            ++Checked;
        if (English.contains(text.trimmed()))
            Faults << QStringLiteral("%1 %2 still English: \"%3\"")
                          .arg(Name(widget), what, text.trimmed());
    }
    void Fits(const QWidget* widget, int needed, int has) {
        // A pixel of slack for rounding in the styles.
        if (needed > has + 1)
            Faults << QStringLiteral("%1 clipped: needs %2 px, has %3")
                          .arg(Name(widget))
                          .arg(needed)
                          .arg(has);
    }
    static QString Name(const QWidget* widget) {
        QString name = widget->objectName();
        if (name.isEmpty())
            name = QString::fromLatin1(widget->metaObject()->className());
        return widget->window()->objectName() + '.' + name;
    }

    void Window(QWidget* window) {
        Text(window, QStringLiteral("title"), window->windowTitle());
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            if (!widget->isVisible())
                continue;
            Text(widget, QStringLiteral("hint"), widget->toolTip());
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                Text(label, QStringLiteral("text"), label->text());
                if (!label->wordWrap() && !label->text().isEmpty() && label->pixmap().isNull())
                    Fits(label, label->sizeHint().width(), label->width());
            } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                Text(button, QStringLiteral("text"), button->text());
                // A push button's size hint has a style's least width and
                // margins in it; what matters is its text within the frame.
                if (button->text().isEmpty())
                    continue;
                if (qobject_cast<QPushButton*>(button))
                    Fits(button,
                         button->fontMetrics().horizontalAdvance(button->text()) +
                             2 * button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth),
                         button->width());
                else if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
                    Fits(button, button->sizeHint().width(), button->width());
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                Text(group, QStringLiteral("title"), group->title());
                Fits(group, group->fontMetrics().horizontalAdvance(group->title()) + 16,
                     group->width());
            } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->isTabVisible(i))
                        Text(tabs, QStringLiteral("tab"), tabs->tabText(i));
            } else if (auto* header = qobject_cast<QHeaderView*>(widget)) {
                for (int i = 0; header->model() && i < header->count(); ++i) {
                    if (header->isSectionHidden(i))
                        continue;
                    const QString title =
                        header->model()->headerData(i, header->orientation()).toString();
                    Text(header, QStringLiteral("column"), title);
                    Fits(header, header->fontMetrics().horizontalAdvance(title) + 8,
                         header->sectionSize(i));
                }
            } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
                Text(list, QStringLiteral("choice"), list->currentText());
            }
        }
    }
};
} // namespace

class TestTranslationWalk : public QObject {
    Q_OBJECT
private slots:
    void everyWindow_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("English") << 0;
        QTest::newRow("Lietuvių") << 1;
        QTest::newRow("Русский") << 2;
    }
    void everyWindow() {
        QFETCH(int, language);
        TKalbos languages;
        QByteArray error;
        QVERIFY2(TLanguageFile::Load(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/comps.txt",
                                     &languages, &error),
                 error.constData());
        QVERIFY(languages.size() > language);

        TSimProfile profile = DemoProfile();
        profile.PeriodicEveryReports = 5; // the engine start page soon
        TSimRv5kModule module(profile);
        TAppFixture app;
        {
            // The service code: the "Log" page too.
            QFile settings(app.Dir.filePath(QStringLiteral("Settings.ini")));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write("[Settings]\r\nCode=50713\r\n");
        }
        app.Open();
        QVERIFY(QTest::qWaitFor([&] { return app.Form()->LanguagesLoaded; }, 5000));
        QComboBox* list = app.Ui().LanguageBox;
        const QString name =
            ToWide(languages[language].Name, CodePageOfCharset(languages[language].Charset));
        const int index = list->findText(name);
        QVERIFY(index >= 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
        app.Bus().Plug(&module);
        QVERIFY(app.WaitForRead(20000));
        QTabWidget* pages = app.Ui().PageControl1;
        QTRY_VERIFY_WITH_TIMEOUT(pages->isTabVisible(pages->indexOf(app.Ui().TabAutoStart)), 20000);

        TWalk walk{EnglishTranslatedIn(languages, language), {}, 0};
        for (int i = 0; i < pages->count(); ++i) {
            if (!pages->isTabVisible(i))
                continue;
            pages->setCurrentIndex(i);
            QCoreApplication::processEvents();
            walk.Window(app.Form());
        }
        for (QWidget* window : QList<QWidget*>{app.Windows->Form7(), app.Windows->FormHyper()}) {
            window->show();
            QCoreApplication::processEvents();
            walk.Window(window);
            window->hide();
        }
        app.Form()->ShowProgress(42);
        QCoreApplication::processEvents();
        walk.Window(app.Progress());
        app.Form()->HideProgress();
        QVERIFY(walk.Checked > 100); // the walk saw the windows' texts
        walk.Faults.removeDuplicates();
        QVERIFY2(walk.Faults.isEmpty(), qPrintable(walk.Faults.join('\n')));
    }
};

RV5K_SIDE_BY_SIDE_MAIN(TestTranslationWalk)
#include "tst_translation_walk.moc"
