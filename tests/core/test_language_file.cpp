// The caption file: line ends, encodings, the twenty-line and line-length limits and short files.
// Every case is read from memory and from a file on disk.
#include <QtTest>

#include "language_file.h"

namespace {

QByteArray numbered(int count, const char *end = "\r\n") {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += "linea " + QByteArray::number(i) + end;
    return bytes;
}

QStringList numberedTexts(int count) { return QString::fromLatin1(numbered(count, "\n")).split(u'\n').mid(0, count); }

} // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    /// The file read from memory and from disk.
    QList<LanguageFile> read(const QByteArray &bytes) {
        QFile f(m_dir.filePath("idioma.txt"));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
            qFatal("cannot write %s", qPrintable(f.fileName()));
        return {LanguageFile::fromBytes(bytes), LanguageFile(f.fileName())};
    }

private slots:
    void lines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        // A long line is cut at its limit, without the byte-order mark and a split character.
        const QByteArray longLine = "\xEF\xBB\xBF" "a" + QByteArray("\xC3\xA9").repeated(3000);
        const QString cut = u'a' + QString(u'é').repeated((LanguageFile::kMaxLineBytes - 1) / 2);
        using B = QByteArray;
        using L = QStringList;
        QTest::newRow("CR LF, blanks") << B(" Jugar \r\n\r\nSalir") << L{" Jugar ", "", "Salir"};
        QTest::newRow("lone LF and lone CR") << B("a\nb\rc\n\rd") << L{"a", "b", "c", "", "d"};
        QTest::newRow("25 lines read as 20") << numbered(25) << numberedTexts(20);
        QTest::newRow("long line") << longLine + "\r\nSEGUNDA" << L{cut, "SEGUNDA"};
        QTest::newRow("Windows-1252") << B("im\xE1genes \x80\r\n\x83\x93\xBF") << L{u"imágenes €"_qs, u"ƒ“¿"_qs};
        QTest::newRow("UTF-8, later line") << B("Jugar\r\nNi\xC3\xB1o") << L{"Jugar", u"Niño"_qs};
        QTest::newRow("invalid UTF-8 is 1252 throughout") << B("Ni\xC3\xB1o\r\nim\xE1genes") << L{u"NiÃ±o"_qs, u"imágenes"_qs};
        QTest::newRow("UTF-8 after line 20 is not read")
            << "A\xF1o\r\n" + numbered(19) + "Ni\xC3\xB1o" << L{u"Año"_qs} + numberedTexts(19);
    }

    void lines() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        for (const LanguageFile &f : read(bytes)) {
            QCOMPARE(f.lineCount(), lines.size());
            for (int n = 1; n <= LanguageFile::kMaxLines + 1; ++n)
                QCOMPARE(f.line(n), lines.value(n - 1));
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageFile)
#include "test_language_file.moc"
