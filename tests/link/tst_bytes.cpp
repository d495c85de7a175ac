#include "link/Bytes.h"
#include "link/FirmwareVersion.h"

#include <QTest>

class TestBytes : public QObject {
    Q_OBJECT
private slots:
    void splitHead_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QByteArray>("rest");
        QTest::newRow("first of three")
            << QByteArray("a:b:c") << QByteArray("a") << QByteArray("b:c");
        QTest::newRow("no delimiter") << QByteArray("abc") << QByteArray("abc") << QByteArray();
        QTest::newRow("leading delimiter") << QByteArray(":x") << QByteArray() << QByteArray("x");
        QTest::newRow("empty") << QByteArray() << QByteArray() << QByteArray();
    }
    void splitHead() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, rest);
        QByteArray t = text;
        QCOMPARE(SplitHead(t, ":"), head);
        QCOMPARE(t, rest);
        QString w = QString::fromLatin1(text);
        QCOMPARE(SplitHeadW(w, QStringLiteral(":")), QString::fromLatin1(head));
        QCOMPARE(w, QString::fromLatin1(rest));
    }

    void hexToInt_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("lower") << QByteArray("1f") << 31u;
        QTest::newRow("upper") << QByteArray("1F") << 31u;
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("32 bits") << QByteArray("FFFFFFFF") << 0xFFFFFFFFu;
        QTest::newRow("longer wraps") << QByteArray("123456789") << 0x23456789u;
    }
    void hexToInt() {
        QFETCH(QByteArray, text);
        QFETCH(quint32, value);
        QCOMPARE(HexToInt(text), value);
    }
    void hexToIntRejectsOtherCharacters() {
        try {
            HexToInt("1g");
            QFAIL("no error raised");
        } catch (const THexError& e) {
            QCOMPARE(QByteArray(e.what()), QByteArray("Ne HEX 1g"));
        }
    }

    void conversions() {
        QCOMPARE(BytesToHex({0x0A, 0xFF}), QByteArray("0A FF "));
        QCOMPARE(BytesToHex({}), QByteArray());
        QCOMPARE(BytesToText({'a', 0, 'b'}), QByteArray("a\0b", 3));
        QCOMPARE(TextToBytes(QByteArray("a\0b", 3)), (tduomenys{'a', 0, 'b'}));
        QCOMPARE(UCS2BEToWide({0x00, 0x41, 0x00, 0x42, 0x00}), QStringLiteral("AB"));
        QCOMPARE(UCS2BEToWide({0x04, 0x10}), QString(QChar(0x0410)));
        QCOMPARE(RemoveNulChars(QString::fromUtf16(u"a\0b\0", 4)), QStringLiteral("ab"));
    }

    void copying() {
        tduomenys destination(4, 0);
        CopyBytes(destination, {1, 2, 3, 4, 5}, 2, 10, 1); // stops at the destination's end
        QCOMPARE(destination, (tduomenys{0, 0, 2, 3}));
        CopyBytes(destination, {9}, 0, 3, 0); // stops at the source's end
        QCOMPARE(destination, (tduomenys{9, 0, 2, 3}));
        CopyBytes(destination, {7}, 0, 1, 5); // source position past the end copies nothing
        QCOMPARE(destination, (tduomenys{9, 0, 2, 3}));
        CopyInto(destination, {5, 6, 7}, 3);
        QCOMPARE(destination, (tduomenys{9, 0, 2, 5}));
        FillBytes(destination, 0xEE);
        QCOMPARE(destination, (tduomenys(4, 0xEE)));
    }

    void filters() {
        QCOMPARE(DigitsOnly("+370 (600) 00"), QByteArray("37060000"));
        QCOMPARE(HexCharsOnly("0x1f-zA"), QByteArray("01FA"));
        QCOMPARE(DigitsToInt("v6.05"), 605u);
        QCOMPARE(DigitsToInt("none"), 0u);
        QCOMPARE(DigitsToInt("4294967296"), 0u); // 32-bit wrap
        QCOMPARE(PadText("ab", 4), QByteArray("ab  "));
        QCOMPARE(PadText("abcdef", 4), QByteArray("abcd"));
        QCOMPARE(TrimTrailingBlanks(QByteArray("a \0  ", 5)), QByteArray("a \0", 3));
        QCOMPARE(TrimTrailingBlanks("    "), QByteArray());
    }

    void firmwareVersion_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("version");
        QTest::newRow("v6.05") << QByteArray("RV5K v6.05") << 605;
        QTest::newRow("no blank") << QByteArray("RV5Kv6.05") << 0;
        QTest::newRow("upper-case V") << QByteArray("RV5K V605") << 0;
        QTest::newRow("v inside first word") << QByteArray("v605 module") << 0;
        QTest::newRow("later words") << QByteArray("RV5K CAN v6.12 b3") << 6123;
        QTest::newRow("v without digits") << QByteArray("RV5K v.") << 0;
        QTest::newRow("empty") << QByteArray() << 0;
    }
    void firmwareVersion() {
        QFETCH(QByteArray, name);
        QFETCH(int, version);
        QCOMPARE(FirmwareVersionFromName(name), version);
    }
};

QTEST_GUILESS_MAIN(TestBytes)
#include "tst_bytes.moc"
