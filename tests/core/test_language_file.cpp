// The caption file: line splitting, the twenty-line limit, the text buffer model, the encodings
// and runaway lines. Every case is read both from memory and from a real file.

#include <QtTest>

#include <QTemporaryDir>

#include "language_file.h"

namespace {

QByteArray numberedLines(int count, const char *end = "\r\n")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "linea " + QByteArray::number(i) + end;
    return bytes;
}

QStringList numberedTexts(int count)
{
    QStringList texts;
    for (int i = 1; i <= count; ++i)
        texts << QStringLiteral("linea %1").arg(i);
    return texts;
}

} // namespace

class TestLanguageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void lines_data();
    void lines();
    void encoding_data();
    void encoding();
    void buffered_data();
    void buffered();
    void longLine_data();
    void longLine();
    void requestedLines_data();
    void requestedLines();
    void missingFile();

private:
    /// Reads `bytes` both ways: from memory and from a file holding them.
    QList<LanguageFile> readBoth(const QByteArray &bytes, int lines = LanguageFile::kMaxLines);
    /// Compares every line 0..kMaxLines + 1 of `file` with `expected`.
    static void compareLines(const LanguageFile &file, const QStringList &expected,
                             const char *how);

    QTemporaryDir m_dir;
    int m_fileNumber = 0;
};

void TestLanguageFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QList<LanguageFile> TestLanguageFile::readBoth(const QByteArray &bytes, int lines)
{
    const QString path = m_dir.filePath(QStringLiteral("idioma%1.txt").arg(++m_fileNumber));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();
    return {LanguageFile::fromBytes(bytes, lines), LanguageFile(path, lines)};
}

void TestLanguageFile::compareLines(const LanguageFile &file, const QStringList &expected,
                                    const char *how)
{
    QVERIFY2(file.opened(), how);
    QVERIFY2(file.lineCount() == expected.size(),
             qPrintable(QStringLiteral("%1: %2 lines").arg(how).arg(file.lineCount())));
    for (int n = -1; n <= LanguageFile::kMaxLines + 1; ++n) {
        const QString want = n >= 1 ? expected.value(n - 1) : QString();
        QVERIFY2(file.line(n) == want,
                 qPrintable(QStringLiteral("%1: line %2 is \"%3\", not \"%4\"")
                                .arg(QString::fromLatin1(how))
                                .arg(n)
                                .arg(file.line(n), want)));
    }
}

void TestLanguageFile::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("CR LF") << QByteArray("Jugar\r\nSalir\r\nAyuda\r\n")
                           << QStringList{"Jugar", "Salir", "Ayuda"};
    QTest::newRow("no line end after the last line")
        << QByteArray("Jugar\r\nSalir") << QStringList{"Jugar", "Salir"};
    QTest::newRow("lone LF") << QByteArray("Jugar\nSalir\n") << QStringList{"Jugar", "Salir"};
    QTest::newRow("lone CR") << QByteArray("Jugar\rSalir\r") << QStringList{"Jugar", "Salir"};
    QTest::newRow("mixed line ends")
        << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("LF then CR is two line ends")
        << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("CR then CR LF") << QByteArray("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("empty lines count") << QByteArray("\r\n\r\nTercera\r\n\r\nQuinta")
                                       << QStringList{"", "", "Tercera", "", "Quinta"};
    QTest::newRow("a single line end") << QByteArray("\r\n") << QStringList{""};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
    QTest::newRow("blanks kept verbatim")
        << QByteArray("  Jugar  \r\n\tSalir \r\n ") << QStringList{"  Jugar  ", "\tSalir ", " "};
    QTest::newRow("NUL inside a line")
        << QByteArray("a\0b\r\nc", 6) << QStringList{QString::fromLatin1("a\0b", 3), "c"};
    QTest::newRow("exactly 20 lines") << numberedLines(20) << numberedTexts(20);
    QTest::newRow("25 lines read as their first 20") << numberedLines(25) << numberedTexts(20);
    QTest::newRow("25 LF lines read as their first 20")
        << numberedLines(25, "\n") << numberedTexts(20);
    QTest::newRow("25 CR lines read as their first 20")
        << numberedLines(25, "\r") << numberedTexts(20);
}

void TestLanguageFile::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    const QList<LanguageFile> files = readBoth(bytes);
    compareLines(files.at(0), expected, "from bytes");
    compareLines(files.at(1), expected, "from a file");
}

