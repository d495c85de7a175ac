#pragma once
// One running instance per program path and user. The first instance listens
// on a local socket named from a hash of both; a later start connects to it,
// asks it to bring its window to the front and then ends without a window.

#include <QObject>
#include <QString>

class QLocalServer;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    explicit TSingleInstance(QString key, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // The key of this program file for the current user.
    static QString KeyFor(const QString& programPath, const QString& userName);
    static QString CurrentKey();

    // True when this is the only instance (it now listens for later starts);
    // false when another instance runs and has been asked to come forward.
    bool Claim();

signals:
    // A later start asked this instance to bring its window to the front.
    void RaiseRequested();

private:
    bool AskRunningInstance();

    QString Key;
    QLocalServer* Server = nullptr;
};
