// The code page tables against the C library's converters, byte by byte, and
// the choice of code page by character set.

#include "i18n/CodePage.h"

#include <QtTest>
#include <cerrno>
#include <iconv.h>

namespace {
// The character glibc makes of one byte; false when it leaves the byte undefined.
bool SystemDecode(const char* codePage, unsigned char byte, char32_t* character) {
    iconv_t converter = iconv_open("UTF-32LE", codePage);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    char input[1] = {static_cast<char>(byte)};
    char output[16] = {};
    char* in = input;
    char* out = output;
    size_t inLeft = 1;
    size_t outLeft = sizeof output;
    bool ok = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
    // Vietnamese holds a base letter back for a following accent: flush it.
    if (ok)
        ok = iconv(converter, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
    iconv_close(converter);
    if (!ok || sizeof output - outLeft != 4)
        return false;
    *character = char32_t(quint8(output[0])) | char32_t(quint8(output[1])) << 8 |
                 char32_t(quint8(output[2])) << 16 | char32_t(quint8(output[3])) << 24;
    return true;
}
} // namespace

class TestCodePages : public QObject {
    Q_OBJECT
private slots:
    void againstIconv_data();
    void againstIconv();
    void charsets_data();
    void charsets();
    void wholeTexts();
};

void TestCodePages::againstIconv_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<int>("undefined"); // bytes of the upper half glibc leaves undefined
    QTest::newRow("1250") << 1250 << 5;
    QTest::newRow("1251") << 1251 << 1;
    QTest::newRow("1253") << 1253 << 17;
    QTest::newRow("1254") << 1254 << 7;
    QTest::newRow("1257") << 1257 << 12;
    QTest::newRow("1258") << 1258 << 9;
}

void TestCodePages::againstIconv() {
    QFETCH(int, codePage);
    QFETCH(int, undefined);
    const QByteArray name = "CP" + QByteArray::number(codePage);
    int undefinedSeen = 0;
    for (int byte = 0; byte < 0x100; ++byte) {
        const QString wide = ToWide(QByteArray(1, char(byte)), TCodePage(codePage));
        QCOMPARE(wide.size(), 1);
        char32_t expected = 0;
        if (!SystemDecode(name.constData(), quint8(byte), &expected)) {
            ++undefinedSeen;
            expected = char32_t(byte); // undefined: the character of the same code
        }
        QVERIFY2(wide.at(0).unicode() == expected,
                 qPrintable(QStringLiteral("byte %1: U+%2, expected U+%3")
                                .arg(byte, 2, 16)
                                .arg(wide.at(0).unicode(), 4, 16, QLatin1Char('0'))
                                .arg(quint32(expected), 4, 16, QLatin1Char('0'))));
    }
    QCOMPARE(undefinedSeen, undefined);
}

void TestCodePages::charsets_data() {
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("codePage");
    QTest::newRow("baltic") << 186 << 1257;
    QTest::newRow("cyrillic") << 204 << 1251;
    QTest::newRow("greek") << 161 << 1253;
    QTest::newRow("turkish") << 162 << 1254;
    QTest::newRow("vietnamese") << 163 << 1258;
    QTest::newRow("east europe") << 238 << 1250;
    QTest::newRow("oem") << 255 << 1250;
    QTest::newRow("ansi 0") << 0 << 1250;
    QTest::newRow("negative") << -1 << 1250;
}

void TestCodePages::charsets() {
    QFETCH(int, charset);
    QFETCH(int, codePage);
    QCOMPARE(int(CodePageOfCharset(charset)), codePage);
}

void TestCodePages::wholeTexts() {
    QCOMPARE(ToWide(QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2, TLX2"), TCodePage::Cp1251),
             QStringLiteral("Привет, TLX2"));
    QCOMPARE(ToWide(QByteArray("modul\xe1 \xf8"), TCodePage::Cp1257), QStringLiteral("modulį ų"));
    // Nothing is dropped: NUL and undefined bytes stay in place.
    const QByteArray junk("a\0\x98z", 4);
    QCOMPARE(ToWide(junk, TCodePage::Cp1251),
             QString(QStringLiteral("a") + QChar(0) + QChar(0x98) + QStringLiteral("z")));
    QCOMPARE(ToWide({}, TCodePage::Cp1250), QString());
}

QTEST_GUILESS_MAIN(TestCodePages)
#include "tst_code_pages.moc"
