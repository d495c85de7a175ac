#pragma once
// Answers the next modal box from the event loop: the code under test runs
// the box's own loop, so the answer has to come from a timer.

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <functional>
#include <memory>

// Calls answer with the modal widget once one shows (polled every 10 ms, up to
// timeoutMs). The returned flag tells whether it was seen. The default wait is
// long on purpose: a box that comes after its answerer has given up would
// block the test run for good, while a late box that is answered only makes
// the test's own, shorter check fail.
inline std::shared_ptr<bool> WhenModal(std::function<void(QWidget*)> answer,
                                       int timeoutMs = 30000) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            *seen = true;
            answer(modal);
        } else if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
    return seen;
}

// Calls answer with the first visible message box. A modal progress window
// may be the active modal widget meanwhile, so boxes are looked for by kind.
inline std::shared_ptr<bool> WhenMessageBox(std::function<void(QMessageBox*)> answer,
                                            int timeoutMs) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible()) {
                poll->stop();
                poll->deleteLater();
                *seen = true;
                answer(box);
                return;
            }
        if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
    return seen;
}

// Calls answer with the first visible top-level window of this object name
// (a dialog may show while another modal window is up).
inline std::shared_ptr<bool> WhenShown(const QString& objectName,
                                       std::function<void(QWidget*)> answer, int timeoutMs) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == objectName && window->isVisible()) {
                poll->stop();
                poll->deleteLater();
                *seen = true;
                answer(window);
                return;
            }
        if (clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(10);
    return seen;
}

// Answers the review before Save each time it shows ("Save" or "Cancel")
// until Stop(); Seen counts the reviews answered.
class TReviewAnswer {
public:
    explicit TReviewAnswer(bool save) : State(std::make_shared<TState>()) {
        auto state = State;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [state, poll, save] {
            if (state->Stopped) {
                poll->stop();
                poll->deleteLater();
                return;
            }
            for (QWidget* window : QApplication::topLevelWidgets())
                if (window->objectName() == QLatin1String("ChangesReview") && window->isVisible()) {
                    state->Rows = window->findChild<QTreeWidget*>()->topLevelItemCount();
                    ++state->Seen;
                    window
                        ->findChild<QPushButton*>(save ? QStringLiteral("ReviewSaveButton")
                                                       : QStringLiteral("ReviewCancelButton"))
                        ->click();
                    return;
                }
        });
        poll->start(10);
    }
    ~TReviewAnswer() { Stop(); }
    void Stop() { State->Stopped = true; }
    int Seen() const { return State->Seen; }
    int Rows() const { return State->Rows; } // of the last review

private:
    struct TState {
        bool Stopped = false;
        int Seen = 0;
        int Rows = 0;
    };
    std::shared_ptr<TState> State;
};
