#pragma once
// "Set default": the module back to its factory settings. After a Yes to the
// question, the restore request goes out on the active link (straight to the
// module over USB, relayed through the base otherwise, nowhere without a
// link); then the write cycle runs in defaults mode, whose end reads every
// setting again, so the window shows what the module holds afterwards.

#include <QObject>
#include <functional>

class TCanSettings;
class TSession;

class TSetDefault : public QObject {
    Q_OBJECT
public:
    static constexpr int QuestionMessage = 27;

    TSetDefault(TSession& session, TCanSettings& settings, QObject* parent = nullptr);

    // Runs before anything is written; false stops the command (for the
    // backup of the module's settings, which may ask the user).
    using TBeforeWrite = std::function<bool()>;
    void SetBeforeWrite(TBeforeWrite hook) { BeforeWrite = std::move(hook); }

    // The button's click.
    void Start();

signals:
    // The command has ended; restored: the request went out.
    void Finished(bool restored);

private:
    TSession& Session;
    TCanSettings& Settings;
    TBeforeWrite BeforeWrite;
};
