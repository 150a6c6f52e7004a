// Spoiled files and odd names, one row each: whatever the player has, the game is played through
// to its results, or the program ends with its one message "NO ENCUENTRO LOS DIBUJOS". Nothing
// crashes, hangs or waits on a cue, no face is decoded whole, and nothing on disk changes.
//
// To add a case, add a row to rows(): what it spoils, how, and what the player must get. The set
// "s" starts with six good pictures beside the shipped language file, the real sound player runs
// on the silent driver, and there are no sounds and no card back.
#include <QtTest>

#include <QDirIterator>
#include <QRandomGenerator>
#include <QtEndian>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app_fixture.h"
#include "board_screen.h"
#include "controls.h"
#include "options_screen.h"
#include "pictures.h"
#include "platform.h"
#include "results_screen.h"

namespace {

enum class Gets { Game, Message };

/// What a row may change besides the files: the set and pair button chosen, the names typed.
struct Setup {
    AppFixture &app;
    const QString dir; ///< graficos/s/
    QString set = QStringLiteral("s");
    int pairButton = 0;
    QString name1 = QStringLiteral("Ana"), name2;
    std::function<void()> undo = [] {}; ///< what removing the temporary folder needs first
};

struct Row {
    const char *name;
    std::function<void(Setup &)> spoil;
    Gets gets;
};

bool write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// A small picture whose header claims width × height pixels (a PNG's checksum mended).
QByteArray forged(const char *format, quint32 width, quint32 height) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray b;
    QBuffer buffer(&b);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    if (qstrcmp(format, "png") != 0) {
        const qsizetype frame = b.indexOf("\xFF\xC0");
        qToBigEndian(quint16(height), b.data() + frame + 5);
        qToBigEndian(quint16(width), b.data() + frame + 7);
        return b;
    }
    qToBigEndian(width, b.data() + 16);
    qToBigEndian(height, b.data() + 20);
    quint32 crc = 0xFFFFFFFFu;
    for (char c : b.mid(12, 17)) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    qToBigEndian(~crc, b.data() + 29);
    return b;
}

