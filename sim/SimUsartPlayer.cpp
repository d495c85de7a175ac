#include "SimUsartPlayer.h"

#include "SimProtocol.h"

TSimUsartPlayer::TSimUsartPlayer(const QList<TSimUsartLine>& script) {
    for (const TSimUsartLine& line : script) {
        const bool fromModem = !line.OutGoing;
        if (line.Text.isEmpty()) {
            Pieces.append(Piece{fromModem, {}, line.Modem});
            continue;
        }
        for (qsizetype at = 0; at < line.Text.size(); at += SimWire::kMaxUsartText)
            Pieces.append(Piece{fromModem, line.Text.mid(at, SimWire::kMaxUsartText),
                                at == 0 ? line.Modem : std::nullopt});
    }
}

void TSimUsartPlayer::NextReport(TSimModemState& modem) {
    if (Pieces.isEmpty() || --ReportsLeft > 0)
        return;
    ReportsLeft = kReportsPerLine;
    const Piece& piece = Pieces[NextPiece];
    NextPiece = (NextPiece + 1) % int(Pieces.size());
    CurrentToggle = (CurrentToggle + 1) & SimWire::kUsartToggleMask;
    CurrentFromModem = piece.FromModem;
    CurrentText = piece.Text;
    if (piece.Modem)
        piece.Modem->ApplyTo(modem);
}
