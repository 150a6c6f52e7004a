// Spoiled files and odd names, one row each of rows(): whatever the player has, the game is played
// through to its results, or the program ends with its one message "NO ENCUENTRO LOS DIBUJOS".
// Nothing crashes, hangs or waits on a cue, no face is decoded whole, nothing on disk changes.
// Each row starts from a set "s" of six good pictures, the real sound player on the silent driver.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_fixture.h"
#include "controls.h"
#include "pictures.h"
#include "thumbnail_cache.h"

namespace {

enum Gets { Game, Message };

/// What a row may change besides the files: the set and pair button chosen, the names typed.
struct Setup
{
    AppFixture &app;
    const QString dir = app.path("graficos/s/");
    QString set = "s", name1 = "Ana", name2 = {};
    int pairButton = 0;
    std::function<void()> undo = [] {}; ///< what removing the temporary folder needs first
};

struct Row
{
    const char *name;
    Gets gets;
    std::function<void(Setup &)> spoil;
};

/// A small BMP or JPEG file whose header claims width × height pixels.
QByteArray forged(const char *format, quint32 width, quint32 height)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray b;
    QBuffer buffer(&b);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    if (qstrcmp(format, "bmp") == 0) {
        qToLittleEndian(width, b.data() + 18);
        qToLittleEndian(height, b.data() + 22);
    } else { // the JPEG's frame header
        const qsizetype frame = b.indexOf("\xFF\xC0");
        qToBigEndian(quint16(height), b.data() + frame + 5);
        qToBigEndian(quint16(width), b.data() + frame + 7);
    }
    return b;
}

bool makeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path), 0600) == 0;
}

