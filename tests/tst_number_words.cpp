#include "number_words.h"

#include <QString>
#include <QTest>

#include <stdexcept>

using telvo::NumberToWords;

namespace {

QString Words(const QString &value, int code) {
    return QString::fromStdU16String(NumberToWords(value.toStdU16String(), static_cast<std::uint8_t>(code)));
}

const char *const kMessage[6] = {nullptr,
                                 "** Valore non calcolabile **",
                                 "** Value not calculable **",
                                 "** Valeur pas calculable **",
                                 "** Unberechenbarer Wert **",
                                 "** Valore non calcolabile **"};

} // namespace

class TestNumberWords : public QObject {
    Q_OBJECT

private slots:
    void workedResults_data();
    void workedResults();
    void largestNumber();
    void rejectedInput_data();
    void rejectedInput();
    void zero_data();
    void zero();
    void singleWords_data();
    void singleWords();
    void digitStringsNeverEmptyOrBlank();
    void badCodeThrows_data();
    void badCodeThrows();
};

void TestNumberWords::workedResults_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");

    struct Row {
        const char *value;
        const char16_t *byCode[5]; // codes 1, 5, 2, 3, 4 as the table reads
    };
    const Row rows[] = {
        {"0", {u"Zero", u"Zero", u"Zero", u"Zero", u"Null"}},
        {"1", {u"Uno", u"Uno", u"One", u"Un", u"Eins"}},
        {"21", {u"VentUno", u"VentiUno", u"TwentyOne", u"VingtUn", u"EinUndZwanzig"}},
        {"28", {u"VentOtto", u"VentiOtto", u"TwentyEight", u"VingtHuit", u"AchtUndZwanzig"}},
        {"71", {u"SettantUno", u"SettantaUno", u"SeventyOne", u"SoixantedixUn", u"EinUndSiebzig"}},
        {"99", {u"NovantaNove", u"NovantaNove", u"NinetyNine", u"QuatrevingtdixNeuf", u"NeunUndNeunzig"}},
        {"101", {u"CentoUno", u"CentoUno", u"OnehundredOne", u"CentUn", u"HundertEins"}},
        {"118",
         {u"CentoDiciotto", u"CentoDiciotto", u"OnehundredEighteen", u"CentDixhuit", u"HundertAchtzehn"}},
        {"1000", {u"Mille", u"Mille", u"Onethousand", u"Mille", u"Tausend"}},
        {"1001", {u"MilleUno", u"MilleUno", u"OnethousandOne", u"MilleUn", u"TausendEins"}},
        {"2000", {u"DueMila", u"DueMila", u"TwoThousand", u"DeuxMille", u"ZweiTausend"}},
        {"21000",
         {u"VentUnoMila", u"VentiUnoMila", u"TwentyOneThousand", u"VingtUnMille", u"EinUndZwanzigTausend"}},
        {"101000",
         {u"CentoUnoMila", u"CentoUnoMila", u"OnehundredOneThousand", u"CentUnMille", u"HundertEinTausend"}},
        {"1000000", {u"UnMilione", u"UnMilione", u"OneMillion", u"UnMillion", u"EineMillion"}},
        {"1001000",
         {u"UnMilioneMille", u"UnMilioneMille", u"OneMillionOnethousand", u"UnMillionMille",
          u"EineMillionTausend"}},
        {"2000000", {u"DueMilioni", u"DueMilioni", u"TwoMillions", u"DeuxMillion", u"ZweiMillionen"}},
        {"21000001",
         {u"VentUnoMilioniUno", u"VentiUnoMilioniUno", u"TwentyOneMillionsOne", u"VingtUnMillionUn",
          u"EinUndZwanzigMillionenEins"}},
        {"1000000000", {u"UnMiliardo", u"UnMiliardo", u"OneBillion", u"UnMilliard", u"EineMilliarde"}},
        // Further cases: leading zeros, elision only before Uno and Otto and
        // never on hundreds, a millions group of 000, German umlauts and ß.
        {"007", {u"Sette", u"Sette", u"Seven", u"Sept", u"Sieben"}},
        {"108", {u"CentoOtto", u"CentoOtto", u"OnehundredEight", u"CentHuit", u"HundertAcht"}},
        {"98", {u"NovantOtto", u"NovantaOtto", u"NinetyEight", u"QuatrevingtdixHuit", u"AchtUndNeunzig"}},
        {"22", {u"VentiDue", u"VentiDue", u"TwentyTwo", u"VingtDeux", u"ZweiUndZwanzig"}},
        {"1000000001",
         {u"UnMiliardoUno", u"UnMiliardoUno", u"OneBillionOne", u"UnMilliardUn", u"EineMilliardeEins"}},
        {"535",
         {u"CinquecentoTrentaCinque", u"CinquecentoTrentaCinque", u"FivehundredThirtyFive",
          u"CinqcentsTrenteCinq", u"F\u00FCnfhundertF\u00FCnfUndDrei\u00DFig"}},
        {"12", {u"Dodici", u"Dodici", u"Twelve", u"Douze", u"Zw\u00F6lf"}},
        {"80", {u"Ottanta", u"Ottanta", u"Eighty", u"Quatrevingts", u"Achtzig"}},
        {"001001001",
         {u"UnMilioneMilleUno", u"UnMilioneMilleUno", u"OneMillionOnethousandOne", u"UnMillionMilleUn",
          u"EineMillionTausendEins"}},
    };
    const int codes[5] = {1, 5, 2, 3, 4};
    for (const Row &row : rows) {
        for (int i = 0; i < 5; ++i) {
            QTest::addRow("%s code %d", row.value, codes[i])
                << QString::fromLatin1(row.value) << codes[i] << QString::fromUtf16(row.byCode[i]);
        }
    }
}

