#pragma once
// Plays the modem traffic script of a monitoring module: a new line, with a
// new USART toggle, every few status reports, round and round. Lines longer
// than a report holds go out in pieces, each with a toggle of its own.

#include "SimProfile.h"

#include <QByteArray>
#include <QList>
#include <optional>

class TSimUsartPlayer {
public:
    static constexpr int kReportsPerLine = 4;

    explicit TSimUsartPlayer(const QList<TSimUsartLine>& script);

    // Called for every status report that carries the state block; a line
    // that starts with this report and changes registers applies its change.
    void NextReport(TSimModemState& modem);
    quint8 Toggle() const { return CurrentToggle; }
    bool FromModem() const { return CurrentFromModem; }
    const QByteArray& Text() const { return CurrentText; }

private:
    struct Piece {
        bool FromModem = false;
        QByteArray Text;
        std::optional<TSimModemChange> Modem; // on the first piece of its line
    };
    QList<Piece> Pieces;
    int NextPiece = 0;
    int ReportsLeft = 1; // the first report already shows the first line
    quint8 CurrentToggle = 0;
    bool CurrentFromModem = false;
    QByteArray CurrentText;
};
