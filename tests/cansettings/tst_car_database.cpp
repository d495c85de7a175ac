// The car list parser, the supported-car filter and the reading of the
// list's 8-bit text.
#include "cansettings/CarDatabaseFile.h"
#include "cansettings/CarListText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const char* const Header = "x\tNR.\tModel\tYear\tGroup/Subgroup\tFN57\n";

QString Describe(const TCanDataArr& cars) {
    // make|model|year|gr/pgr,..|fn57,..; one line per year entry
    QStringList lines;
    for (const TCanData& car : cars)
        for (const TCanModelData& model : car.Models)
            for (const TCanParamData& year : model.Years) {
                QStringList programs;
                for (const TGrPgr& p : year.GrPgr)
                    programs << QStringLiteral("%1/%2").arg(p.first).arg(p.second);
                QStringList fn57;
                for (quint8 v : year.Fn57)
                    fn57 << QString::number(v);
                lines << QStringList{car.Make, model.Model, year.Year, programs.join(','),
                                     fn57.join(',')}
                             .join('|');
            }
    return lines.join('\n');
}

QString Parsed(const QByteArray& text) {
    return Describe(TCarDatabaseFile::Parse(TCarListText::Decode(text)).Cars);
}
} // namespace

class TestCarDatabase : public QObject {
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void sameModelInAnyCaseGivesYearEntries();
    void laterHeaderMovesTheColumns();
    void filter_data();
    void filter();
    void decoding_data();
    void decoding();
    void loadKeepsLastGoodList();
    void junkNeverCrashes();
    void shippedList();
};

void TestCarDatabase::parse_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("cars");
    const QByteArray h(Header);
    QTest::newRow("one word make") << h + "\t1\tAudi A4 Avant\t2008-2015\t12/3 12/4\t2 5\n"
                                   << "Audi|A4 Avant|2008-2015|12/3,12/4|2,5";
    QTest::newRow("alfa romeo") << h + "\t1\tAlfa Romeo Giulia\t2016\t7/1\t\n"
                                << "Alfa Romeo|Giulia|2016|7/1|";
    QTest::newRow("byd denza") << h + "\t1\tBYD Denza N7\t2023\t40/2\t1\n"
                               << "BYD Denza|N7|2023|40/2|1";
    QTest::newRow("two-word make in any case")
        << h + "\t1\tALFA ROMEO 159 Sportwagon\t2006\t7/2\t\n"
        << "ALFA ROMEO|159 Sportwagon|2006|7/2|";
    QTest::newRow("make alone") << h + "\t1\tTesla\t2020\t1/1\t\n"
                                << "Tesla||2020|1/1|";
    QTest::newRow("fn57 question marks and dashes") << h + "\t1\tVW Golf\t2010\t3/3\t2? - 5 ?\n"
                                                    << "VW|Golf|2010|3/3|2,5";
    QTest::newRow("semicolons, quotes and CRLF")
        << QByteArray("x;NR.;Model;Year;Group/Subgroup;FN57\r\n"
                      "\"\";\"1\";\"Ford Focus\";'2011';12/3;4\r\n")
        << "Ford|Focus|2011|12/3|4";
    QTest::newRow("mixed separators") << h + "\t1;Opel Astra\t2012;5/6\t\n"
                                      << "Opel|Astra|2012|5/6|";
    QTest::newRow("lines before the header are ignored")
        << "junk\t1\tSkoda Octavia\t2010\t1/1\t\n" + h + "\t2\tSkoda Fabia\t2011\t1/2\t\n"
        << "Skoda|Fabia|2011|1/2|";
    QTest::newRow("no header") << QByteArray("\t1\tSkoda Octavia\t2010\t1/1\t\n") << "";
    QTest::newRow("lower-case header finds no NR. column")
        << QByteArray(
               "x\tnr.\tModel\tYear\tGroup/Subgroup\tFN57\n\t1\tSkoda Octavia\t2010\t1/1\t\n")
        << "";
    QTest::newRow("NR. zero, empty or not a number")
        << h + "\t0\tA B\t1\t1/1\t\n\t\tC D\t1\t1/1\t\n\tx\tE F\t1\t1/1\t\n\t3\tG H\t1\t1/1\t\n"
        << "G|H|1|1/1|";
    QTest::newRow("missing keys read as empty")
        << QByteArray("x\tNR.\tModel\n\t1\tKia Rio\t2015\t9/9\n") << "Kia|Rio|||";
    QTest::newRow("short line") << h + "\t1\tKia\n"
                                << "Kia||||";
    QTest::newRow("values wrap at 256") << h + "\t1\tKia Ceed\t2018\t300/257\t258\n"
                                        << "Kia|Ceed|2018|44/1|2";
    QTest::newRow("bad tokens are skipped, the rest kept")
        << h + "\t1\tKia Soul\t2019\t- 12/x 12//3  4/5 /6 7/\tabc 9 -1\n"
        << "Kia|Soul|2019|4/5|9";
}

