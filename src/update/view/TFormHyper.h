#pragma once
// The download window: tells the user that a newer loader (this tool) or a
// newer firmware for the connected module can be downloaded, with one
// "Download" button for each, which hands the link to the desktop's default
// handler (normally the web browser). The tool itself downloads nothing here.
// Not modal, kept above the other windows; closing it only hides it.

#include "update/UpdateList.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

class TFormHyper : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 400;
    static constexpr int ClientHeight = 150;
    static constexpr int LoaderPanelHeight = 57;
    static constexpr int FirmwarePanelHeight = 56;
    static constexpr int ButtonWidth = 75;
    static constexpr int LoaderOfferMessage = 92;
    static constexpr int FirmwareOfferMessage = 93;

    // Numbered message text of the current language.
    using TMessageSource = std::function<QString(int)>;
    // Hands a URL to the desktop; QDesktopServices::openUrl unless replaced.
    using TLinkOpener = std::function<void(const QUrl&)>;

    // mainWindow: whose title the window takes each time it is shown.
    explicit TFormHyper(QWidget* mainWindow = nullptr, TMessageSource messages = {});

    // Fills the two offers and shows the window (not modal). An offer's panel
    // shows only when its link is a web address that may be opened.
    void ShowOffers(const UpdateList::TOffers& offers);
    // After a change of language (the captions have been applied): the offer
    // texts in the new language.
    void LanguageChanged();
    void SetLinkOpener(TLinkOpener opener) { Opener = std::move(opener); }

    QWidget* LoaderPanel() const { return Loader.Panel; }
    QWidget* FirmwarePanel() const { return Firmware.Panel; }
    QLabel* LoaderLabel() const { return Loader.Label; }
    QLabel* FirmwareLabel() const { return Firmware.Label; }
    QPushButton* LoaderButton() const { return Loader.Button; }
    QPushButton* FirmwareButton() const { return Firmware.Button; }
    QPushButton* CancelButton() const { return Cancel; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct TPanel {
        QWidget* Panel = nullptr;
        QLabel* Label = nullptr;
        QPushButton* Button = nullptr;
        UpdateList::TOffer Offer;
        int Message = 0;
    };

    TPanel MakePanel(const char* name, const QString& caption, int height, int message);
    void ShowPanel(TPanel& panel);
    void Open(const TPanel& panel) const;
    void CentreOnScreen();

    QPointer<QWidget> MainWindow;
    TMessageSource Messages;
    TLinkOpener Opener;
    TPanel Loader;
    TPanel Firmware;
    QPushButton* Cancel;
};
