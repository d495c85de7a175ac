// The base link's read steps, apart from any device.

#include "base/BaseReadSequence.h"

#include <QTest>

class TstBaseSequence : public QObject {
    Q_OBJECT
private slots:
    // Pages until (page + 1) * 6 covers the map's length, at most page 21.
    void pagesFollowTheMapLength_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::newRow("20 bytes") << 20 << 4;
        QTest::newRow("18 bytes: page 2 ends it") << 18 << 3;
        QTest::newRow("6 bytes") << 6 << 1;
        QTest::newRow("128 bytes") << 128 << 22;
        QTest::newRow("claims more than 22 pages hold") << 255 << 22;
    }
    void pagesFollowTheMapLength() {
        QFETCH(int, count);
        QFETCH(int, pages);
        TBaseReadSequence sequence;
        TBaseReadSequence::TRequest request = sequence.Start();
        QList<QPair<int, int>> asked{{request.Code, request.Index}};
        for (int guard = 0; guard < 40 && sequence.Running(); ++guard) {
            const quint8 k = request.Code == 0x3E
                                 ? TBaseReadSequence::MapPageStep(request.Index, quint8(count))
                                 : 0;
            const TBaseReadSequence::TNext next = sequence.Step(request.Code, k);
            if (!next.Send) {
                QVERIFY(next.Finished);
                break;
            }
            request = *next.Send;
            asked.append({request.Code, request.Index});
        }
        QCOMPARE(asked.size(), pages + 2);
        for (int i = 0; i < pages; ++i)
            QCOMPARE(asked[i], qMakePair(0x3E, i));
        QCOMPARE(asked[pages], qMakePair(0x3B, 0));
        QCOMPARE(asked[pages + 1], qMakePair(0x3C, 0));
        QVERIFY(!sequence.Running());
        QVERIFY(!sequence.Failed());
    }

    void stepsOutsideASequenceDoNothing() {
        TBaseReadSequence sequence;
        const TBaseReadSequence::TNext next = sequence.Step(0x3C, 0);
        QVERIFY(!next.Send && !next.Finished);
        QVERIFY(!sequence.Running() && !sequence.Failed());
    }

    void watchdogFailsAndStartClears() {
        TBaseReadSequence sequence;
        sequence.Start();
        sequence.WatchdogFired();
        QVERIFY(sequence.Failed() && !sequence.Running());
        QVERIFY(!sequence.Step(0x3E, 0).Send); // a late reply changes nothing
        sequence.Start();
        QVERIFY(!sequence.Failed() && sequence.Running());
    }
};

QTEST_GUILESS_MAIN(TstBaseSequence)
#include "tst_base_sequence.moc"