void TestCarDatabase::parse() {
    QFETCH(QByteArray, file);
    QFETCH(QString, cars);
    QCOMPARE(Parsed(file), cars);
}

void TestCarDatabase::sameModelInAnyCaseGivesYearEntries() {
    const TCarDatabaseFile::TResult result = TCarDatabaseFile::Parse(
        QString::fromLatin1(Header) +
        "\t1\tAudi A4\t2004-2008\t1/1\t\n\t2\taudi a4\t2008-2015\t1/2\t\n\t3\tBMW X5\t2010\t2/1\t\n"
        "\t4\tAUDI A6\t2011\t1/3\t\n");
    QCOMPARE(result.DataLines, 4);
    QCOMPARE(result.Cars.size(), 2);
    QCOMPARE(result.Cars[0].Make, QStringLiteral("Audi")); // the first spelling stays
    QCOMPARE(result.Cars[0].Models.size(), 2);
    QCOMPARE(result.Cars[0].Models[0].Model, QStringLiteral("A4"));
    QCOMPARE(result.Cars[0].Models[0].Years.size(), 2);
    QCOMPARE(result.Cars[0].Models[1].Model, QStringLiteral("A6"));
    QCOMPARE(result.Cars[1].Make, QStringLiteral("BMW"));
}

void TestCarDatabase::laterHeaderMovesTheColumns() {
    QCOMPARE(Parsed(QByteArray(Header) + "\t1\tAudi A3\t2005\t1/1\t\n"
                                         "y\tNR.\tFN57\tGroup/Subgroup\tYear\tModel\n"
                                         "\t2\t7\t2/2\t2020\tSeat Leon\n"),
             QStringLiteral("Audi|A3|2005|1/1|\nSeat|Leon|2020|2/2|7"));
}

void TestCarDatabase::filter_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("cars");
    const QByteArray h(Header);
    // The module holds 12/4, 7/1 and 3/3.
    QTest::newRow("only the held program of an entry") << h + "\t1\tAudi A4\t2008\t12/3 12/4\t2 5\n"
                                                       << "Audi|A4|2008|12/4|2,5";
    QTest::newRow("every held program, in the list's order")
        << h + "\t1\tAudi A4\t2008\t3/3 12/3 12/4\t\n"
        << "Audi|A4|2008|3/3,12/4|";
    QTest::newRow("entries, models and makes without one are left out")
        << h + "\t1\tAudi A4\t2008\t1/1\t\n\t2\tAudi A6\t2009\t7/1\t\n\t3\tBMW X1\t2010\t9/9\t\n"
               "\t4\tAudi A6\t2012\t9/9\t\n"
        << "Audi|A6|2009|7/1|";
    QTest::newRow("nothing held") << h + "\t1\tAudi A4\t2008\t1/1\t\n"
                                  << "";
}

void TestCarDatabase::filter() {
    QFETCH(QByteArray, file);
    QFETCH(QString, cars);
    const TGrPgrList held{{12, 4}, {7, 1}, {3, 3}};
    const TCanDataArr database = TCarDatabaseFile::Parse(TCarListText::Decode(file)).Cars;
    QCOMPARE(Describe(FilterSupportedCars(database, held)), cars);
    QCOMPARE(CarEntryCount(database), file.count('\n') - 1); // the database stays whole
}

