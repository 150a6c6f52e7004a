// Captions from the language file, screen by screen: which line feeds which caption, what a short,
// long, blank or differently encoded file gives, and that captions are never read as markup.
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "players_screen.h"
#include "title_screen.h"

namespace {

/// The shipped Spanish lines.
QStringList spanishLines()
{
    return {QStringLiteral("CONTINUAR"),
            QStringLiteral("1 jugador"),
            QStringLiteral("2 jugadores"),
            QStringLiteral("Nombre"),
            QStringLiteral("Escribe tu nombre"),
            QStringLiteral("Jugador 1"),
            QStringLiteral("Jugador 2"),
            QStringLiteral("ACEPTAR"),
            QString::fromUtf8("Selecciona la carpeta de im\xC3\xA1genes y el n\xC3\xBAmero de parejas"),
            QStringLiteral("2 puntos por partida y 1 por empate"),
            QStringLiteral("Parejas acertadas"),
            QStringLiteral("JUGAR"),
            QStringLiteral("Le toca a"),
            QStringLiteral("SEGUIR JUGANDO"),
            QStringLiteral("FIN JUEGO"),
            QStringLiteral("lo ha conseguido en"),
            QStringLiteral("intentos"),
            QStringLiteral("ha encontrado"),
            QStringLiteral("parejas. Lleva"),
            QStringLiteral("puntos")};
}

enum class Encoding { Cp1252, Utf8, Utf8Bom };

QByteArray encode(const QStringList &lines, Encoding encoding = Encoding::Cp1252,
                  const QByteArray &lineEnd = "\r\n")
{
    QByteArray out = encoding == Encoding::Utf8Bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const QString &l : lines)
        out += (encoding == Encoding::Cp1252 ? l.toLatin1() : l.toUtf8()) + lineEnd;
    return out;
}

/// The captions the file feeds, in this order.
const QStringList kControls = {
    QStringLiteral("Form5.Command1"),  QStringLiteral("Form3.Command1[0]"),
    QStringLiteral("Form3.Command1[1]"), QStringLiteral("Form3.Label1[0]"),
    QStringLiteral("Form3.Frame1[1]"), QStringLiteral("Form3.Label1[1]"),
    QStringLiteral("Form3.Label2"),    QStringLiteral("Form3.Command2"),
    QStringLiteral("Form1.Label2[2]"), QStringLiteral("Form1.Label2[1]"),
    QStringLiteral("Form1.Label2[0]"), QStringLiteral("Form1.Command2"),
    QStringLiteral("Form2.Label1[0]")};

/// The captions with the shipped file and player 1 called Ana.
QStringList shippedCaptions()
{
    const QStringList l = spanishLines();
    return {l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7], l[8], l[9], l[10], l[11],
            QStringLiteral("Le toca a Ana")};
}

/// Opens the title, players, options and board screens in turn and reads their captions.
QStringList openScreensAndReadCaptions()
{
    QStringList out;
    Form5 *title = Runtime::Show<Form5>();
    if (!title)
        return out;
    out << title->Command1->caption();

    Form3 *players = Runtime::Show<Form3>();
    if (!players)
        return out;
    out << players->Command1[0]->caption() << players->Command1[1]->caption()
        << players->Label1[0]->caption() << players->Frame1[1]->caption()
        << players->Label1[1]->caption() << players->Label2->caption()
        << players->Command2->caption();

    Form1 *options = Runtime::Show<Form1>();
    if (!options)
        return out;
    out << options->Label2[2]->caption() << options->Label2[1]->caption()
        << options->Label2[0]->caption() << options->Command2->caption();

    Form2 *board = Runtime::Show<Form2>();
    if (!board)
        return out;
    out << board->Label1[0]->caption();
    return out;
}

} // namespace

class CaptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void captionsFromTheFile_data()
    {
        QTest::addColumn<QString>("source"); // "shipped", "none" or "bytes"
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");

        const QStringList lines = spanishLines();
        const QStringList shipped = shippedCaptions();

        QTest::newRow("shipped file") << QStringLiteral("shipped") << QByteArray() << shipped;

        QStringList blank(kControls.size(), QString());
        blank.last() = QStringLiteral(" Ana");
        QTest::newRow("no file") << QStringLiteral("none") << QByteArray() << blank;
        QTest::newRow("empty file") << QStringLiteral("bytes") << QByteArray() << blank;

        // Lines 9 to 12 go through one text buffer: a short file leaves its last line in it.
        QStringList eight = blank;
        for (int i = 0; i < 8; ++i)
            eight[i] = lines[i];
        QTest::newRow("8 lines") << QStringLiteral("bytes") << encode(lines.mid(0, 8)) << eight;
        QStringList nine = eight;
        nine[8] = nine[9] = nine[10] = nine[11] = lines[8];
        QTest::newRow("9 lines") << QStringLiteral("bytes") << encode(lines.mid(0, 9)) << nine;
        QStringList ten = eight;
        ten[8] = lines[8];
        ten[9] = ten[10] = ten[11] = lines[9];
        QTest::newRow("10 lines") << QStringLiteral("bytes") << encode(lines.mid(0, 10)) << ten;
        QStringList eleven = eight;
        eleven[8] = lines[8];
        eleven[9] = lines[9];
        eleven[10] = eleven[11] = lines[10];
        QTest::newRow("11 lines") << QStringLiteral("bytes") << encode(lines.mid(0, 11)) << eleven;
        QStringList twelve = shipped;
        twelve.last() = QStringLiteral(" Ana");
        QTest::newRow("12 lines") << QStringLiteral("bytes") << encode(lines.mid(0, 12)) << twelve;

        QStringList blank8Lines = lines;
        blank8Lines[7] = QString();
        QStringList blank8 = shipped;
        blank8[7] = QString();
        QTest::newRow("line 8 blank") << QStringLiteral("bytes") << encode(blank8Lines) << blank8;

        QStringList paddedLines = lines;
        paddedLines[0] = QStringLiteral(" CONTINUAR");
        paddedLines[3] = QStringLiteral("Nombre   ");
        paddedLines[11] = QStringLiteral("  JUGAR  ");
        paddedLines[12] = QStringLiteral("\tLe toca a ");
        QStringList padded = shipped;
        padded[0] = paddedLines[0];
        padded[3] = paddedLines[3];
        padded[11] = paddedLines[11];
        padded[12] = QStringLiteral("\tLe toca a  Ana");
        QTest::newRow("blanks kept") << QStringLiteral("bytes") << encode(paddedLines) << padded;

        QStringList longer = lines;
        for (int i = 21; i <= 25; ++i)
            longer << QStringLiteral("sobra %1").arg(i);
        QTest::newRow("25 lines") << QStringLiteral("bytes") << encode(longer) << shipped;

        QTest::newRow("utf-8") << QStringLiteral("bytes") << encode(lines, Encoding::Utf8)
                               << shipped;
        QTest::newRow("utf-8 with byte-order mark")
            << QStringLiteral("bytes") << encode(lines, Encoding::Utf8Bom) << shipped;
        QTest::newRow("LF line ends") << QStringLiteral("bytes")
                                      << encode(lines, Encoding::Cp1252, "\n") << shipped;
        QTest::newRow("CR line ends") << QStringLiteral("bytes")
                                      << encode(lines, Encoding::Cp1252, "\r") << shipped;
        QTest::newRow("no line end after the last line")
            << QStringLiteral("bytes") << encode(lines).chopped(2) << shipped;

        // Windows-1252 letters outside Latin-1 in the instruction.
        QStringList quotes = lines;
        QByteArray quoteBytes = encode(quotes);
        quoteBytes.replace("Selecciona", "\x93Selecciona\x94 \x80");
        QStringList quoted = shipped;
        quoted[8] = QString::fromUtf8("\xE2\x80\x9CSelecciona\xE2\x80\x9D \xE2\x82\xAC")
                    + lines[8].mid(QStringLiteral("Selecciona").size());
        QTest::newRow("windows-1252 quotes and euro")
            << QStringLiteral("bytes") << quoteBytes << quoted;
    }
    void captionsFromTheFile()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        AppFixture app;
        if (source == QLatin1String("shipped"))
            app.useShippedLanguage();
        else if (source == QLatin1String("bytes"))
            app.writeLanguageBytes(bytes);
        app.makePictureSet(QStringLiteral("s"), 24);
        Module1::Player1Name = QStringLiteral("Ana");

        const QStringList got = openScreensAndReadCaptions();
        QCOMPARE(got.size(), kControls.size());
        QStringList wrong;
        for (int i = 0; i < kControls.size(); ++i)
            if (got[i] != expected[i])
                wrong << QStringLiteral("%1: \"%2\", expected \"%3\"")
                             .arg(kControls[i], got[i], expected[i]);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.ends, 0);
    }

    void screensWorkWithoutTheFile()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 24);
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(title);
        QVERIFY(title->Command1->caption().isEmpty());
        QTest::mouseClick(title->Command1, Qt::LeftButton);
        Form3 *players = Runtime::loaded<Form3>();
        QVERIFY(players && players->isVisible());

        QTest::mouseClick(players->Command1[0], Qt::LeftButton);
        QVERIFY(players->Frame1[0]->isVisible());
        QVERIFY(players->Command2->isVisible());
        QVERIFY(players->Command2->caption().isEmpty());
        QTest::keyClicks(players->Text1[0], QStringLiteral("Ana"));
        QTest::mouseClick(players->Command2, Qt::LeftButton);
        QCOMPARE(Module1::Player1Name, QStringLiteral("Ana"));
        Form1 *options = Runtime::loaded<Form1>();
        QVERIFY(options && options->isVisible());
        QVERIFY(options->Command2->caption().isEmpty());

        QTest::mouseClick(options->Command2, Qt::LeftButton);
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board && board->isVisible());
        QCOMPARE(board->Label1[0]->caption(), QStringLiteral(" Ana"));
        QCOMPARE(board->TotalPairs(), 12);
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.ends, 0);
    }

    void markupShownLiterally_data()
    {
        QTest::addColumn<QString>("line4");
        QTest::addColumn<QString>("line9");
        QTest::addColumn<QString>("player");
        QTest::newRow("bold and italic") << QStringLiteral("<b>negrita</b>")
                                         << QStringLiteral("<i>cursiva</i> &amp; <u>raya</u>")
                                         << QStringLiteral("<i>Ana</i>");
        QTest::newRow("html page") << QStringLiteral("<html><body>Nombre</body></html>")
                                   << QStringLiteral("<h1>Grande</h1>")
                                   << QStringLiteral("<font color=red>Eva</font>");
        QTest::newRow("link and entity") << QStringLiteral("<a href=\"x\">enlace</a>")
                                         << QStringLiteral("&lt;no&gt;")
                                         << QStringLiteral("Ana &amp; Luis");
    }
    void markupShownLiterally()
    {
        QFETCH(QString, line4);
        QFETCH(QString, line9);
        QFETCH(QString, player);
        AppFixture app;
        QStringList lines = spanishLines();
        lines[3] = line4;
        lines[8] = line9;
        app.writeLanguage(lines);
        app.makePictureSet(QStringLiteral("s"), 24);
        Module1::Player1Name = player;

        Form3 *players = Runtime::Show<Form3>();
        QVERIFY(players);
        Form1 *options = Runtime::Show<Form1>();
        QVERIFY(options);
        QCOMPARE(players->Label1[0]->text(), line4);
        QCOMPARE(players->Label1[0]->textFormat(), Qt::PlainText);
        QCOMPARE(options->Label2[2]->text(), line9);
        QCOMPARE(options->Label2[2]->textFormat(), Qt::PlainText);

        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        QCOMPARE(board->Label1[0]->text(), QStringLiteral("Le toca a ") + player);
        QCOMPARE(board->Label1[0]->textFormat(), Qt::PlainText);
    }
};

QTEST_MAIN(CaptionsTest)
#include "test_captions.moc"
