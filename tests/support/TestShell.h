#pragma once
// The shell for headless tests of the program's logic: message texts are
// "M" and the number (a change of language changes the prefix), boxes are
// recorded and answered at once, waits run a nested event loop, the progress
// window, the window's enabled state and the settings panel are flags, the
// password box and the "Select base" window answer from lists.

#include "session/Shell.h"

#include <QEventLoop>
#include <QList>
#include <QTimer>

struct TTestShell : IShell {
    QString MessagePrefix = QStringLiteral("M");
    bool Loaded = true;
    QStringList Boxes; // texts of the boxes shown, in order
    QList<int> BoxKinds;
    int BoxAnswer = Box::ResultYes;
    bool Enabled = true;
    bool Progress = false;
    QList<int> ProgressMessages; // each ShowProgress
    bool PanelVisible = false;
    QList<QByteArray> Passwords; // answers in turn; none left: cancelled
    int PasswordsAsked = 0;
    int Choice = 0; // the row "Select base" answers
    QList<QStringList> ChoiceRows;
    bool Closed = false;

    QString Message(int number) const override { return MessagePrefix + QString::number(number); }
    bool LanguagesLoaded() const override { return Loaded; }
    int ShowMessageBox(const QString& text, int kind, int) override {
        Boxes << text;
        BoxKinds << kind;
        return BoxAnswer;
    }
    void Wait(int milliseconds) override {
        if (Closed)
            return;
        QEventLoop loop;
        QTimer timer;
        timer.setTimerType(Qt::PreciseTimer);
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        timer.start(milliseconds);
        loop.exec();
    }
    void WaitUntil(const std::function<bool()>& done, int pollMilliseconds) override {
        if (Closed || done())
            return;
        QEventLoop loop;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            if (Closed || done())
                loop.quit();
        });
        timer.start(qMax(1, pollMilliseconds));
        loop.exec();
    }
    void ShowProgress(int messageNumber) override {
        ProgressMessages << messageNumber;
        Progress = true;
        Enabled = false;
    }
    void HideProgress() override {
        Progress = false;
        Enabled = true;
    }
    bool ProgressShowing() const override { return Progress; }
    void SetWindowEnabled(bool enabled) override { Enabled = enabled; }
    bool WindowEnabled() const override { return Enabled; }
    void ShowSettingsPanel(bool visible) override { PanelVisible = visible; }
    bool AskUsbPassword(QByteArray* password) override {
        ++PasswordsAsked;
        if (Passwords.isEmpty())
            return false;
        *password = Passwords.takeFirst();
        return true;
    }
    int ChooseModule(const QStringList& rows) override {
        ChoiceRows << rows;
        return Choice;
    }
};
