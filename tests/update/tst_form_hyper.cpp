// The download window: which panels show for which offers, the offer texts,
// sizes and placement, the title taken from the main window, not modal but
// kept above, and links handed to the desktop only when they are web addresses.

#include "update/view/TFormHyper.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

namespace {
const QByteArray LoaderLink = "http://example.test/RV5KLoader.exe";
const QByteArray FirmwareLink = "https://example.test/fw/6.10.bin";

// Message texts of two languages, switched as the language list does.
struct TLanguages {
    bool Russian = false;
    QString operator()(int number) const {
        if (number == TFormHyper::LoaderOfferMessage)
            return Russian ? QStringLiteral("Можно скачать новую версию RV5K Loader")
                           : QStringLiteral("A newer RV5K Loader can be downloaded");
        if (number == TFormHyper::FirmwareOfferMessage)
            return Russian ? QStringLiteral("Можно скачать новую прошивку модуля")
                           : QStringLiteral("Newer module firmware can be downloaded");
        return {};
    }
};

UpdateList::TOffers Offers(std::optional<QByteArray> loader, std::optional<QByteArray> firmware) {
    UpdateList::TOffers offers;
    if (loader)
        offers.Loader = {true, *loader};
    if (firmware)
        offers.Firmware = {true, *firmware};
    return offers;
}

struct TWindow {
    TWindow() : Form(&Main, [this](int n) { return Language(n); }) {
        Main.setWindowTitle(QStringLiteral("RV5K Loader v1.21"));
        Form.SetLinkOpener([this](const QUrl& url) { Opened << url; });
    }
    QWidget Main;
    TLanguages Language;
    TFormHyper Form;
    QList<QUrl> Opened;
};
} // namespace

class TestFormHyper : public QObject {
    Q_OBJECT
private slots:
    void layoutAndWindowKind();
    void panelsFollowTheOffers_data();
    void panelsFollowTheOffers();
    void downloadOpensOnlyWebLinks();
    void titleFromMainWindowEachTimeShown();
    void cancelHidesAndKeepsTheWindow();
    void offerTextsFollowTheLanguage();
};

