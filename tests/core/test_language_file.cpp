// The caption file, read from memory and from disk: line ends, encodings, limits, short files.
#include <QtTest>

#include "language_file.h"

class TestLanguageFile : public QObject
{
    Q_OBJECT
private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        using B = QByteArray;
        using L = QStringList;
        QStringList texts; // "linea 1" to "linea 25"
        for (int i = 1; i <= 25; ++i)
            texts << "linea " + QString::number(i);
        auto numbered = [&](int n) { return (texts.first(n).join("\r\n") + "\r\n").toLatin1(); };
        // A long line is cut at its limit, without the byte-order mark and a split character.
        const B longLine = B("\xEF\xBB\xBF") + 'a' + B("\xC3\xA9").repeated(3000);
        const QString cut = u'a' + QString(u'é').repeated((LanguageFile::kMaxLineBytes - 1) / 2);
        QTest::newRow("CR LF, blanks") << B(" Jugar \r\n\r\nSalir") << L{" Jugar ", "", "Salir"};
        QTest::newRow("lone LF and lone CR") << B("a\nb\rc\n\rd") << L{"a", "b", "c", "", "d"};
        QTest::newRow("25 lines read as 20") << numbered(25) << texts.first(20);
        QTest::newRow("long line") << longLine + "\r\nSEGUNDA" << L{cut, "SEGUNDA"};
        QTest::newRow("cp1252") << B("im\xE1genes \x80\r\n\x83\x93\xBF") << L{"imágenes €", "ƒ“¿"};
        QTest::newRow("UTF-8, later line") << B("Jugar\r\nNi\xC3\xB1o") << L{"Jugar", "Niño"};
        QTest::newRow("bad UTF-8") << B("Ni\xC3\xB1o\r\nim\xE1genes") << L{"NiÃ±o", "imágenes"};
        QTest::newRow("UTF-8 after line 20 unread")
            << "A\xF1o\r\n" + numbered(19) + "Ni\xC3\xB1o" << L{"Año"} + texts.first(19);
    }
    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QTemporaryFile disk;
        QVERIFY(disk.open() && disk.write(bytes) == bytes.size() && disk.flush());
        for (const auto &f : {LanguageFile::fromBytes(bytes), LanguageFile(disk.fileName())}) {
            QCOMPARE(f.lineCount(), lines.size());
            for (int n = 1; n <= LanguageFile::kMaxLines + 1; ++n)
                QCOMPARE(f.line(n), lines.value(n - 1));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "test_language_file.moc"
