// The modem line decoders: line ends, single lines (received SMS, received
// frames), the armed sends over several lines (sent SMS in each coding, sent
// frames), the malformed lines that decode to nothing, and the rule that the
// last decoder wins.

#include "diagnostics/ModemDecoder.h"
#include "diagnostics/ModemLine.h"

#include <QtTest>

namespace {
QByteArray Hex(const char* digits) {
    return QByteArray::fromHex(digits);
}

// The sender +37060000000 (11 digits) in a received PDU after an SMSC of four octets.
const QByteArray ReceivedPdu = "0491736000040B917360000000F000005210";
// SMS-SUBMIT to +37060000000, "Alarm: door open" in GSM 7-bit, then Ctrl-Z.
const QByteArray Sms7Bit = Hex("0011000B917360000000F00000AA10417658DED681C8EFB71CF48697DD1A");
// The same destination, "Žinutė" in UCS-2 after a concatenation header
// (reference 42, part 1 of 2).
const QByteArray SmsUcs2 =
    Hex("0051000B917360000000F00008AA120500032A0201017D0069006E0075007401171A");
// "Part two" in GSM 7-bit after a header (reference 7, part 2 of 3): one fill bit.
const QByteArray Sms7BitHeader = Hex("0051000B917360000000F00000AA0F050003070302A061391D44BFBF01");
// "Hello" as 8-bit data, to a national number of 10 digits.
const QByteArray Sms8Bit = Hex("0011000A818675563412") + Hex("0004AA05") + "Hello";
// A sent frame: PROT "T", VER 2, BI 0x1234ABCD, SN 0x0501E240, LEN 30,
// SQID 0x102, CS 0x5A, CMD 0x11, data "ALARM" and a zero byte.
const QByteArray SentFrame = Hex("5402CDAB341240E2010500001E0000000000000002015A1100414C41524D00");
const QString SentFrameText = QStringLiteral("\tPROT=T VER=2 SN=0x0501E240 (123456)\r\n"
                                             "\tBI=0x1234ABCD SQID=0x102 LEN=0x1E\r\n"
                                             "\tCS=0x5A CMD=0x11\r\n"
                                             "\tD=ALARM.");
// A received frame of exactly 25 bytes: CMD 0x8011, no data.
const QByteArray ReceivedFrame = Hex("5402000000000000000000001E0000000000000002015A1180");
const QString ReceivedFrameText = QStringLiteral("\tPROT=T VER=2 SQID=0x102 LEN=0x1E\r\n"
                                                 "\tCS=0x5A CMD=0x8011\r\n"
                                                 "\tD=");
} // namespace