void TestLanguageFile::encoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    // Windows-1252.
    QTest::newRow("1252 a acute") << QByteArray("im\xE1genes") << QStringList{u"imágenes"_qs};
    QTest::newRow("1252 euro") << QByteArray("5 \x80") << QStringList{u"5 €"_qs};
    QTest::newRow("1252 curly quotes")
        << QByteArray("\x93hola\x94") << QStringList{u"\u201Chola\u201D"_qs};
    QTest::newRow("1252 Spanish marks") << QByteArray("\xBFOtra partida? \xA1S\xED!\r\nA\xF1o")
                                        << QStringList{u"¿Otra partida? ¡Sí!"_qs, u"Año"_qs};
    QTest::newRow("1252 dashes and ellipsis")
        << QByteArray("\x96 \x97 \x85") << QStringList{u"\u2013 \u2014 \u2026"_qs};
    // UTF-8.
    QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBFim\xC3\xA1genes\r\nSalir")
                                    << QStringList{u"imágenes"_qs, u"Salir"_qs};
    QTest::newRow("BOM with plain ASCII")
        << QByteArray("\xEF\xBB\xBFJugar\r\n") << QStringList{u"Jugar"_qs};
    QTest::newRow("BOM before an empty first line")
        << QByteArray("\xEF\xBB\xBF\r\nSalir") << QStringList{u""_qs, u"Salir"_qs};
    QTest::newRow("UTF-8 without BOM")
        << QByteArray("im\xC3\xA1genes") << QStringList{u"imágenes"_qs};
    QTest::newRow("UTF-8 on a later line decides the whole file")
        << QByteArray("Jugar\r\nNi\xC3\xB1o\r\n\xE2\x82\xAC")
        << QStringList{u"Jugar"_qs, u"Niño"_qs, u"€"_qs};
    // Not valid UTF-8: Windows-1252 throughout.
    QTest::newRow("invalid UTF-8 falls back for every line")
        << QByteArray("im\xE1genes\r\nNi\xC3\xB1o") << QStringList{u"imágenes"_qs, u"NiÃ±o"_qs};
    QTest::newRow("sequence cut at the end of the file")
        << QByteArray("caf\xC3") << QStringList{u"cafÃ"_qs};
    QTest::newRow("sequence cut by a line end")
        << QByteArray("caf\xC3\r\n\xA9") << QStringList{u"cafÃ"_qs, u"©"_qs};
    QTest::newRow("overlong encoding") << QByteArray("a\xC0\xAF") << QStringList{u"aÀ¯"_qs};
    // Only the twenty lines read decide.
    QByteArray twentyUtf8 = "Ni\xC3\xB1o\r\n" + numberedLines(19) + "\xE1\r\n";
    QStringList twentyTexts = QStringList{u"Niño"_qs} + numberedTexts(19);
    QTest::newRow("a 1252 byte after line 20 is never read") << twentyUtf8 << twentyTexts;
    QByteArray twenty1252 = "A\xF1o\r\n" + numberedLines(19) + "Ni\xC3\xB1o\r\n";
    QStringList twenty1252Texts = QStringList{u"Año"_qs} + numberedTexts(19);
    QTest::newRow("UTF-8 after line 20 is never read") << twenty1252 << twenty1252Texts;
}

void TestLanguageFile::encoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    const QList<LanguageFile> files = readBoth(bytes);
    compareLines(files.at(0), expected, "from bytes");
    compareLines(files.at(1), expected, "from a file");
}

void TestLanguageFile::buffered_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");

    QTest::newRow("10 lines, reads 9..11") << numberedLines(10) << 9 << 11 << "linea 10";
    QTest::newRow("10 lines, reads 9..12") << numberedLines(10) << 9 << 12 << "linea 10";
    QTest::newRow("5 lines, reads 9..12") << numberedLines(5) << 9 << 12 << "";
    QTest::newRow("8 lines, reads 9..12") << numberedLines(8) << 9 << 12 << "";
    QTest::newRow("9 lines, reads 9..12") << numberedLines(9) << 9 << 12 << "linea 9";
    QTest::newRow("12 lines, reads 9..12") << numberedLines(12) << 9 << 12 << "linea 12";
    QTest::newRow("12 lines, reads 9..11") << numberedLines(12) << 9 << 11 << "linea 11";
    QTest::newRow("12 lines, one read") << numberedLines(12) << 9 << 9 << "linea 9";
    QTest::newRow("empty line 11 read last") << numberedLines(10) + "\r\n" << 9 << 12 << "";
    QTest::newRow("20 lines, reads 16..20") << numberedLines(25) << 16 << 20 << "linea 20";
    QTest::newRow("25 lines, reads 16..22 stop at 20")
        << numberedLines(25) << 16 << 22 << "linea 20";
    QTest::newRow("empty file") << QByteArray() << 1 << 20 << "";
}