const QList<Row> &rows() {
    using G = Gets;
    static const QList<Row> table = {
        // idioma/idioma.txt
        {"language file missing", [](Setup &s) { QFile::remove(s.app.path("idioma/idioma.txt")); },
         G::Game},
        {"language file empty", [](Setup &s) { s.app.writeLanguage({}); }, G::Game},
        {"a 10 MB first line, then the rest",
         [](Setup &s) {
             const QByteArray shipped = bytesOf(s.app.path("idioma/idioma.txt"));
             s.app.writeLanguage(QByteArray(10 << 20, 'B') + shipped.mid(shipped.indexOf('\n')));
         },
         G::Game},
        {"random bytes",
         [](Setup &s) {
             QList<quint32> noise(16384);
             QRandomGenerator(7).fillRange(noise.data(), noise.size());
             s.app.writeLanguage(QByteArray(reinterpret_cast<const char *>(noise.data()), 65536));
         },
         G::Game},
        {"markup and NUL in every line",
         [](Setup &s) {
             s.app.writeLanguage(
                 QByteArray("<b>x</b><img src=\"/etc/passwd\">\0y\r\n", 36).repeated(20));
         },
         G::Game},
        // graficos/s
        {"the set folder empty",
         [](Setup &s) {
             for (const QString &name : QDir(s.dir).entryList(QDir::Files))
                 QFile::remove(s.dir + name);
         },
         G::Message},
        {"a set that does not exist", [](Setup &s) { s.set = QStringLiteral("no existe"); },
         G::Message},
        {"four pictures, the rest hidden or junk, for six pairs",
         [](Setup &s) {
             QFile::rename(s.dir + "dibujo04.png", s.dir + ".dibujo04.png");
             QFile::rename(s.dir + "dibujo05.png", s.dir + "._dibujo05.png");
             for (const char *junk :
                  {"Thumbs.db", "desktop.ini", "texto.jpg", "vacio.png", "roto.gif"})
                 write(s.dir + junk, qstrcmp(junk, "vacio.png") ? "GIF89a no es un dibujo" : "");
         },
         G::Message},
        {"zero-byte and cut pictures among the good",
         [](Setup &s) {
             const QByteArray whole = bytesOf(s.dir + "dibujo00.png");
             for (int i = 0; i < 5; ++i)
                 write(s.dir + QStringLiteral("cortado%1.png").arg(i),
                       whole.left(whole.size() * i / 5));
         },
         G::Game},
        {"headers claiming 60000 × 60000 pixels",
         [](Setup &s) {
             for (int i = 0; i < 3; ++i) {
                 write(s.dir + QStringLiteral("enorme%1.png").arg(i), forged("png", 60000, 60000));
                 write(s.dir + QStringLiteral("enorme%1.jpg").arg(i), forged("jpeg", 60000, 60000));
             }
         },
         G::Game},
        {"headers just inside the size limits",
         [](Setup &s) {
             for (int i = 0; i < 3; ++i) {
                 write(s.dir + QStringLiteral("grande%1.png").arg(i), forged("png", 7000, 8000));
                 write(s.dir + QStringLiteral("grande%1.jpg").arg(i), forged("jpeg", 16000, 16000));
             }
         },
         G::Game},
        {"pictures of extreme shapes, 1 × 4000",
         [](Setup &s) {
             for (int i = 2; i < 6; ++i)
                 QFile::remove(s.dir + QStringLiteral("dibujo0%1.png").arg(i));
             for (const QSize &shape :
                  {QSize(1, 4000), QSize(4000, 1), QSize(2, 3000), QSize(3000, 2)})
                 AppFixture::writePicture(
                     s.dir +
                         QStringLiteral("forma%1x%2.png").arg(shape.width()).arg(shape.height()),
                     shape);
         },
         G::Game},
        {"folders named like pictures, link loops, dangling links",
         [](Setup &s) {
             AppFixture::writePicture(s.dir + "x.png/d.png", QSize(20, 20));
             for (const auto &[target, name] : {std::pair{".", "bucle"},
                                                {"bucle.png", "bucle.png"},
                                                {"b.png", "a.png"},
                                                {"a.png", "b.png"},
                                                {"/nada/de/nada.png", "roto.png"}})
                 QFile::link(target, s.dir + name);
         },
         G::Game},
        {"a link loop chosen as the set",
         [](Setup &s) {
             QFile::link(".", s.app.path("graficos/bucle"));
             s.set = QStringLiteral("bucle");
         },
         G::Message},
        {"the set folder unreadable",
         [](Setup &s) {
             ::chmod(QFile::encodeName(s.dir).constData(), 0);
             s.undo = [d = s.dir] { ::chmod(QFile::encodeName(d).constData(), 0755); };
         },
         ::geteuid() == 0 ? G::Game : G::Message}, // the superuser reads it all the same
        {"names not UTF-8, emoji, right to left",
         [](Setup &s) {
             s.set = QStringLiteral("mis dibujos ñ 😀");
             const QString odd = s.app.path("graficos/" + s.set + '/');
             QDir().mkpath(odd);
             for (const char *name : {"perro ñandú.png", "😀 cara.png", "  espacios  .png",
                                      "árbol.ÁRBOL.png", "שלום.png", "café con leche.png"})
                 AppFixture::writePicture(odd + QString::fromUtf8(name), QSize(30, 30));
             const QByteArray raw = QFile::encodeName(odd) + "mal\xFF\xFE.png";
             ::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644));
             s.undo = [raw] { ::unlink(raw.constData()); };
         },
         G::Game},
        {"10000 files, 25 of them pictures, for 21 pairs",
         [](Setup &s) {
             s.pairButton = 4;
             write(s.dir + ".basura", "basura");
             for (int i = 0; i < 10000; ++i)
                 ::link(
                     QFile::encodeName(
                         s.dir +
                         (i % 400 ? ".basura" : QStringLiteral("dibujo0%1.png").arg(i / 400 % 6)))
                         .constData(),
                     QFile::encodeName(s.dir + QStringLiteral("f%1.png").arg(i, 5, 10, QChar(u'0')))
                         .constData());
         },
         G::Game},
        {"the card back not a picture", [](Setup &s) { write(s.app.path("fondo.jpg"), "no"); },
         G::Game},
        // sonidos
        {"cues that lie, are text, empty or a picture",
         [](Setup &s) {
             QByteArray liar = AppFixture::wav(1).left(200);
             qToLittleEndian<quint32>(64 << 20, liar.data() + 40);
             write(s.app.path("sonidos/abrir.wav"), liar);
             write(s.app.path("sonidos/cerrar.wav"), "RIFF no");
             for (int i = 1; i <= 12; ++i)
                 write(s.app.path(QStringLiteral("sonidos/%1.wav").arg(i)), {});
             write(s.app.path("sonidos/ganador.wav"), forged("png", 10, 10));
         },
         G::Game},
        {"twenty-second cues for every click",
         [](Setup &s) {
             write(s.app.path("sonidos/abrir.wav"), AppFixture::wav(20));
             for (int i = 0; i <= 12; ++i)
                 QFile::link("abrir.wav", s.app.path(i ? QStringLiteral("sonidos/%1.wav").arg(i)
                                                       : "sonidos/cerrar.wav"));
         },
         G::Game},
        // names typed
        {"a thousand characters and markup, two players",
         [](Setup &s) {
             s.name1 = "<img src=x><b>" + QString(1000, u'ñ');
             s.name2 = QStringLiteral("שלום 😀 \u202Eolleh");
         },
         G::Game},
    };
    return table;
}

