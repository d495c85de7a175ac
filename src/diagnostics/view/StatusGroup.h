#pragma once
// The "Status" group of the "Log" page: the lamps of the modem's flags, of its
// control and status registers and of the TCP engine, the message counters,
// the link's own lamps and the GSM signal bar.

#include "diagnostics/Diagnostics.h"

#include <QGroupBox>
#include <QList>

class QGridLayout;
class QLabel;
class QProgressBar;
class TLamp;

class TStatusGroup : public QGroupBox, public IStatusView {
    Q_OBJECT
public:
    explicit TStatusGroup(QWidget* parent = nullptr);

    void ShowLamps(const TStatusLamps& lamps) override;

    // The controls, in the order of the lamp tables (for the tests).
    const QList<TLamp*>& FlagLamps() const { return Flags; }
    const QList<TLamp*>& RequestLamps() const { return Requests; }
    const QList<TLamp*>& ProcessLamps() const { return Processes; }
    const QList<TLamp*>& TcpLamps() const { return Tcp; }
    const QList<TLamp*>& LinkLamps() const { return Link; }
    QProgressBar* SignalBar() const { return Signal; }
    QLabel* OutBufCount() const { return OutBufValue; }
    QLabel* SentCount() const { return SentValue; }
    // Every lamp of the group.
    QList<TLamp*> AllLamps() const;

    static bool Lit(const TLamp* lamp);

private:
    QGroupBox* AddGroup(const char* name, const char* caption);
    TLamp* AddLampRow(QGridLayout* grid, int row, const QString& name, const char* caption);

    QList<TLamp*> Flags;
    QList<TLamp*> Requests;
    QList<TLamp*> Processes;
    QList<TLamp*> Tcp;
    QList<TLamp*> Link;
    QProgressBar* Signal = nullptr;
    QLabel* OutBufValue = nullptr;
    QLabel* SentValue = nullptr;
};
