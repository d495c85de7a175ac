#include "SimUsartPlayer.h"

#include "SimProtocol.h"

TSimUsartPlayer::TSimUsartPlayer(const QList<TSimUsartLine>& script) {
    for (const TSimUsartLine& line : script) {
        const bool fromModem = !line.OutGoing;
        if (line.Text.isEmpty()) {
            Pieces.append(Piece{fromModem, {}});
            continue;
        }
        for (qsizetype at = 0; at < line.Text.size(); at += SimWire::kMaxUsartText)
            Pieces.append(Piece{fromModem, line.Text.mid(at, SimWire::kMaxUsartText)});
    }
}

void TSimUsartPlayer::NextReport() {
    if (Pieces.isEmpty() || --ReportsLeft > 0)
        return;
    ReportsLeft = kReportsPerLine;
    const Piece& piece = Pieces[NextPiece];
    NextPiece = (NextPiece + 1) % int(Pieces.size());
    CurrentToggle = (CurrentToggle + 1) & SimWire::kUsartToggleMask;
    CurrentFromModem = piece.FromModem;
    CurrentText = piece.Text;
}
