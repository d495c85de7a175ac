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

// Calls answer with the first window find gives (polled every 10 ms, up to
// timeoutMs); the returned flag tells whether one was seen. The application
// owns the poll: a test that ends before its next tick leaves nothing behind.
template <typename TWindow>
std::shared_ptr<bool> WhenFound(std::function<TWindow*()> find,
                                std::function<void(TWindow*)> answer, int timeoutMs) {
    auto seen = std::make_shared<bool>(false);
    auto* poll = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        TWindow* window = find();
        if (window || clock->elapsed() > timeoutMs) {
            poll->stop();
            poll->deleteLater();
        }
        if (window) {
            *seen = true;
            answer(window);
        }
    });
    poll->start(10);
    return seen;
}

// The first visible top-level window that passes the test.
template <typename TWindow> TWindow* VisibleWindow(const std::function<bool(TWindow*)>& test) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* wanted = qobject_cast<TWindow*>(window);
            wanted && wanted->isVisible() && test(wanted))
            return wanted;
    return nullptr;
}

// Calls answer with the modal widget once one shows. The default wait is long
// on purpose: a box that comes after its answerer has given up would block
// the test run for good, while a late box that is answered only makes the
// test's own, shorter check fail.
inline std::shared_ptr<bool> WhenModal(std::function<void(QWidget*)> answer,
                                       int timeoutMs = 30000) {
    return WhenFound<QWidget>([] { return QApplication::activeModalWidget(); }, std::move(answer),
                              timeoutMs);
}

// Calls answer with the first visible message box. A modal progress window
// may be the active modal widget meanwhile, so boxes are looked for by kind.
inline std::shared_ptr<bool> WhenMessageBox(std::function<void(QMessageBox*)> answer,
                                            int timeoutMs) {
    return WhenFound<QMessageBox>(
        [] { return VisibleWindow<QMessageBox>([](QMessageBox*) { return true; }); },
        std::move(answer), timeoutMs);
}

// Calls answer with the first visible top-level window of this object name
// (a dialog may show while another modal window is up).
inline std::shared_ptr<bool> WhenShown(const QString& objectName,
                                       std::function<void(QWidget*)> answer, int timeoutMs) {
    return WhenFound<QWidget>(
        [objectName] {
            return VisibleWindow<QWidget>(
                [&](QWidget* window) { return window->objectName() == objectName; });
        },
        std::move(answer), timeoutMs);
}

// Answers the review before Save each time it shows ("Save" or "Cancel")
// until Stop(); Seen counts the reviews answered.
class TReviewAnswer {
public:
    explicit TReviewAnswer(bool save) : State(std::make_shared<TState>()) {
        auto state = State;
        auto* poll = new QTimer(qApp); // as in WhenFound
        QObject::connect(poll, &QTimer::timeout, poll, [state, poll, save] {
            if (state->Stopped) {
                poll->stop();
                poll->deleteLater();
                return;
            }
            QWidget* review = VisibleWindow<QWidget>([](QWidget* window) {
                return window->objectName() == QLatin1String("ChangesReview");
            });
            if (!review)
                return;
            state->Rows = review->findChild<QTreeWidget*>()->topLevelItemCount();
            ++state->Seen;
            review
                ->findChild<QPushButton*>(save ? QStringLiteral("ReviewSaveButton")
                                               : QStringLiteral("ReviewCancelButton"))
                ->click();
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