void TestLanguageFile::buffered()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, first);
    QFETCH(int, n);
    QFETCH(QString, expected);

    const QList<LanguageFile> files = readBoth(bytes);
    QCOMPARE(files.at(0).buffered(first, n), expected);
    QCOMPARE(files.at(1).buffered(first, n), expected);
}

void TestLanguageFile::longLine_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");

    const int max = LanguageFile::kMaxLineBytes;
    const QByteArray huge(5 * 1024 * 1024, 'x');
    const QString cut(max, u'x');

    QTest::newRow("multi-megabyte line, CR LF") << huge + "\r\nSEGUNDA\r\n" << cut << "SEGUNDA";
    QTest::newRow("multi-megabyte line, LF") << huge + "\nSEGUNDA" << cut << "SEGUNDA";
    QTest::newRow("multi-megabyte line, CR") << huge + "\rSEGUNDA\r" << cut << "SEGUNDA";
    QTest::newRow("one byte over") << QByteArray(max + 1, 'x') + "\r\nSEGUNDA" << cut << "SEGUNDA";
    QTest::newRow("exactly at the limit")
        << QByteArray(max, 'x') + "\r\nSEGUNDA" << cut << "SEGUNDA";
    QTest::newRow("just under the limit")
        << QByteArray(max - 1, 'x') + "\r\nSEGUNDA" << QString(max - 1, u'x') << "SEGUNDA";
    QTest::newRow("CR LF straddling the limit")
        << QByteArray(max, 'x') + "\r\n\r\nTERCERA" << cut << "";
    QTest::newRow("BOM is not counted in the line")
        << "\xEF\xBB\xBF" + QByteArray(max + 100, 'x') + "\r\nSEGUNDA" << cut << "SEGUNDA";

    // A valid UTF-8 file whose long first line is cut inside a two-byte character.
    QByteArray utf8Line = "a";
    QString utf8Text = QStringLiteral("a");
    for (int i = 0; i < 3000; ++i) {
        utf8Line += "\xC3\xA9";
        if (1 + 2 * (i + 1) <= max)
            utf8Text += u'é';
    }
    QTest::newRow("UTF-8 line cut inside a character")
        << utf8Line + "\r\nA\xC3\xB1o" << utf8Text << u"Año"_qs;
    QTest::newRow("UTF-8 with BOM, line cut inside a character")
        << "\xEF\xBB\xBF" + utf8Line + "\r\nA\xC3\xB1o" << utf8Text << u"Año"_qs;
    // Windows-1252 is cut at the byte.
    QTest::newRow("1252 line") << QByteArray(max + 10, '\xE1') + "\r\nA\xF1o" << QString(max, u'á')
                               << u"Año"_qs;
}

void TestLanguageFile::longLine()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line1);
    QFETCH(QString, line2);

    const QList<LanguageFile> files = readBoth(bytes);
    for (const LanguageFile &file : files) {
        QVERIFY(file.opened());
        QVERIFY(file.lineCount() >= 2);
        QCOMPARE(file.line(1).size(), line1.size());
        QCOMPARE(file.line(1), line1);
        QCOMPARE(file.line(2), line2);
    }
}

void TestLanguageFile::requestedLines_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("lineCount");

    QTest::newRow("first 5 of 12") << 5 << 5;
    QTest::newRow("all 12") << 12 << 12;
    QTest::newRow("more than the file has") << 15 << 12;
    QTest::newRow("none") << 0 << 0;
}

void TestLanguageFile::requestedLines()
{
    QFETCH(int, requested);
    QFETCH(int, lineCount);

    const QList<LanguageFile> files = readBoth(numberedLines(12), requested);
    compareLines(files.at(0), numberedTexts(lineCount), "from bytes");
    compareLines(files.at(1), numberedTexts(lineCount), "from a file");
}

void TestLanguageFile::missingFile()
{
    const LanguageFile missing(m_dir.filePath(QStringLiteral("no_existe.txt")));
    QVERIFY(!missing.opened());
    QCOMPARE(missing.lineCount(), 0);
    for (int n = 1; n <= LanguageFile::kMaxLines; ++n)
        QVERIFY(missing.line(n).isEmpty());
    QVERIFY(missing.buffered(9, 12).isEmpty());

    const LanguageFile none;
    QVERIFY(!none.opened());
    QVERIFY(none.line(1).isEmpty());
}

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "test_language_file.moc"