void TestFormHyper::layoutAndWindowKind() {
    TWindow w;
    QCOMPARE(w.Form.objectName(), QStringLiteral("FormHyper"));
    QCOMPARE(w.Form.size(), QSize(400, 150));
    QVERIFY(w.Form.windowFlags() & Qt::Dialog);
    QVERIFY(w.Form.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!w.Form.isVisible()); // created hidden

    w.Form.ShowOffers(Offers(LoaderLink, FirmwareLink));
    QVERIFY(QTest::qWaitForWindowExposed(&w.Form));
    QCOMPARE(w.Form.windowModality(), Qt::NonModal);
    QVERIFY(!QGuiApplication::modalWindow());
    QCOMPARE(w.Form.size(), QSize(400, 150));
    QCOMPARE(w.Form.LoaderPanel()->geometry(), QRect(0, 0, 400, 57));
    QCOMPARE(w.Form.FirmwarePanel()->geometry(), QRect(0, 57, 400, 56));
    for (QPushButton* button :
         {w.Form.LoaderButton(), w.Form.FirmwareButton(), w.Form.CancelButton()}) {
        QCOMPARE(button->width(), 75);
        const QPoint centre = button->mapTo(&w.Form, button->rect().center());
        QVERIFY2(qAbs(centre.x() - 200) <= 1, button->objectName().toLatin1());
    }
    QVERIFY(w.Form.CancelButton()->isVisible());
    QVERIFY(w.Form.CancelButton()->geometry().top() >= 57 + 56);
    // The labels run across the panel, their text centred.
    for (QLabel* label : {w.Form.LoaderLabel(), w.Form.FirmwareLabel()}) {
        QVERIFY(label->width() >= 400 - 10);
        QCOMPARE(label->alignment(), Qt::AlignCenter);
    }
    // Centred on the screen (give or take the frame, which is known only
    // once the window is shown).
    const QRect screen = w.Form.screen()->availableGeometry();
    const QPoint offset = w.Form.geometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 30 && qAbs(offset.y()) <= 30,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

void TestFormHyper::panelsFollowTheOffers_data() {
    QTest::addColumn<QByteArray>("loader"); // "-": no offer
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<bool>("loaderShown");
    QTest::addColumn<bool>("firmwareShown");
    QTest::newRow("both") << LoaderLink << FirmwareLink << true << true;
    QTest::newRow("only the loader") << LoaderLink << QByteArray("-") << true << false;
    QTest::newRow("only the firmware") << QByteArray("-") << FirmwareLink << false << true;
    QTest::newRow("line without a TAB: empty link")
        << QByteArray() << FirmwareLink << false << true;
    QTest::newRow("file URL") << QByteArray("file:///etc/passwd") << FirmwareLink << false << true;
    QTest::newRow("program path") << LoaderLink << QByteArray("/usr/bin/xterm") << true << false;
    QTest::newRow("no panel left") << QByteArray() << QByteArray("javascript:x") << false << false;
}

void TestFormHyper::panelsFollowTheOffers() {
    QFETCH(QByteArray, loader);
    QFETCH(QByteArray, firmware);
    TWindow w;
    const auto offer = [](const QByteArray& link) {
        return link == "-" ? std::nullopt : std::optional<QByteArray>(link);
    };
    w.Form.ShowOffers(Offers(offer(loader), offer(firmware)));
    QTEST(w.Form.LoaderPanel()->isVisible(), "loaderShown");
    QTEST(w.Form.FirmwarePanel()->isVisible(), "firmwareShown");
    QVERIFY(w.Form.CancelButton()->isVisible());
    if (w.Form.LoaderPanel()->isVisible())
        QCOMPARE(w.Form.LoaderLabel()->text(), w.Language(TFormHyper::LoaderOfferMessage));
    if (w.Form.FirmwarePanel()->isVisible())
        QCOMPARE(w.Form.FirmwareLabel()->text(), w.Language(TFormHyper::FirmwareOfferMessage));
    // With only the firmware panel, it is the one at the top.
    if (!w.Form.LoaderPanel()->isVisible() && w.Form.FirmwarePanel()->isVisible())
        QCOMPARE(w.Form.FirmwarePanel()->y(), 0);
}

void TestFormHyper::downloadOpensOnlyWebLinks() {
    TWindow w;
    w.Form.ShowOffers(Offers(LoaderLink, QByteArray("file:///bin/sh")));
    w.Form.LoaderButton()->click();
    QCOMPARE(w.Opened, QList<QUrl>{QUrl(QString::fromLatin1(LoaderLink))});
    QVERIFY(w.Form.isVisible()); // stays open after a download was started
    // The firmware's button is hidden; even pressed, it opens nothing.
    w.Form.FirmwareButton()->click();
    QCOMPARE(w.Opened.size(), 1);

    for (const QByteArray& link :
         {QByteArray("/usr/bin/xterm"), QByteArray("C:\\Windows\\notepad.exe"), QByteArray(),
          QByteArray("http:"), QByteArray("ftp://example.test/x")}) {
        w.Form.ShowOffers(Offers(link, std::nullopt));
        w.Form.LoaderButton()->click();
    }
    QCOMPARE(w.Opened.size(), 1);
}

void TestFormHyper::titleFromMainWindowEachTimeShown() {
    TWindow w;
    w.Form.ShowOffers(Offers(LoaderLink, std::nullopt));
    QCOMPARE(w.Form.windowTitle(), QStringLiteral("RV5K Loader v1.21"));
    w.Form.close();
    w.Main.setWindowTitle(QStringLiteral("RV5K Loader (LT) v1.21"));
    w.Form.ShowOffers(Offers(LoaderLink, std::nullopt));
    QCOMPARE(w.Form.windowTitle(), QStringLiteral("RV5K Loader (LT) v1.21"));
}

void TestFormHyper::cancelHidesAndKeepsTheWindow() {
    TWindow w;
    w.Form.ShowOffers(Offers(LoaderLink, FirmwareLink));
    QVERIFY(w.Form.isVisible());
    w.Form.CancelButton()->click();
    QVERIFY(!w.Form.isVisible());
    QVERIFY(w.Opened.isEmpty());
    w.Form.ShowOffers(Offers(LoaderLink, std::nullopt));
    QVERIFY(w.Form.isVisible());
    QVERIFY(!w.Form.FirmwarePanel()->isVisible());
}

void TestFormHyper::offerTextsFollowTheLanguage() {
    TWindow w;
    w.Form.ShowOffers(Offers(LoaderLink, std::nullopt));
    // A language change puts the translated captions on the labels first ...
    w.Form.LoaderLabel()->setText(QStringLiteral("Программа"));
    w.Language.Russian = true;
    // ... then the window puts the offer texts back, in the new language.
    w.Form.LanguageChanged();
    QCOMPARE(w.Form.LoaderLabel()->text(),
             QStringLiteral("Можно скачать новую версию RV5K Loader"));
    QVERIFY(w.Form.LoaderPanel()->isVisible());
    QVERIFY(!w.Form.FirmwarePanel()->isVisible());

    // A language without the message keeps the caption rather than a blank.
    TFormHyper bare(nullptr, [](int) { return QString(); });
    bare.ShowOffers(Offers(LoaderLink, std::nullopt));
    QCOMPARE(bare.LoaderLabel()->text(), QStringLiteral("Loader"));
}

QTEST_MAIN(TestFormHyper)
#include "tst_form_hyper.moc"
