// Hostile input from disk and keyboard: language files, picture folders, sound files and player
// names. Every case must end in a game that can be finished, or in the one message the program
// has ("NO ENCUENTRO LOS DIBUJOS"); nothing may crash, hang, or change what is on disk.
#include <QtTest>

#include <QDirIterator>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_fixture.h"
#include "board_screen.h"
#include "deal.h"
#include "form.h"
#include "language_file.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"
#include "twips.h"

namespace {

const QString kMessage = QStringLiteral("NO ENCUENTRO LOS DIBUJOS");

/// The shipped language file, line by line.
QStringList shippedLines()
{
    QFile f(QStringLiteral(TRABEL_SOURCE_DATA "/idioma/idioma.txt"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &l : f.readAll().split('\n')) {
        QByteArray line = l;
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromLatin1(line));
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QByteArray joinedLatin1(const QStringList &lines, const QByteArray &end)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toLatin1() + end;
    return out;
}

/// Resident memory of this process, in bytes.
qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
}

/// The most memory this process has had resident so far, in bytes.
qint64 peakResidentBytes()
{
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

/// Everything under a folder: path, kind, size and modification time. Symbolic links are listed,
/// not followed.
QStringList snapshot(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo fi = it.fileInfo();
        out.append(QStringLiteral("%1 %2 %3 %4")
                       .arg(fi.filePath().mid(root.size()),
                            fi.isSymLink() ? QStringLiteral("link") : fi.isDir() ? QStringLiteral("dir")
                                                                                 : QStringLiteral("file"))
                       .arg(fi.isSymLink() ? 0 : fi.size())
                       .arg(fi.isSymLink() ? 0 : fi.lastModified().toMSecsSinceEpoch()));
    }
    out.sort();
    return out;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// Creates a file from raw name bytes, whatever their encoding.
bool writeRawName(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

quint32 crc32(const QByteArray &bytes)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : bytes) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void putBigEndian(QByteArray &bytes, qsizetype at, quint32 value, int width)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = char((value >> (8 * (width - 1 - i))) & 0xFF);
}

/// A real small picture of the format, with its header changed to claim width × height pixels
/// (the PNG header's checksum made right again, so that only the size is wrong).
QByteArray forgedPicture(const QByteArray &format, quint32 width, quint32 height)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, format.constData());
    if (format == "png") {
        // Signature (8), IHDR length (4), "IHDR" (4), width, height ... CRC over type and data.
        putBigEndian(bytes, 16, width, 4);
        putBigEndian(bytes, 20, height, 4);
        putBigEndian(bytes, 29, crc32(bytes.mid(12, 17)), 4);
    } else {
        const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
        if (sof < 0)
            return {};
        putBigEndian(bytes, sof + 5, height, 2);
        putBigEndian(bytes, sof + 7, width, 2);
    }
    return bytes;
}

