// The caption file: line ends, encodings, the twenty-line and line-length limits, short files and
// the reuse of one text buffer. Every case is read from memory and from a file on disk.
#include <QtTest>

#include "language_file.h"

namespace {

QByteArray numbered(int count, const char *end = "\r\n")
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "linea " + QByteArray::number(i) + end;
    return bytes;
}

QStringList numberedTexts(int count)
{
    return QString::fromLatin1(numbered(count, "\n")).split(u'\n').mid(0, count);
}

} // namespace

class TestLanguageFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    /// The file read from memory and from disk, with `asked` lines.
    QList<LanguageFile> read(const QByteArray &bytes, int asked = LanguageFile::kMaxLines)
    {
        QFile f(m_dir.filePath(QStringLiteral("idioma.txt")));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(f.fileName()));
        f.close();
        return {LanguageFile::fromBytes(bytes, asked), LanguageFile(f.fileName(), asked)};
    }

private slots:
    void lines_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("asked");
        QTest::addColumn<QStringList>("lines");

        // A long line is cut at its limit, without the byte-order mark and a split character.
        const QByteArray longLine = "\xEF\xBB\xBF" "a" + QByteArray("\xC3\xA9").repeated(3000);
        const QString cut = u'a' + QString(u'é').repeated((LanguageFile::kMaxLineBytes - 1) / 2);
        QTest::newRow("CR LF, blanks kept") << QByteArray(" Jugar \r\n\r\nSalir") << 20
                                            << QStringList{" Jugar ", "", "Salir"};
        QTest::newRow("lone LF and lone CR") << QByteArray("a\nb\rc\n\rd") << 20
                                             << QStringList{"a", "b", "c", "", "d"};
        QTest::newRow("25 lines read as 20") << numbered(25) << 20 << numberedTexts(20);
        QTest::newRow("the lines asked for") << numbered(12) << 5 << numberedTexts(5);
        QTest::newRow("long line") << longLine + "\r\nSEGUNDA" << 20 << QStringList{cut, "SEGUNDA"};
        QTest::newRow("Windows-1252") << QByteArray("im\xE1genes \x80\r\n\x83\x93\xBF") << 20
                                      << QStringList{u"imágenes €"_qs, u"ƒ“¿"_qs};
        QTest::newRow("UTF-8 on a later line") << QByteArray("Jugar\r\nNi\xC3\xB1o") << 20
                                               << QStringList{"Jugar", u"Niño"_qs};
        QTest::newRow("invalid UTF-8 is 1252 throughout")
            << QByteArray("Ni\xC3\xB1o\r\nim\xE1genes") << 20
            << QStringList{u"NiÃ±o"_qs, u"imágenes"_qs};
        QTest::newRow("UTF-8 after line 20 is not read")
            << "A\xF1o\r\n" + numbered(19) + "Ni\xC3\xB1o" << 20
            << QStringList{u"Año"_qs} + numberedTexts(19);
    }

    void lines()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, asked);
        QFETCH(QStringList, lines);

        for (const LanguageFile &f : read(bytes, asked)) {
            QCOMPARE(f.lineCount(), lines.size());
            for (int n = 1; n <= LanguageFile::kMaxLines + 1; ++n)
                QCOMPARE(f.line(n), lines.value(n - 1));
        }
    }

    void buffered_data()
    {
        QTest::addColumn<int>("fileLines");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("caption");

        // The options screen refills one buffer with lines 9 to 12, the results screen with 14, 15.
        QTest::newRow("line 11 of 10") << 10 << 9 << 11 << "linea 10";
        QTest::newRow("line 12 of 10") << 10 << 9 << 12 << "linea 10";
        QTest::newRow("line 12 of 12") << 12 << 9 << 12 << "linea 12";
        QTest::newRow("line 12 of 8") << 8 << 9 << 12 << "";
        QTest::newRow("line 15 of 14") << 14 << 14 << 15 << "linea 14";
        QTest::newRow("line 14 of 13") << 13 << 14 << 14 << "";
    }

    void buffered()
    {
        QFETCH(int, fileLines);
        QFETCH(int, first);
        QFETCH(int, n);
        QFETCH(QString, caption);

        for (const LanguageFile &f : read(numbered(fileLines)))
            QCOMPARE(f.buffered(first, n), caption);
    }

    void missingFile()
    {
        const LanguageFile f(m_dir.filePath(QStringLiteral("no_existe.txt")));
        QVERIFY(!f.opened());
        QCOMPARE(f.line(1), QString());
        QCOMPARE(f.buffered(9, 12), QString());
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "test_language_file.moc"