/// Everything under a folder: path, kind, size and time; links listed, not followed.
QStringList snapshot(const QString &root) {
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo fi = it.nextFileInfo();
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(fi.filePath())
                   .arg(fi.isSymLink() ? QString("link")
                        : fi.isDir()   ? "dir"
                                       : "file")
                   .arg(fi.isSymLink() ? 0 : fi.size())
                   .arg(fi.isSymLink() ? 0 : fi.lastModified().toMSecsSinceEpoch());
    }
    out.sort();
    return out;
}

qint64 peakResidentBytes() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

} // namespace

class BadInputTest : public QObject {
    Q_OBJECT

private slots:
    void spoiled_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < rows().size(); ++i)
            QTest::newRow(rows()[i].name) << i;
    }
    void spoiled() {
        QFETCH(int, row);
        AppFixture app;
        Platform::setSound(nullptr);
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 6);
        Setup s{app,
                app.path(QStringLiteral("graficos/s/")),
                QStringLiteral("s"),
                0,
                QStringLiteral("Ana"),
                {}};
        rows()[row].spoil(s);
        const QStringList before = snapshot(app.path({}));
        const qint64 peak = peakResidentBytes();

        Form2 *board = openBoard(s.name1, s.name2, s.pairButton, s.set);
        if (rows()[row].gets == Gets::Message) {
            QVERIFY(!board);
            QCOMPARE(app.messages, QStringList{QStringLiteral("NO ENCUENTRO LOS DIBUJOS")});
            QCOMPARE(app.ends, 1);
        } else {
            QVERIFY(board);
            for (int k = 0; k < 2 * board->TotalPairs(); ++k) {
                const QString name = board->File1.List(board->CardPicture()[k].toInt());
                QVERIFY2(!name.startsWith(u'.') &&
                             Pictures::naturalSize(board->File1.Path + u'/' + name).isValid(),
                         qPrintable(name));
            }
            QElapsedTimer clicks;
            clicks.start();
            const auto [a, b] = mismatchedSlots(board);
            QTest::mouseClick(board->Picture2[a], Qt::LeftButton);
            QTest::mouseClick(board->Picture2[b], Qt::LeftButton);
            board->Timer1_Timer();
            finishGame(board, [&](Form4 *results) {
                QVERIFY2(clicks.elapsed() < 10000, "a cue held a click");
                QVERIFY(results->Label1->text().startsWith(s.name1 + u' '));
                for (Form *f : Runtime::loadedForms())
                    for (const Label *label : f->findChildren<Label *>())
                        QCOMPARE(label->textFormat(), Qt::PlainText);
            });
            QVERIFY(Runtime::loaded<Form1>() && !Runtime::loaded<Form2>());
            QVERIFY(app.messages.isEmpty());
            QCOMPARE(app.ends, 0);
        }
        QVERIFY2(peakResidentBytes() - peak < 512LL << 20, "a picture was decoded whole");
        QCOMPARE(snapshot(app.path({})), before);
        s.undo();
    }
};

QTEST_MAIN(BadInputTest)
#include "test_bad_input.moc"