class TestModemDecoder : public QObject {
    Q_OBJECT
private slots:
    void foldLineEnds_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("folded");
        QTest::newRow("OK and CR LF: one line") << QByteArray("OK\r\n") << QByteArray("OK ");
        QTest::newRow("modem answer") << QByteArray("\r\nOK\r\n") << QByteArray(" OK ");
        QTest::newRow("command and CR") << QByteArray("AT+CSQ\r") << QByteArray("AT+CSQ");
        QTest::newRow("the line's first CR goes") << QByteArray("a\rb\r\n") << QByteArray("ab\r ");
        QTest::newRow("no line end") << QByteArray("+CSQ: 20,0") << QByteArray("+CSQ: 20,0");
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void foldLineEnds() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, folded);
        QCOMPARE(ModemLine::FoldLineEnds(line), folded);
    }

    void singleLine_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("received SMS: 11 digits, international")
            << "+CMGR: 0,,24 " + ReceivedPdu << QStringLiteral("\tS.NR=+37060000000  F.OC=04");
        QTest::newRow("received SMS after CR LF folding")
            << ModemLine::FoldLineEnds("+CMGR: 0,,24\r\n" + ReceivedPdu + "\r\n")
            << QStringLiteral("\tS.NR=+37060000000  F.OC=04");
        QTest::newRow("received SMS: no SMSC, national, 10 digits")
            << QByteArray("+CMGR: 1,,22 00240A818675563412000011")
            << QStringLiteral("\tS.NR=6857654321  F.OC=24");
        QTest::newRow("received SMS: 5 digits drop the filler")
            << QByteArray("+CMGR: 1,,14 000405912143F5")
            << QStringLiteral("\tS.NR=+12345  F.OC=04");
        QTest::newRow("received SMS: non-hexadecimal digit")
            << QByteArray("+CMGR: 0,,24 00040B917360000G00F0") << QString();
        QTest::newRow("received SMS: non-hexadecimal SMSC length")
            << QByteArray("+CMGR: 0,,24 Z0040B917360000000F0") << QString();
        QTest::newRow("received SMS: number beyond the end")
            << QByteArray("+CMGR: 0,,24 00040B9173600000") << QString();
        QTest::newRow("received SMS: SMSC beyond the end")
            << QByteArray("+CMGR: 0,,24 FF040B917360000000F0") << QString();
        QTest::newRow("received SMS: no PDU") << QByteArray("+CMGR: 0,,0") << QString();
        QTest::newRow("received frame ^SISR: 25 bytes")
            << "^SISR: 0,25 " + ReceivedFrame << ReceivedFrameText;
        QTest::newRow("received frame #SRECV: data with a zero byte")
            << "#SRECV: 1,28 " + ReceivedFrame + QByteArray("A\0B", 3)
            << ReceivedFrameText + QStringLiteral("A.B");
        QTest::newRow("received frame of 24 bytes")
            << "^SISR: 0,24 " + ReceivedFrame.left(24) << QString();
        QTest::newRow("plain answer") << QByteArray("OK") << QString();
        QTest::newRow("binary without a send armed") << SentFrame << QString();
    }
    void singleLine() {
        QFETCH(QByteArray, line);
        QFETCH(QString, decoded);
        TModemDecoder decoder;
        QCOMPARE(decoder.Decode(line), decoded);
    }

    // Each line in turn through one decoder; the decoded text of each.
    void sequence_data() {
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QStringList>("decoded");
        const QByteArray prompt = ModemLine::FoldLineEnds("\r\n> ");
        QTest::newRow("SMS in GSM 7-bit: only the third line")
            << QList<QByteArray>{"AT+CMGS=28", prompt, Sms7Bit}
            << QStringList{{}, {}, "\tP.NR=+37060000000  DCS=0  DLEN=16\r\n\tD=Alarm: door open"};
        QTest::newRow("SMS in UCS-2 with a header")
            << QList<QByteArray>{"AT+CMGS=32", prompt, SmsUcs2}
            << QStringList{{},
                           {},
                           QStringLiteral("\tP.NR=+37060000000  DCS=8  DLEN=18\r\n"
                                          "\tSID=42 PARTCNT=2 CURRPART=1\r\n"
                                          "\tD=\u017Dinut\u0117")};
        QTest::newRow("SMS in GSM 7-bit with a header: the fill bit skipped")
            << QList<QByteArray>{"AT+CMGS=30", prompt, Sms7BitHeader}
            << QStringList{{},
                           {},
                           "\tP.NR=+37060000000  DCS=0  DLEN=15\r\n"
                           "\tSID=7 PARTCNT=3 CURRPART=2\r\n\tD=Part two"};
        QTest::newRow("SMS in 8 bits to a national number")
            << QList<QByteArray>{"AT+CMGS=15", prompt, Sms8Bit}
            << QStringList{{}, {}, "\tP.NR=6857654321  DCS=4  DLEN=5\r\n\tD=Hello"};
        QByteArray otherCoding = Sms8Bit;
        otherCoding[11] = char(0xF5); // the DCS
        QTest::newRow("SMS in another coding: no text")
            << QList<QByteArray>{"AT+CMGS=15", prompt, otherCoding}
            << QStringList{{}, {}, "\tP.NR=6857654321  DCS=245  DLEN=5\r\n\tD="};
        QTest::newRow("SMS too short: nothing, and the send is over")
            << QList<QByteArray>{"AT+CMGS=15", prompt, Hex("001100"), Sms8Bit}
            << QStringList{{}, {}, {}, {}};
        QTest::newRow("SMS armed by an answer that never prompted stays armed")
            << QList<QByteArray>{"AT+CMGS=15", " ERROR ", prompt, Sms8Bit}
            << QStringList{{}, {}, {}, "\tP.NR=6857654321  DCS=4  DLEN=5\r\n\tD=Hello"};
        QTest::newRow("no prompt: the binary line is not decoded")
            << QList<QByteArray>{"AT+CMGS=15", Sms8Bit} << QStringList{{}, {}};
        QTest::newRow("frame sent with AT^SISW")
            << QList<QByteArray>{"AT^SISW=0,31", " ^SISW: 0,31,31 ", SentFrame}
            << QStringList{{}, {}, SentFrameText};
        QTest::newRow("frame sent with AT#SSENDEXT")
            << QList<QByteArray>{"AT#SSENDEXT=1,31", prompt, SentFrame}
            << QStringList{{}, {}, SentFrameText};
        QTest::newRow("sent frame of 24 bytes: nothing, and the send is over")
            << QList<QByteArray>{"AT^SISW=0,24", prompt, SentFrame.left(24), SentFrame}
            << QStringList{{}, {}, {}, {}};
        QTest::newRow("the last decoder wins")
            << QList<QByteArray>{"AT^SISW=0,37", prompt, "^SISR: 0,25 " + ReceivedFrame}
            << QStringList{{}, {}, ReceivedFrameText};
    }
    void sequence() {
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QStringList, decoded);
        TModemDecoder decoder;
        QStringList got;
        for (const QByteArray& line : lines)
            got << decoder.Decode(line);
        QCOMPARE(got, decoded);
    }

    void sendsStayArmedAcrossLines() {
        TModemDecoder decoder;
        decoder.Decode("AT+CMGS=28");
        decoder.Decode("AT^SISW=0,31");
        QVERIFY(decoder.SmsSendArmed() && decoder.TcpSendArmed());
        QVERIFY(!decoder.SmsPromptSeen() && !decoder.TcpPromptSeen());
        decoder.Decode(" > ");
        QVERIFY(decoder.SmsPromptSeen() && decoder.TcpPromptSeen());
        // The next line ends both sends, whatever it holds.
        QCOMPARE(decoder.Decode("OK"), QString());
        QVERIFY(!decoder.SmsSendArmed() && !decoder.SmsPromptSeen());
        QVERIFY(!decoder.TcpSendArmed() && !decoder.TcpPromptSeen());
    }

    void unpack7Bit_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("skip");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("ten characters in nine bytes")
            << Hex("E8329BFD4697D9EC37") << 10 << 0 << QByteArray("hellohello");
        QTest::newRow("stops at the end")
            << Hex("E8329BFD4697D9EC37") << 40 << 0 << QByteArray("hellohello");
        QTest::newRow("after a fill bit")
            << Hex("A061391D44BFBF01") << 8 << 1 << QByteArray("Part two");
        QTest::newRow("nothing") << QByteArray() << 3 << 0 << QByteArray();
    }
    void unpack7Bit() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(int, skip);
        QFETCH(QByteArray, text);
        QCOMPARE(ModemDecode::Unpack7Bit(bytes, count, skip), text);
    }
};

QTEST_GUILESS_MAIN(TestModemDecoder)
#include "tst_modem_decoder.moc"