void TestCarDatabase::decoding_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("ascii") << QByteArray("Audi") << QStringLiteral("Audi");
    QTest::newRow("windows-1252") << QByteArray("\x8A koda Citro\xEBn \x80 \x81")
                                  << QStringLiteral(u"Š koda Citroën € \u0081");
    QTest::newRow("utf-8") << QByteArray("\xC5\xA0koda Citro\xC3\xABn")
                           << QStringLiteral(u"Škoda Citroën");
    QTest::newRow("utf-8 mark dropped") << QByteArray("\xEF\xBB\xBFSeat") << QStringLiteral("Seat");
    QTest::newRow("utf-16le with mark")
        << QByteArray("\xFF\xFEK\0i\0a\0", 8) << QStringLiteral("Kia");
    QTest::newRow("utf-16be with mark")
        << QByteArray("\xFE\xFF\0K\0i\0a", 8) << QStringLiteral("Kia");
    QTest::newRow("NUL bytes removed") << QByteArray("A\0u\0di", 6) << QStringLiteral("Audi");
}

void TestCarDatabase::decoding() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TCarListText::Decode(bytes), text);
}

void TestCarDatabase::loadKeepsLastGoodList() {
    QTemporaryDir dir;
    const QString path = dir.filePath("CANDATA_FULL.csv");
    TCanDataArr database;
    QVERIFY(!TCarDatabaseFile::LoadCarDatabase(path, database)); // missing file

    QFile good(path);
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write(QByteArray(Header) + "\t1\tAudi A4\t2008\t1/1\t\n");
    good.close();
    QVERIFY(TCarDatabaseFile::LoadCarDatabase(path, database));
    QCOMPARE(CarEntryCount(database), 1);

    const QString empty = dir.filePath("CANDATA_FULL_DWNLD.csv");
    QFile bad(empty);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("<html>404 Not Found</html>\n");
    bad.close();
    QVERIFY(!TCarDatabaseFile::LoadCarDatabase(empty, database));
    QCOMPARE(CarEntryCount(database), 1);
    QCOMPARE(database[0].Make, QStringLiteral("Audi"));
}

void TestCarDatabase::junkNeverCrashes() {
    QByteArray junk(Header);
    for (int i = 0; i < 20000; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    junk += "\n\t1\tAudi A4\t2008\t1/1\t\n";
    junk += QByteArray(100000, 'x') + "\t5\t" + QByteArray(50000, ' ') + "\n";
    const TCarDatabaseFile::TResult result = TCarDatabaseFile::Parse(TCarListText::Decode(junk));
    QVERIFY(result.DataLines >= 1);
}

void TestCarDatabase::shippedList() {
    TCanDataArr database;
    QVERIFY(TCarDatabaseFile::LoadCarDatabase(
        qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/CANDATA_FULL.csv", database));
    QVERIFY(CarEntryCount(database) >= 300);
    QStringList makes;
    for (const TCanData& car : database)
        makes << car.Make;
    QVERIFY(makes.contains(QStringLiteral("Alfa Romeo")));
    QVERIFY(makes.contains(QStringLiteral("BYD Denza")));
    QVERIFY(makes.contains(QStringLiteral(u"Škoda"))); // stored in Windows-1252

    // The demo module holds part of the list's programs.
    QFile demo(qEnvironmentVariable("RV5K_SOURCE_DIR") + "/data/sim/demo.json");
    QVERIFY(demo.open(QIODevice::ReadOnly));
    TGrPgrList held;
    for (const QJsonValue program : QJsonDocument::fromJson(demo.readAll())["programs"].toArray())
        held.emplace_back(program[0].toInt(), program[1].toInt());
    const int supported = CarEntryCount(FilterSupportedCars(database, held));
    QVERIFY(supported > 50);
    QVERIFY(supported < CarEntryCount(database));
}

QTEST_GUILESS_MAIN(TestCarDatabase)
#include "tst_car_database.moc"