const QList<Row> &rows()
{
    static QList<Row> all;
    if (!all.isEmpty())
        return all;
    const auto row = [](const char *name, Gets gets, std::function<void(Setup &)> spoil) {
        all.append({name, gets, std::move(spoil)});
    };
    // idioma/idioma.txt
    row("language file empty", Game, [](Setup &s) { s.app.writeLanguage({}); });
    row("a 10 MB first line, then the rest", Game, [](Setup &s) {
        const QByteArray shipped = readFile(s.app.path("idioma/idioma.txt"));
        s.app.writeLanguage(QByteArray(10 << 20, 'B') + shipped.mid(shipped.indexOf('\n')));
    });
    row("a 1 TB language file without a line end", Game, [](Setup &s) {
        QFile f(s.app.path("idioma/idioma.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.resize(1LL << 40));
    });
    row("language file a link to /dev/zero, card back a pipe", Game, [](Setup &s) {
        const QString language = s.app.path("idioma/idioma.txt");
        QVERIFY(QFile::remove(language) && QFile::link("/dev/zero", language));
        QVERIFY(makeFifo(s.app.path("fondo.jpg")));
    });
    row("language file a pipe", Game, [](Setup &s) {
        QVERIFY(QFile::remove(s.app.path("idioma/idioma.txt")));
        QVERIFY(makeFifo(s.app.path("idioma/idioma.txt")));
    });
    // graficos/s
    row("the set folder empty", Message,
        [](Setup &s) { QVERIFY(QDir(s.dir).removeRecursively() && QDir().mkdir(s.dir)); });
    row("a set that does not exist", Message, [](Setup &s) { s.set = "no existe"; });
    row("four pictures, the rest hidden or junk, for six pairs", Message, [](Setup &s) {
        QFile::rename(s.dir + "dibujo04.png", s.dir + ".dibujo04.png");
        QFile::rename(s.dir + "dibujo05.png", s.dir + "._dibujo05.png");
        for (const char *junk : {"Thumbs.db", "desktop.ini", "texto.jpg", "roto.gif"})
            writeFile(s.dir + junk, "GIF89a no es un dibujo");
    });
    row("empty, cut and huge pictures, extreme shapes", Game, [](Setup &s) {
        const QByteArray whole = readFile(s.dir + "dibujo00.png");
        for (int i = 0; i < 4; ++i)
            writeFile(s.dir + QString("cortado%1.png").arg(i), whole.left(whole.size() * i / 4));
        const std::tuple<const char *, const char *, int, int> forgeries[] = {
            {"enorme.bmp", "bmp", 60000, 60000},
            {"enorme.jpg", "jpeg", 60000, 60000},
            {"grande.bmp", "bmp", 7000, 8000},
            {"grande.jpg", "jpeg", 16000, 16000}};
        for (const auto &[name, format, width, height] : forgeries)
            writeFile(s.dir + name, forged(format, width, height));
        AppFixture::writePicture(s.dir + "alta.png", {1, 4000});
        AppFixture::writePicture(s.dir + "ancha.png", {4000, 1});
    });
    row("folders named like pictures, link loops, dangling links", Game, [](Setup &s) {
        AppFixture::writePicture(s.dir + "x.png/d.png", {20, 20});
        const char *links[][2] = {{".", "bucle"},
                                  {"bucle.png", "bucle.png"},
                                  {"b.png", "a.png"},
                                  {"a.png", "b.png"},
                                  {"/nada", "roto.png"}};
        for (auto [target, name] : links)
            QFile::link(target, s.dir + name);
    });
    row("pictures that are pipes or a link to /dev/zero", Game, [](Setup &s) {
        for (int i = 0; i < 10; ++i)
            QVERIFY(makeFifo(s.dir + QString("tubo%1.png").arg(i)));
        QFile::link("/dev/zero", s.dir + "cero.png");
    });
    row("a link into /proc chosen as the set", Message,
        [](Setup &s) { QFile::link("/proc", s.app.path("graficos/proc")), s.set = "proc"; });
    row("a link loop chosen as the set", Message,
        [](Setup &s) { QFile::link(".", s.app.path("graficos/bucle")), s.set = "bucle"; });
    // The superuser reads it all the same.
    row("the set folder unreadable", ::geteuid() == 0 ? Game : Message, [](Setup &s) {
        ::chmod(QFile::encodeName(s.dir), 0);
        s.undo = [d = s.dir] { ::chmod(QFile::encodeName(d), 0755); };
    });
    row("names not UTF-8, emoji, right to left", Game, [](Setup &s) {
        s.set = "mis dibujos ñ 😀";
        const QString dir = s.app.path("graficos/" + s.set + "/");
        for (const char *name :
             {"perro ñandú", "😀 cara", "  espacios  ", "árbol.ÁRBOL", "שלום", "a.b.c"})
            AppFixture::writePicture(dir + name + ".png", {30, 30});
        const QByteArray raw = QFile::encodeName(dir) + "mal\xFF.png";
        ::close(::open(raw, O_CREAT | O_WRONLY, 0644));
        s.undo = [raw] { ::unlink(raw); };
    });
    row("10000 files, 25 of them pictures, for 21 pairs", Game, [](Setup &s) {
        s.pairButton = 4;
        writeFile(s.dir + ".basura", "basura");
        for (int i = 0; i < 10000; ++i) {
            const QString from = i % 400 ? ".basura" : QString("dibujo0%1.png").arg(i / 400 % 6);
            const QString to = QString("f%1.png").arg(i, 5, 10, QChar('0'));
            ::link(QFile::encodeName(s.dir + from), QFile::encodeName(s.dir + to));
        }
    });
    row("the card back not a picture", Game,
        [](Setup &s) { writeFile(s.app.path("fondo.jpg"), "no"); });
    // sonidos
    row("cues that lie, are text, empty or a picture", Game, [](Setup &s) {
        QByteArray liar = AppFixture::wav(1).left(200);
        qToLittleEndian<quint32>(64 << 20, liar.data() + 40);
        writeFile(s.app.path("sonidos/abrir.wav"), liar);
        writeFile(s.app.path("sonidos/cerrar.wav"), "RIFF no");
        for (int i = 1; i <= 12; ++i)
            writeFile(s.app.path(QString("sonidos/%1.wav").arg(i)), {});
        writeFile(s.app.path("sonidos/ganador.wav"), forged("bmp", 10, 10));
    });
    // the desktop's thumbnail cache, stamped for the pictures
    row("thumbnails cut, too large, of another shape, claiming 60000 x 60000, 1 TB", Game,
        [](Setup &s) {
            const QImage green(s.dir + "dibujo00.png");
            const std::function<QByteArray(QByteArray)> spoils[] = {
                [](QByteArray b) { return b.chopped(40); },
                [](QByteArray b) {
                    return qToBigEndian<quint64>(60000ULL * 0x100000001ULL, b.data() + 16), b;
                }};
            for (int i = 0; i < 6; ++i) {
                const QString picture = s.dir + QString("dibujo%1.png").arg(i, 2, 10, QChar('0'));
                writeThumbnail(picture, "normal", green.scaled(200, 150));
                writeThumbnail(picture, "large", green.scaled(36, 36));
                writeThumbnail(picture, "x-large", green, 0, spoils[i % 2]);
                QFile(writeThumbnail(picture, "xx-large", green)).resize(1LL << 40);
            }
        });
    // names typed
    row("a thousand characters and markup, two players", Game, [](Setup &s) {
        s.name1 = "<img src=x><b>" + QString(1000, u'ñ');
        s.name2 = "שלום 😀 \u202Eolleh";
    });
    return all;
}

qint64 peakResidentBytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT
private slots:
    void spoiled_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < rows().size(); ++i)
            QTest::newRow(rows()[i].name) << i;
    }
    void spoiled()
    {
        QFETCH(int, row);
        AppFixture app;
        Sound::setPlayer(nullptr); // the real player, on the silent driver
        app.makePictureSet("s", 6);
        Setup s{app};
        rows()[row].spoil(s);
        const QStringList before = snapshot(app.path({}));
        const qint64 peak = peakResidentBytes();

        Form2 *board = openBoard(s.name1, s.name2, s.pairButton, s.set);
        if (rows()[row].gets == Message) {
            QVERIFY(!board);
            QCOMPARE(app.messages, QStringList{"NO ENCUENTRO LOS DIBUJOS"});
            QCOMPARE(app.ends, 1);
        } else {
            QVERIFY(board);
            for (int k = 0; k < 2 * board->TotalPairs(); ++k) {
                const QString name = board->File1.List(board->pictureOf(k));
                QVERIFY2(!name.startsWith(u'.')
                             && Pictures::naturalSize(board->File1.Path + u'/' + name).isValid(),
                         qPrintable(name));
            }
            const QDeadlineTimer clicks(10000);
            const auto [a, b] = mismatchedSlots(board);
            QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
            QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
            board->Timer1_Timer();
            finishGame(board, [&](Form4 *results) {
                QVERIFY2(!clicks.hasExpired(), "a cue held a click");
                QVERIFY(results->Label1->text().startsWith(s.name1 + u' '));
                for (Form *f : Runtime::loadedForms())
                    for (const Label *label : f->findChildren<Label *>())
                        QCOMPARE(label->textFormat(), Qt::PlainText);
            });
            QVERIFY(Runtime::loaded<Form1>() && !Runtime::loaded<Form2>() && app.messages.isEmpty()
                    && !app.ends);
        }
        QVERIFY2(peakResidentBytes() - peak < 512LL << 20, "a picture was decoded whole");
        QCOMPARE(snapshot(app.path({})), before);
        s.undo();
    }
};

QTEST_MAIN(BadInputTest)
#include "test_bad_input.moc"