/// A PCM WAV file: 16-bit mono at 8 kHz, `seconds` long, a quiet tone.
QByteArray wavBytes(int seconds)
{
    const quint32 rate = 8000;
    const quint32 dataSize = rate * 2 * quint32(seconds);
    QByteArray b;
    QDataStream s(&b, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s.writeRawData("RIFF", 4);
    s << quint32(36 + dataSize);
    s.writeRawData("WAVEfmt ", 8);
    s << quint32(16) << quint16(1) << quint16(1) << rate << rate * 2 << quint16(2) << quint16(16);
    s.writeRawData("data", 4);
    s << dataSize;
    for (quint32 i = 0; i < rate * quint32(seconds); ++i)
        s << qint16((i / 20) % 2 ? 300 : -300);
    return b;
}

/// Goes from the title to a board the way a player does, with one name (or two).
Form2 *openThroughScreens(const QString &name1, const QString &name2, bool twoPlayers,
                          const QString &set, int pairOption)
{
    Form5 *title = Runtime::Show<Form5>();
    if (!title)
        return nullptr;
    title->Command1_Click();
    Form3 *players = Runtime::loaded<Form3>();
    if (!players)
        return nullptr;
    players->Command1_Click(twoPlayers ? 1 : 0);
    if (twoPlayers) {
        players->Text1[1]->setText(name1);
        players->Text2->setText(name2);
    } else {
        players->Text1[0]->setText(name1);
    }
    players->Command2_Click();
    Form1 *options = Runtime::loaded<Form1>();
    if (!options)
        return nullptr;
    options->Combo1->setText(set);
    options->Command1_Click(pairOption);
    options->Command2_Click();
    return Runtime::loaded<Form2>();
}

/// Opens a board from the options screen, as "JUGAR" does.
Form2 *openBoard(const QString &set, int pairOption)
{
    Form1 *options = Runtime::Show<Form1>();
    if (!options)
        return nullptr;
    options->Combo1->setText(set);
    Module1::PairOption = static_cast<quint8>(pairOption);
    return Runtime::Show<Form2>();
}

/// Plays the board to its end without a mismatch and checks the counters on the way out.
void finishBoard(Form2 *board)
{
    QVERIFY(board);
    const int pairs = board->TotalPairs();
    clickAllPairs(board);
    QVERIFY(board->game().GameOver);
    QCOMPARE(board->game().PairsFound, pairs);
    QCOMPARE(board->game().faceUpCount(), 2 * pairs);
    for (int k = 0; k < 2 * pairs; ++k)
        QVERIFY(board->Image1[k]->isVisible());
    QVERIFY(board->Timer1->isActive());
}

/// Lets the finished board's tick open the results, hands them to `check`, then chooses
/// "SEGUIR JUGANDO": the options screen must be back and the board gone.
void continueFromResults(Form2 *board, const std::function<void(Form4 *)> &check)
{
    QPointer<Form2> guard(board);
    bool shown = false;
    // Should the results never show, the watch must not act on a later test's results.
    const auto live = std::make_shared<bool>(true);
    whenShown<Form4>([&, live](Form4 *results) {
        if (!*live)
            return;
        shown = true;
        check(results);
        results->Command1_Click();
    });
    board->Timer1_Timer();
    *live = false;
    QVERIFY(shown);
    QVERIFY(!guard || !guard->isLoaded());
    QVERIFY(!Runtime::loaded<Form4>());
    QVERIFY(Runtime::loaded<Form1>());
    QVERIFY(!Runtime::ended());
}

/// The names of the dealt cards' files.
QSet<QString> dealtNames(const Form2 *board)
{
    QSet<QString> out;
    for (int k = 0; k < 2 * board->TotalPairs(); ++k)
        out.insert(board->File1.List(board->CardPicture()[k].toInt()));
    return out;
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    // ---- Language file ----

    void languageFile_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("exact"); ///< the captions below are known; else only their shape
        QTest::addColumn<QString>("line1");
        QTest::addColumn<QString>("line2");
        QTest::addColumn<QString>("line13");
        QTest::addColumn<QString>("line14");

        const QStringList lines = shippedLines();
        QCOMPARE(lines.size(), 20);
        const QString l1 = lines[0], l2 = lines[1], l13 = lines[12], l14 = lines[13];

        QTest::newRow("missing") << false << QByteArray() << true << QString() << QString()
                                 << QString() << QString();
        QTest::newRow("empty") << true << QByteArray() << true << QString() << QString()
                               << QString() << QString();
        QTest::newRow("one line") << true << joinedLatin1(lines.mid(0, 1), "\r\n") << true << l1
                                  << QString() << QString() << QString();
        QTest::newRow("ten lines") << true << joinedLatin1(lines.mid(0, 10), "\r\n") << true << l1
                                   << l2 << QString() << QString();
        QTest::newRow("25 lines")
            << true
            << joinedLatin1(lines + QStringList{"sobra", "sobra", "sobra", "sobra", "sobra"},
                            "\r\n")
            << true << l1 << l2 << l13 << l14;
        QTest::newRow("10 MB single line")
            << true << QByteArray(10 * 1024 * 1024, 'A') << true
            << QString(LanguageFile::kMaxLineBytes, u'A') << QString() << QString() << QString();
        QTest::newRow("10 MB line then the rest")
            << true << QByteArray(10 * 1024 * 1024, 'B') + "\r\n" + joinedLatin1(lines.mid(1), "\r\n")
            << true << QString(LanguageFile::kMaxLineBytes, u'B') << l2 << l13 << l14;

        QRandomGenerator random(20240611);
        QByteArray noise(64 * 1024, '\0');
        for (char &c : noise)
            c = char(random.bounded(256));
        QTest::newRow("random binary") << true << noise << false << QString() << QString()
                                       << QString() << QString();
        QByteArray fewBreaks(8 * 1024, '\0');
        for (char &c : fewBreaks)
            c = char(0x80 + random.bounded(128));
        QTest::newRow("random high bytes") << true << fewBreaks << false << QString() << QString()
                                           << QString() << QString();

        QByteArray nul = joinedLatin1(lines, "\r\n");
        nul.replace("CONTINUAR", QByteArray("CON\0TINUAR", 10));
        nul.replace("Le toca a", QByteArray("Le\0toca\0a", 9));
        QTest::newRow("NUL inside lines")
            << true << nul << true << QStringLiteral("CON") + QChar(0) + QStringLiteral("TINUAR")
            << l2 << QStringLiteral("Le") + QChar(0) + QStringLiteral("toca") + QChar(0) + u'a'
            << l14;

        QByteArray c1;
        for (int b = 0x80; b <= 0x9F; ++b)
            c1 += char(b);
        // Windows-1252 at 0x80..0x9F; its five holes stay C1 controls.
        static const char16_t kHigh[] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        const QString c1Text = QString::fromUtf16(kHigh, 32);
        QTest::newRow("every byte 0x80-0x9F")
            << true << c1 + "\r\n" + joinedLatin1(lines.mid(1, 11), "\r\n") + c1 + "\r\n"
            << true << c1Text << l2 << c1Text << QString();

        QStringList utf = lines;
        utf[0] = QStringLiteral("CONTINUAR ñandú €");
        utf[12] = QStringLiteral("Te toca, 😀");
        QByteArray bom = "\xEF\xBB\xBF";
        for (const QString &l : utf)
            bom += l.toUtf8() + "\r\n";
        QTest::newRow("UTF-8 with BOM") << true << bom << true << utf[0] << l2 << utf[12] << l14;
        QTest::newRow("UTF-8 without BOM") << true << bom.mid(3) << true << utf[0] << l2 << utf[12]
                                           << l14;
        QByteArray cut = "a";
        for (int i = 0; i < 3000; ++i)
            cut += "\xC3\xB1"; // ñ
        // Cut at 4096 bytes, inside an ñ: the half character goes, the rest stays UTF-8.
        QTest::newRow("long UTF-8 line cut inside a character")
            << true << cut + "\r\n" + QStringLiteral("1 jugador ñ").toUtf8() + "\r\n" << true
            << QStringLiteral("a") + QString(2047, u'ñ') << QStringLiteral("1 jugador ñ")
            << QString() << QString();

        QTest::newRow("CR-only line ends") << true << joinedLatin1(lines, "\r") << true << l1 << l2
                                           << l13 << l14;
        QTest::newRow("LF-only line ends") << true << joinedLatin1(lines, "\n") << true << l1 << l2
                                           << l13 << l14;
        QByteArray mixed;
        for (int i = 0; i < lines.size(); ++i)
            mixed += lines[i].toLatin1() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        QTest::newRow("mixed line ends") << true << mixed << true << l1 << l2 << l13 << l14;
        QTest::newRow("blank lines") << true << QByteArray(40, '\n') << true << QString()
                                     << QString() << QString() << QString();
    }

    void languageFile()
    {
        QFETCH(bool, present);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, exact);
        QFETCH(QString, line1);
        QFETCH(QString, line2);
        QFETCH(QString, line13);
        QFETCH(QString, line14);

        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 8);
        if (present)
            app.writeLanguageBytes(bytes);
        const QStringList before = snapshot(app.folder());

        const auto shapeOk = [](const QString &caption) {
            return caption.size() <= LanguageFile::kMaxLineBytes && !caption.contains(u'\n')
                   && !caption.contains(u'\r');
        };

        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(title);
        title->Command1_Click();
        Form3 *players = Runtime::loaded<Form3>();
        QVERIFY(players);
        players->Command1_Click(0);
        players->Text1[0]->setText(QStringLiteral("Ana"));
        players->Command2_Click();
        Form1 *options = Runtime::loaded<Form1>();
        QVERIFY(options);
        QCOMPARE(options->Combo1->text(), QStringLiteral("s"));
        const QString playCaption = options->Command2->text();
        QVERIFY(shapeOk(playCaption));
        options->Command1_Click(0);
        if (exact) {
            QCOMPARE(title->Command1->text(), line1);
            QCOMPARE(players->Command1[0]->text(), line2);
        } else {
            QVERIFY(shapeOk(title->Command1->text()));
            QVERIFY(shapeOk(players->Command1[0]->text()));
            QVERIFY(shapeOk(players->Frame1[1]->title()));
        }
        options->Command2_Click();
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board);
        QVERIFY(app.messages.isEmpty());
        if (exact)
            QCOMPARE(board->Label1[0]->text(), line13 + QStringLiteral(" Ana"));
        else
            QVERIFY(board->Label1[0]->text().endsWith(QStringLiteral(" Ana")));
        QVERIFY(!board->grab().isNull());

        // One mismatch, then the rest of the game.
        const auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        board->Timer1_Timer();
        finishBoard(board);
        continueFromResults(board, [&](Form4 *results) {
            if (exact)
                QCOMPARE(results->Command1->text(), line14);
            QVERIFY(shapeOk(results->Command1->text()));
            QVERIFY(shapeOk(results->Command2->text()));
            QVERIFY(results->Label1->text().startsWith(QStringLiteral("Ana ")));
            QVERIFY(results->Label1->text().contains(QStringLiteral(" 7")));
            QVERIFY(!results->grab().isNull());
        });
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.ends, 0);
        QCOMPARE(Runtime::loaded<Form1>()->Command2->text(), playCaption);
        QCOMPARE(snapshot(app.folder()), before);
    }

    // ---- Picture folders ----

    void pictureFolders_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("message");

        QTest::newRow("empty folder") << QStringLiteral("empty") << 0 << true;
        QTest::newRow("junk only") << QStringLiteral("junk") << 0 << true;
        QTest::newRow("set that does not exist") << QStringLiteral("missing") << 0 << true;
        QTest::newRow("zero-byte files among good ones") << QStringLiteral("zero") << 0 << false;
        QTest::newRow("truncated JPEGs") << QStringLiteral("truncated") << 0 << false;
        QTest::newRow("headers claiming 60000 x 60000") << QStringLiteral("huge") << 0 << false;
        QTest::newRow("headers just inside the size limits") << QStringLiteral("large") << 0 << false;
        QTest::newRow("extreme shapes") << QStringLiteral("shapes") << 0 << false;
        QTest::newRow("folders named like pictures") << QStringLiteral("dirs") << 0 << false;
        QTest::newRow("symbolic link loops") << QStringLiteral("loops") << 0 << false;
        QTest::newRow("the loop chosen as the set") << QStringLiteral("loopset") << 0 << true;
        QTest::newRow("unreadable entries") << QStringLiteral("unreadable") << 0 << false;
        QTest::newRow("odd file and folder names") << QStringLiteral("names") << 0 << false;
        QTest::newRow("10000 files, 21 pairs") << QStringLiteral("many") << 4 << false;
        QTest::newRow("10000 files, 25 of them pictures") << QStringLiteral("needles") << 4 << false;
        QTest::newRow("10000 files, 20 pictures for 21 pairs") << QStringLiteral("toofew") << 4 << true;
    }

    void pictureFolders()
    {
        QFETCH(QString, kind);
        QFETCH(int, option);
        QFETCH(bool, message);

        AppFixture app;
        // Entries Qt cannot name are removed by hand, before the fixture removes the rest.
        struct RawEntries
        {
            QList<QByteArray> files, folders;
            ~RawEntries()
            {
                for (const QByteArray &f : files)
                    ::unlink(f.constData());
                for (const QByteArray &d : folders)
                    ::rmdir(d.constData());
            }
        } raw;
        app.useShippedLanguage();
        QString set = QStringLiteral("s");
        const QString dir = app.path(QStringLiteral("graficos/s/"));
        QDir().mkpath(dir);
        /// Names that may be dealt; when `exactly`, all of them must be.
        QStringList allowed;
        bool exactly = false;
        const auto good = [&](int count, const QByteArray &format = "png") {
            allowed += app.makePictureSet(QStringLiteral("s"), count, format, QSize(48, 36));
        };

        if (kind == QLatin1String("empty")) {
        } else if (kind == QLatin1String("junk")) {
            for (const char *name : {"notas.txt", "Thumbs.db", "desktop.ini", "vacio.png",
                                     "texto.jpg", "gif.gif", "a.bmp", "sin extension"})
                QVERIFY(writeBytes(dir + QLatin1String(name),
                                   QByteArray(name) == "vacio.png" ? QByteArray()
                                                                   : QByteArray("no es un dibujo")));
            QVERIFY(AppFixture::writePicture(dir + QStringLiteral(".oculto.png"), QSize(20, 20),
                                             Qt::red, "png"));
            QVERIFY(AppFixture::writePicture(dir + QStringLiteral("._x.png"), QSize(20, 20),
                                             Qt::red, "png"));
        } else if (kind == QLatin1String("missing")) {
            good(12);
            set = QStringLiteral("no existe");
        } else if (kind == QLatin1String("zero")) {
            good(6);
            for (const char *ext : {"png", "jpg", "gif", "bmp", "jpeg"})
                for (int i = 0; i < 3; ++i)
                    QVERIFY(writeBytes(dir + QStringLiteral("cero%1.%2").arg(i).arg(QLatin1String(ext)),
                                       QByteArray()));
            exactly = true;
        } else if (kind == QLatin1String("truncated")) {
            good(6, "jpeg");
            const QByteArray whole = readBytes(dir + allowed.first());
            QVERIFY(whole.size() > 200);
            for (int i = 0; i < 6; ++i) {
                const QString name = QStringLiteral("cortado%1.jpg").arg(i);
                QVERIFY(writeBytes(dir + name, whole.left(whole.size() * (i + 2) / 9)));
                allowed.append(name);
            }
        } else if (kind == QLatin1String("huge")) {
            good(6);
            for (int i = 0; i < 8; ++i) {
                const QByteArray format = i % 2 ? "jpeg" : "png";
                const QByteArray bytes = forgedPicture(format, 60000, 60000);
                QVERIFY(!bytes.isEmpty());
                QVERIFY(writeBytes(dir + QStringLiteral("enorme%1.%2")
                                             .arg(i)
                                             .arg(QLatin1String(i % 2 ? "jpg" : "png")),
                                   bytes));
            }
            exactly = true;
        } else if (kind == QLatin1String("large")) {
            good(6);
            // Below the program's own size limits: read or refused by the decoder, never whole.
            for (int i = 0; i < 3; ++i) {
                const QString jpg = QStringLiteral("grande%1.jpg").arg(i);
                QVERIFY(writeBytes(dir + jpg, forgedPicture("jpeg", 16000, 16000)));
                const QString png = QStringLiteral("grande%1.png").arg(i);
                QVERIFY(writeBytes(dir + png, forgedPicture("png", 7000, 8000)));
                allowed << jpg << png;
            }
        } else if (kind == QLatin1String("shapes")) {
            // Small pictures, but as wide as their card a 1 × 4000 one would stand 250 cards tall.
            good(2);
            const QList<QSize> shapes = {{1, 4000}, {4000, 1}, {2, 3000}, {3000, 2}};
            for (const QSize &shape : shapes) {
                const QString name = QStringLiteral("forma%1x%2.png").arg(shape.width()).arg(shape.height());
                QVERIFY(AppFixture::writePicture(dir + name, shape, Qt::magenta, "png"));
                allowed.append(name);
            }
            exactly = true;
        } else if (kind == QLatin1String("dirs")) {
            good(6);
            for (const char *name : {"x.jpg", "y.png", "z.gif"}) {
                QDir().mkpath(dir + QLatin1String(name));
                QVERIFY(AppFixture::writePicture(dir + QLatin1String(name) + QStringLiteral("/d.png"),
                                                 QSize(20, 20), Qt::blue, "png"));
            }
            exactly = true;
        } else if (kind == QLatin1String("loops") || kind == QLatin1String("loopset")) {
            good(6);
            const QByteArray g = QFile::encodeName(app.path(QStringLiteral("graficos/")));
            QCOMPARE(::symlink(".", (g + "loop").constData()), 0);
            QCOMPARE(::symlink(".", (g + "s/loop").constData()), 0);
            QCOMPARE(::symlink("..", (g + "s/arriba").constData()), 0);
            QCOMPARE(::symlink("bucle.png", (g + "s/bucle.png").constData()), 0);
            QCOMPARE(::symlink("b.png", (g + "s/a.png").constData()), 0);
            QCOMPARE(::symlink("a.png", (g + "s/b.png").constData()), 0);
            QCOMPARE(::symlink("/nada/de/nada.png", (g + "s/roto.png").constData()), 0);
            if (kind == QLatin1String("loopset"))
                set = QStringLiteral("loop");
            exactly = true;
        } else if (kind == QLatin1String("unreadable")) {
            good(6);
            QDir().mkpath(dir + QStringLiteral("cerrado"));
            QVERIFY(AppFixture::writePicture(dir + QStringLiteral("cerrado/c.png"), QSize(20, 20),
                                             Qt::green, "png"));
            QVERIFY(AppFixture::writePicture(dir + QStringLiteral("cerrado.png"), QSize(20, 20),
                                             Qt::green, "png"));
            QCOMPARE(::chmod(QFile::encodeName(dir + QStringLiteral("cerrado")).constData(), 0), 0);
            QCOMPARE(::chmod(QFile::encodeName(dir + QStringLiteral("cerrado.png")).constData(), 0), 0);
            // Whoever can still read it (the superuser can) may get it dealt.
            allowed.append(QStringLiteral("cerrado.png"));
        } else if (kind == QLatin1String("names")) {
            set = QStringLiteral("mis dibujos ñ 😀");
            const QString odd = app.path(QStringLiteral("graficos/") + set + u'/');
            QDir().mkpath(odd);
            const QStringList names = {QStringLiteral("perro ñandú.png"),
                                       QStringLiteral("café con leche.jpg"),
                                       QStringLiteral("😀 cara.png"),
                                       QStringLiteral("  espacios  .png"),
                                       QStringLiteral("árbol.ÁRBOL.png"),
                                       QStringLiteral("שלום.png")};
            for (int i = 0; i < names.size(); ++i)
                QVERIFY(AppFixture::writePicture(odd + names[i], QSize(30 + i, 30),
                                                 QColor::fromHsv(i * 50, 200, 200),
                                                 names[i].endsWith(QLatin1String("jpg")) ? "jpeg" : "png"));
            // Names that are not UTF-8 at all, for a picture and for a whole set.
            const QByteArray png = readBytes(odd + names[0]);
            const QByteArray oddRaw = QFile::encodeName(odd);
            raw.files << oddRaw + "mal\xFF\xFE.png" << oddRaw + "\xC3(\xA0\xA1.png";
            const QByteArray badSet = QFile::encodeName(app.path(QStringLiteral("graficos/"))) + "set\xFF";
            QCOMPARE(::mkdir(badSet.constData(), 0755), 0);
            raw.folders << badSet;
            for (int i = 0; i < 6; ++i)
                raw.files.prepend(badSet + "/p" + QByteArray::number(i) + ".png");
            for (const QByteArray &f : std::as_const(raw.files))
                QVERIFY(writeRawName(f, png));
            allowed = names;
            exactly = true;
        } else if (kind == QLatin1String("many") || kind == QLatin1String("needles")
                   || kind == QLatin1String("toofew")) {
            // A few tiny files, hard-linked 10000 times.
            const int pictures = kind == QLatin1String("many") ? 10000
                                 : kind == QLatin1String("needles") ? 25
                                                                    : 20;
            QStringList seeds;
            for (int i = 0; i < 3; ++i) {
                seeds.append(dir + QStringLiteral(".semilla%1.png").arg(i));
                QVERIFY(AppFixture::writePicture(seeds.last(), QSize(8 + i, 8), Qt::yellow, "png"));
            }
            const QString junk = dir + QStringLiteral(".basura");
            QVERIFY(writeBytes(junk, "basura"));
            QElapsedTimer made;
            made.start();
            // Spread the pictures over the listing.
            const int stride = 10000 / pictures;
            for (int i = 0; i < 10000; ++i) {
                const bool picture = i % stride == 0 && i / stride < pictures;
                const QString name = QStringLiteral("f%1.png").arg(i, 5, 10, QChar(u'0'));
                const QString from = picture ? seeds[i % 3] : junk;
                QVERIFY(::link(QFile::encodeName(from).constData(),
                               QFile::encodeName(dir + name).constData()) == 0);
                if (picture)
                    allowed.append(name);
            }
            qInfo("10000 files made in %lld ms", qint64(made.elapsed()));
        } else {
            QFAIL("unknown kind");
        }

        const QStringList before = snapshot(app.folder());
        const qint64 rssBefore = residentBytes();
        const qint64 peakBefore = peakResidentBytes();
        QElapsedTimer clock;
        clock.start();
        Form1 *options = Runtime::Show<Form1>();
        QVERIFY(options);
        // Only folders that can be opened are offered.
        for (int i = 0; i < options->Combo1->count(); ++i)
            QVERIFY2(QFileInfo(app.path(QStringLiteral("graficos/") + options->Combo1->itemText(i)))
                         .isDir(),
                     qPrintable(options->Combo1->itemText(i)));
        if (kind == QLatin1String("names"))
            QVERIFY(options->Combo1->findText(set) >= 0);
        Form2 *board = openBoard(set, option);
        qInfo("board dealt in %lld ms", qint64(clock.elapsed()));
        // A picture claiming 60000 × 60000 pixels would need 13 GiB decoded.
        QVERIFY2(residentBytes() - rssBefore < 1024LL * 1024 * 1024,
                 "a picture's claimed size was allocated");

        if (message) {
            QVERIFY(!board);
            QCOMPARE(app.messages, QStringList{kMessage});
            QCOMPARE(app.ends, 1);
        } else {
            QVERIFY(board);
            QVERIFY(app.messages.isEmpty());
            const QSet<QString> dealt = dealtNames(board);
            QCOMPARE(dealt.size(), board->TotalPairs());
            for (const QString &name : dealt)
                QVERIFY2(allowed.contains(name), qPrintable(name));
            if (exactly && allowed.size() == board->TotalPairs())
                QCOMPARE(dealt, QSet<QString>(allowed.begin(), allowed.end()));
            for (const QString &name : board->File1.names)
                QVERIFY2(QFileInfo(board->File1.Path + u'/' + name).isFile(), qPrintable(name));
            QVERIFY(!board->grab().isNull());

            if (kind == QLatin1String("names")) {
                // Every card's name is shown as its file has it.
                for (int k = 0; k < 2 * board->TotalPairs(); ++k) {
                    if (board->game().faceUp[k])
                        continue;
                    const QString file = board->File1.List(board->CardPicture()[k].toInt());
                    for (int slot : slotsOfPicture(board, board->CardPicture()[k])) {
                        board->picture2_Click(slot);
                        QCOMPARE(board->Label2->text(), file.left(file.lastIndexOf(u'.')));
                    }
                }
            }
            finishBoard(board);
            // Every face has been decoded by now, for the cards turned.
            QVERIFY2(peakResidentBytes() - peakBefore < 512LL * 1024 * 1024,
                     qPrintable(QStringLiteral("%1 MB more at the peak")
                                    .arg((peakResidentBytes() - peakBefore) >> 20)));
            continueFromResults(board, [](Form4 *results) {
                QVERIFY(!results->Label1->text().isEmpty());
            });
            QVERIFY(app.messages.isEmpty());
        }
        if (kind == QLatin1String("unreadable"))
            QCOMPARE(::chmod(QFile::encodeName(dir + QStringLiteral("cerrado")).constData(), 0755), 0);
        QCOMPARE(snapshot(app.folder()), before);
    }

    /// A picture set that only its owner may read, chosen as the set: dealt when it can be read,
    /// the message when it cannot.
    void unreadableSetFolder()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("cerrado"), 6);
        const QByteArray dir = QFile::encodeName(app.path(QStringLiteral("graficos/cerrado")));
        QCOMPARE(::chmod(dir.constData(), 0), 0);
        const bool readable = ::access(dir.constData(), R_OK | X_OK) == 0;
        Form2 *board = openBoard(QStringLiteral("cerrado"), 0);
        if (readable) {
            finishBoard(board);
            QVERIFY(app.messages.isEmpty());
        } else {
            QVERIFY(!board);
            QCOMPARE(app.messages, QStringList{kMessage});
        }
        QCOMPARE(::chmod(dir.constData(), 0755), 0);
    }

    // ---- Sounds, with the real player on the silent driver ----

    void sounds_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no sound folder") << QStringLiteral("none");
        QTest::newRow("zero-byte WAVs") << QStringLiteral("zero");
        QTest::newRow("text named .wav") << QStringLiteral("text");
        QTest::newRow("picture named .wav") << QStringLiteral("picture");
        QTest::newRow("header claiming 64 MB") << QStringLiteral("liar");
        QTest::newRow("minute-long cues") << QStringLiteral("long");
    }

    void sounds()
    {
        QFETCH(QString, kind);
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 6);
        Platform::setSound(nullptr);
        const QString dir = app.path(QStringLiteral("sonidos/"));
        QStringList cues = {QStringLiteral("abrir"), QStringLiteral("cerrar"),
                            QStringLiteral("ganador"), QStringLiteral("empate")};
        for (int i = 1; i <= 12; ++i)
            cues.append(QString::number(i));

        QByteArray bytes;
        if (kind == QLatin1String("text")) {
            bytes = "RIFF esto no es un sonido";
        } else if (kind == QLatin1String("picture")) {
            bytes = forgedPicture("png", 10, 10);
        } else if (kind == QLatin1String("liar")) {
            // 200 bytes whose header (little-endian sizes) claims 64 MB of sound.
            bytes = wavBytes(1).left(200);
            putBigEndian(bytes, 4, 0x24000004, 4);  // RIFF size
            putBigEndian(bytes, 40, 0x00000004, 4); // data size
        } else if (kind == QLatin1String("long")) {
            bytes = wavBytes(60);
        }
        if (kind != QLatin1String("none")) {
            for (const QString &cue : cues) {
                // The sync results cue stays short: a minute-long one would hold the results.
                const QByteArray b = kind == QLatin1String("long") && (cue == QLatin1String("ganador")
                                                                      || cue == QLatin1String("empate"))
                                         ? wavBytes(0)
                                         : bytes;
                QVERIFY(writeBytes(dir + cue + QStringLiteral(".wav"), b));
            }
        }

        const QStringList before = snapshot(app.folder());
        Form2 *board = openThroughScreens(QStringLiteral("Ana"), QStringLiteral("Luis"), true,
                                          QStringLiteral("s"), 0);
        QVERIFY(board);
        // Every card, match and flip-back plays its cue without waiting for it to end: a cue held
        // to its end (or to the 15-second cap) would hold that click.
        qint64 longest = 0;
        const auto timed = [&](const std::function<void()> &action) {
            QElapsedTimer clock;
            clock.start();
            action();
            longest = qMax(longest, clock.elapsed());
        };
        const auto [a, b] = mismatchedSlots(board);
        timed([&] { board->picture2_Click(a); });
        timed([&] { board->picture2_Click(b); });
        timed([&] { board->Timer1_Timer(); });
        for (int k = 0; k < 12; ++k)
            for (int slot : slotsOfPicture(board, board->CardPicture()[k]))
                if (!board->game().faceUp[slot])
                    timed([&] { board->picture2_Click(slot); });
        QVERIFY2(longest < 5000, qPrintable(QStringLiteral("a click took %1 ms").arg(longest)));
        finishBoard(board);
        continueFromResults(board, [](Form4 *results) {
            QCOMPARE(results->Label2->text(),
                     QStringLiteral("Luis ha encontrado 6 parejas. Lleva  2 puntos"));
        });
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(snapshot(app.folder()), before);
        Platform::setSound(&app.sound);
    }

    // ---- Player names ----

    void names_data()
    {
        QTest::addColumn<QString>("name1");
        QTest::addColumn<QString>("name2");
        QString thousand;
        while (thousand.size() < 1000)
            thousand += QStringLiteral("Ñandú pequeño ");
        thousand.truncate(1000);

        QTest::newRow("1000 characters, alone") << thousand << QString();
        QTest::newRow("1000 characters, both") << thousand << thousand;
        QTest::newRow("bold markup") << QStringLiteral("<b>x</b>") << QStringLiteral("<i>y</i>");
        QTest::newRow("image markup") << QStringLiteral("<img src=x>")
                                      << QStringLiteral("<img src=\"/etc/passwd\" width=9999>");
        QTest::newRow("entities and breaks") << QStringLiteral("&amp;&lt;br&gt;<br>") << QString();
        QTest::newRow("right to left") << QStringLiteral("مرحبا بالعالم")
                                       << QStringLiteral("שלום עולם");
        QTest::newRow("direction overrides") << QStringLiteral("\u202Eolleh\u202C abc")
                                             << QStringLiteral("\u200F\u202Bx\u202C");
        QTest::newRow("emoji") << QStringLiteral("😀🃏") << QStringLiteral("👩‍👩‍👧‍👦🏳️‍🌈");
        QTest::newRow("combining marks") << QStringLiteral("Z̸̧̛a̶͔͝l̷g̵o̴") << QStringLiteral("e\u0301");
        QTest::newRow("empty first name, two players") << QString() << QStringLiteral("Luis");
    }

    void names()
    {
        QFETCH(QString, name1);
        QFETCH(QString, name2);
        const bool two = !name2.isEmpty();
        AppFixture app;
        app.useShippedLanguage();
        app.useShippedBack();
        app.makePictureSet(QStringLiteral("s"), 6);

        Form2 *board = openThroughScreens(name1, name2, two, QStringLiteral("s"), 0);
        QVERIFY(board);
        QCOMPARE(Module1::Player1Name, name1);
        QCOMPARE(Module1::Player2Name, name2);

        const QRect turn0(1435, 10, 2895, 495);
        const QRect turn1(15360 / 3 + 1100, 10, 4455, 615);
        const auto checkLabels = [&](const QString &text0, const QString &text1) {
            for (int i = 0; i < 2; ++i) {
                Label *label = board->Label1[i];
                QCOMPARE(label->textFormat(), Qt::PlainText);
                QCOMPARE(label->text(), i == 0 ? text0 : text1);
                const QRect box = i == 0 ? turn0 : turn1;
                if (i == 0 || two) {
                    QCOMPARE(Twips::geometry(label), box);
                    QCOMPARE(label->geometry(), Twips::toPixels(box));
                }
            }
        };
        QCoreApplication::processEvents();
        checkLabels(QStringLiteral("Le toca a ") + name1, two ? name2 : QString());
        QVERIFY(!board->grab().isNull());

        const auto [a, b] = mismatchedSlots(board);
        board->picture2_Click(a);
        board->picture2_Click(b);
        QCoreApplication::processEvents();
        if (two)
            checkLabels(name1, QStringLiteral("Le toca a ") + name2);
        else
            checkLabels(QStringLiteral("Le toca a ") + name1, QString());
        QVERIFY(!board->grab().isNull());
        board->Timer1_Timer();
        finishBoard(board);

        continueFromResults(board, [&](Form4 *results) {
            QCOMPARE(results->Label1->textFormat(), Qt::PlainText);
            QCOMPARE(results->Label2->textFormat(), Qt::PlainText);
            if (two) {
                QCOMPARE(results->Label1->text(),
                         name1 + QStringLiteral(" ha encontrado 0 parejas. Lleva  0 puntos"));
                QCOMPARE(results->Label2->text(),
                         name2 + QStringLiteral(" ha encontrado 6 parejas. Lleva  2 puntos"));
            } else {
                QCOMPARE(results->Label1->text(),
                         name1 + QStringLiteral(" lo ha conseguido en 7 intentos"));
            }
            QCOMPARE(Twips::geometry(results->Label1), QRect(960, 480, 5895, 1095));
            QCOMPARE(results->Label1->geometry(), Twips::toPixels(QRect(960, 480, 5895, 1095)));
            QVERIFY(!results->grab().isNull());
        });
        QVERIFY(app.messages.isEmpty());
        QCOMPARE(app.ends, 0);
    }

    /// One player without a name cannot go on; with one, the game is played.
    void emptyNameAlone()
    {
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 6);
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(title);
        title->Command1_Click();
        Form3 *players = Runtime::loaded<Form3>();
        QVERIFY(players);
        players->Command1_Click(0);
        players->Command2_Click();
        QVERIFY(!Runtime::loaded<Form1>());
        QVERIFY(Runtime::loaded<Form3>());
        players->Text1[0]->setText(QStringLiteral(" "));
        players->Command2_Click();
        QVERIFY(Runtime::loaded<Form1>());
        QCOMPARE(Module1::Player1Name, QStringLiteral(" "));
        Form2 *board = openBoard(QStringLiteral("s"), 0);
        finishBoard(board);
        QVERIFY(app.messages.isEmpty());
    }
};

QTEST_MAIN(BadInputTest)
#include "test_bad_input.moc"