void TestNumberWords::workedResults() {
    QFETCH(QString, value);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QCOMPARE(Words(value, code), expected);
}

void TestNumberWords::largestNumber() {
    QCOMPARE(Words("999999999999", 2),
             "NinehundredNinetyNineBillionsNinehundredNinetyNineMillionsNinehundredNinetyNineThousand"
             "NinehundredNinetyNine");
}

void TestNumberWords::rejectedInput_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << "";
    QTest::newRow("thirteen zeros") << "0000000000000";
    QTest::newRow("thirteen digits") << "1000000000000";
    QTest::newRow("letter") << "a";
    QTest::newRow("digits then letter") << "12a";
    QTest::newRow("minus") << "-";
    QTest::newRow("negative") << "-5";
    QTest::newRow("plus sign") << "+5";
    QTest::newRow("leading blank") << " 5";
    QTest::newRow("trailing blank") << "5 ";
    QTest::newRow("decimal point") << "1.5";
    QTest::newRow("decimal comma") << "1,5";
    QTest::newRow("exponent") << "1e3";
    QTest::newRow("hex") << "0x10";
    QTest::newRow("thousands separator") << "1.000";
    QTest::newRow("arabic-indic digit") << QString(QChar(0x0663));
    QTest::newRow("full-width digit") << QString(QChar(0xFF13));
    QTest::newRow("superscript two") << QString(QChar(0x00B2));
    QTest::newRow("nul inside") << QString::fromUtf16(u"1\u00002", 3);
}

void TestNumberWords::rejectedInput() {
    QFETCH(QString, value);
    for (int code = 1; code <= 5; ++code) {
        QCOMPARE(Words(value, code), QString::fromLatin1(kMessage[code]));
    }
}

void TestNumberWords::zero_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("0") << "0";
    QTest::newRow("000") << "000";
    QTest::newRow("twelve zeros") << "000000000000";
}

void TestNumberWords::zero() {
    QFETCH(QString, value);
    for (int code = 1; code <= 5; ++code) {
        QCOMPARE(Words(value, code), code == 4 ? "Null" : "Zero");
    }
}

