#pragma once
// The progress window shown while settings are read or written: no border or
// title bar, 243 by 100 white pixels over the centre of the main window, the
// caller's caption, "Please wait..." and a moving bar. While it shows, the
// main window is disabled.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

class QLabel;
class TMessageTable;
class TMovingProgressBar;

class TForm5 : public QWidget {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 243;
    static constexpr int ClientHeight = 100;
    static constexpr int WaitMessage = 42;

    TForm5(QWidget* mainWindow, const TMessageTable& messages);

    // Sets line 1. When the window was hidden it also disables the main
    // window, places itself over it, resets line 2 and shows.
    void ShowProgress(const QString& caption);
    // Hides the window and enables the main window, whoever disabled it.
    void HideProgress();

    QString Line1() const;
    QString Line2() const;
    TMovingProgressBar* Bar() const { return ProgressBar; }

    // Top left corner that centres a window of the given size over the main
    // window's frame; the half differences truncate toward zero.
    static QPoint PlacementOver(const QRect& mainFrame, const QSize& size);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void KeepAboveMainWindow();

    QWidget* MainWindow;
    const TMessageTable& Messages;
    QLabel* CaptionLabel;
    QLabel* WaitLabel;
    TMovingProgressBar* ProgressBar;
};
