#include "base/WinErrorText.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The codes that carry a text, as inclusive ranges; every other code must read
// "unknown.".
constexpr std::pair<quint32, quint32> kCodesWithText[] = {
    {0, 34},    {36, 36},   {38, 39},   {50, 72},   {80, 80},   {82, 89},   {100, 114}, {117, 162},
    {164, 164}, {167, 167}, {170, 170}, {173, 174}, {180, 180}, {182, 183}, {186, 203}, {205, 210},
    {212, 212}, {214, 218}, {220, 226}, {229, 234}, {240, 240}, {254, 255}, {258, 259}, {266, 267},
    {275, 278}, {282, 282}, {288, 288}, {298, 309}, {317, 318}, {350, 353}, {400, 403}, {487, 487},
};

bool hasText(quint32 code)
{
    for (const auto &[first, last] : kCodesWithText) {
        if (code >= first && code <= last)
            return true;
    }
    return false;
}

const QString kUnknown = u"unknown."_s;

QByteArray codeList(const QList<quint32> &codes)
{
    QStringList numbers;
    for (const quint32 code : codes)
        numbers.append(QString::number(code));
    return numbers.join(u", ").toUtf8();
}

} // namespace

class TestWinErrorText : public QObject
{
    Q_OBJECT

private slots:
    void knownCode_data();
    void knownCode();
    void codeWithoutText_data();
    void codeWithoutText();
    void onlyTheListedCodesHaveAText();
    void noTextKeepsRoundBrackets();
};

void TestWinErrorText::knownCode_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 success") << 0u << u"The operation completed successfully."_s;
    QTest::newRow("2 file not found") << 2u << u"The system cannot find the file specified."_s;
    QTest::newRow("3 path not found") << 3u << u"The system cannot find the path specified."_s;
    QTest::newRow("5 access denied, Slovak") << 5u << u"Skontrolujte pristupove prava k suboru."_s;
    QTest::newRow("23 bracket at the end") << 23u << u"Data error ;."_s;
    QTest::newRow("32 sharing violation")
        << 32u << u"The process cannot access the file because it is being used by another process."_s;
    QTest::newRow("34 bracket between insertion marks")
        << 34u << u"The wrong diskette is in the drive. Insert %2 ; into drive %1."_s;
    QTest::newRow("208 asterisk kept")
        << 208u
        << u"The global filename characters, * or ?, are entered incorrectly or too many global filename "
           u"characters are specified."_s;
    QTest::newRow("317 insertion marks kept")
        << 317u
        << u"The system cannot find message text for message number 0x%1 in the message file for %2."_s;
    QTest::newRow("487 last code") << 487u << u"Attempt to access invalid address."_s;
}

void TestWinErrorText::knownCode()
{
    QFETCH(quint32, code);
    QFETCH(QString, text);
    QCOMPARE(WinErrorText(code), text);
}

void TestWinErrorText::codeWithoutText_data()
{
    QTest::addColumn<quint32>("code");

    QTest::newRow("35 gap after 34") << 35u;
    QTest::newRow("488 just past the last") << 488u;
    QTest::newRow("500") << 500u;
    QTest::newRow("largest code") << 4294967295u;
}

void TestWinErrorText::codeWithoutText()
{
    QFETCH(quint32, code);
    QCOMPARE(WinErrorText(code), kUnknown);
}

void TestWinErrorText::onlyTheListedCodesHaveAText()
{
    QList<quint32> missingText;
    QList<quint32> unexpectedText;
    for (quint32 code = 0; code <= 600; ++code) {
        const bool found = WinErrorText(code) != kUnknown;
        if (hasText(code) && !found)
            missingText.append(code);
        else if (!hasText(code) && found)
            unexpectedText.append(code);
    }
    QVERIFY2(missingText.isEmpty(), ("no text for " + codeList(missingText)).constData());
    QVERIFY2(unexpectedText.isEmpty(), ("a text for " + codeList(unexpectedText)).constData());
}

void TestWinErrorText::noTextKeepsRoundBrackets()
{
    QList<quint32> withBrackets;
    for (quint32 code = 0; code <= 600; ++code) {
        const QString text = WinErrorText(code);
        if (text.contains(u'(') || text.contains(u')'))
            withBrackets.append(code);
    }
    QVERIFY2(withBrackets.isEmpty(), ("round brackets in the text of " + codeList(withBrackets)).constData());
}

QTEST_GUILESS_MAIN(TestWinErrorText)
#include "tst_winerrortext.moc"