// Every unit, teen, tens and hundreds word, each through a number that spells
// it alone, so a slip in any table entry shows.
void TestNumberWords::singleWords_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");
    // Codes 1, 2, 3, 4. German 1 stands alone with its final "s".
    const char16_t *const units[4][19] = {
        {u"Uno", u"Due", u"Tre", u"Quattro", u"Cinque", u"Sei", u"Sette", u"Otto", u"Nove", u"Dieci",
         u"Undici", u"Dodici", u"Tredici", u"Quattordici", u"Quindici", u"Sedici", u"Diciassette",
         u"Diciotto", u"Diciannove"},
        {u"One", u"Two", u"Three", u"Four", u"Five", u"Six", u"Seven", u"Eight", u"Nine", u"Ten", u"Eleven",
         u"Twelve", u"Thirteen", u"Fourteen", u"Fifteen", u"Sixteen", u"Seventeen", u"Eighteen", u"Nineteen"},
        {u"Un", u"Deux", u"Trois", u"Quatre", u"Cinq", u"Six", u"Sept", u"Huit", u"Neuf", u"Dix", u"Onze",
         u"Douze", u"Treize", u"Quatorze", u"Quinze", u"Seize", u"Dixsept", u"Dixhuit", u"Dixneuf"},
        {u"Eins", u"Zwei", u"Drei", u"Vier", u"F\u00FCnf", u"Sechs", u"Sieben", u"Acht", u"Neun", u"Zehn",
         u"Elf", u"Zw\u00F6lf", u"Dreizehn", u"Vierzehn", u"F\u00FCnfzehn", u"Sechzehn", u"Siebzehn",
         u"Achtzehn", u"Neunzehn"},
    };
    for (int lang = 0; lang < 4; ++lang) {
        for (int n = 1; n <= 19; ++n) {
            QTest::addRow("code %d %d", lang + 1, n)
                << lang + 1 << QString::number(n) << QString::fromUtf16(units[lang][n - 1]);
        }
    }
    const char16_t *const tens[4][8] = {
        {u"Venti", u"Trenta", u"Quaranta", u"Cinquanta", u"Sessanta", u"Settanta", u"Ottanta", u"Novanta"},
        {u"Twenty", u"Thirty", u"Forty", u"Fifty", u"Sixty", u"Seventy", u"Eighty", u"Ninety"},
        {u"Vingt", u"Trente", u"Quarante", u"Cinquante", u"Soixante", u"Soixantedix", u"Quatrevingts",
         u"Quatrevingtdix"},
        {u"Zwanzig", u"Drei\u00DFig", u"Vierzig", u"F\u00FCnfzig", u"Sechzig", u"Siebzig", u"Achtzig",
         u"Neunzig"},
    };
    const char16_t *const hundreds[4][9] = {
        {u"Cento", u"Duecento", u"Trecento", u"Quattrocento", u"Cinquecento", u"Seicento", u"Settecento",
         u"Ottocento", u"Novecento"},
        {u"Onehundred", u"Twohundred", u"Threehundred", u"Fourhundred", u"Fivehundred", u"Sixhundred",
         u"Sevenhundred", u"Eighthundred", u"Ninehundred"},
        {u"Cent", u"Deuxcents", u"Troiscents", u"Quatrecents", u"Cinqcents", u"Sixcents", u"Septcents",
         u"Huitcents", u"Neufcents"},
        {u"Hundert", u"Zweihundert", u"Dreihundert", u"Vierhundert", u"F\u00FCnfhundert", u"Sechshundert",
         u"Siebenhundert", u"Achthundert", u"Neunhundert"},
    };
    for (int lang = 0; lang < 4; ++lang) {
        const int code = lang + 1;
        for (int t = 2; t <= 9; ++t) {
            QTest::addRow("code %d %d", code, t * 10)
                << code << QString::number(t * 10) << QString::fromUtf16(tens[lang][t - 2]);
        }
        for (int h = 1; h <= 9; ++h) {
            QTest::addRow("code %d %d", code, h * 100)
                << code << QString::number(h * 100) << QString::fromUtf16(hundreds[lang][h - 1]);
        }
    }
    // The plural billions word, which no other row reaches.
    const char16_t *const billions[4] = {u"DueMiliardi", u"TwoBillions", u"DeuxMilliard", u"ZweiMilliarden"};
    for (int lang = 0; lang < 4; ++lang) {
        QTest::addRow("code %d 2000000000", lang + 1)
            << lang + 1 << "2000000000" << QString::fromUtf16(billions[lang]);
    }
}

void TestNumberWords::singleWords() {
    QFETCH(int, code);
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(Words(value, code), expected);
}

void TestNumberWords::digitStringsNeverEmptyOrBlank() {
    // A sweep across every group and digit position, all five codes.
    const qint64 samples[] = {1,        9,         10,         11,         19,           20,          81,
                              100,      110,       111,        999,        1000,         1001,        1234,
                              9999,     10000,     100000,     100001,     999999,       1000001,     1234567,
                              12345678, 123456789, 1000000001, 1001001001, 123456789012, 999999999999};
    for (qint64 n : samples) {
        for (int code = 1; code <= 5; ++code) {
            const QString words = Words(QString::number(n), code);
            QVERIFY2(!words.isEmpty(), qPrintable(QString::number(n)));
            QVERIFY2(!words.contains(' '), qPrintable(words));
            QVERIFY2(!words.startsWith("**"), qPrintable(words));
        }
    }
}

void TestNumberWords::badCodeThrows_data() {
    QTest::addColumn<int>("code");
    QTest::newRow("0") << 0;
    QTest::newRow("6") << 6;
    QTest::newRow("255") << 255;
}

void TestNumberWords::badCodeThrows() {
    QFETCH(int, code);
    // The code is checked before the text, so bad text does not hide a bad code.
    for (const char *value : {"21", "", "x", "0"}) {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, Words(value, code));
    }
}

QTEST_APPLESS_MAIN(TestNumberWords)
#include "tst_number_words.moc"
