#include "base/Cp1251.h"

#include <QTest>

using namespace tervane;

class tst_Cp1251 : public QObject {
    Q_OBJECT
private slots:
    void everyByteReadsAndWritesBackAsItself();
    void writes_data();
    void writes();
};

void tst_Cp1251::everyByteReadsAndWritesBackAsItself() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromCp1251(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toCp1251(text), all);
    QCOMPARE(fromCp1251("\xC0\xFF\xA8\xB8\xB9\x88\x98"), QString::fromUtf8("Ая"
                                                                           "Ёё"
                                                                           "№€\u0098"));
}

void tst_Cp1251::writes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Cyrillic and ASCII") << QString::fromUtf8("кв. 1 Иванов И.И.")
                                        << QByteArray("\xEA\xE2. 1 \xC8\xE2\xE0\xED\xEE\xE2 \xC8.\xC8.");
    QTest::newRow("NUL stays") << QString(QChar(0)) + "A" << QByteArray("\0A", 2);
    QTest::newRow("Ukrainian letters") << QString::fromUtf8("ЇїІіЄєҐґ")
                                       << QByteArray("\xAF\xBF\xB2\xB3\xAA\xBA\xA5\xB4");
    // What the code page cannot hold is a question mark, never a control character.
    QTest::newRow("Latin with accent") << QString::fromUtf8("ä") << QByteArray("?");
    QTest::newRow("CJK") << QString::fromUtf8("中a") << QByteArray("?a");
    QTest::newRow("one ? for a character past 16 bits") << QString::fromUtf8("x😀y") << QByteArray("x?y");
    QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + "A" + QChar(0xDC00) << QByteArray("?A?");
    QTest::newRow("a joiner is not dropped") << QString::fromUtf8("a\u034Fb") << QByteArray("a?b");
}

void tst_Cp1251::writes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1251(text), bytes);
}

QTEST_GUILESS_MAIN(tst_Cp1251)
#include "tst_Cp1251.moc"
