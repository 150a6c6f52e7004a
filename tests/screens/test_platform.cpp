// The platform layer: twips, colours, application paths, folder listings, picture headers and the
// runtime that loads, shows and unloads the screens.
#include <QtTest>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <functional>
#include <unistd.h>

#include "app_fixture.h"
#include "colours_fonts.h"
#include "files.h"
#include "form.h"
#include "pictures.h"
#include "platform.h"
#include "twips.h"

namespace {

// ---------------------------------------------------------------------------------------------
// Screens for the runtime tests: they count their load and unload handlers.

struct Handlers
{
    int loads = 0;
    int unloads = 0;
};

class FormA : public Form
{
public:
    static inline Handlers calls;
    /// Runs inside Form_Load when set.
    static inline std::function<void(FormA *)> onLoad;

protected:
    void Form_Load() override
    {
        ++calls.loads;
        if (onLoad)
            onLoad(this);
    }
    void Form_Unload() override { ++calls.unloads; }
};

class FormB : public Form
{
public:
    static inline Handlers calls;

protected:
    void Form_Load() override { ++calls.loads; }
    void Form_Unload() override { ++calls.unloads; }
};

void resetHandlers()
{
    FormA::calls = {};
    FormA::onLoad = {};
    FormB::calls = {};
}

// ---------------------------------------------------------------------------------------------
// Hand-made picture files.

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char ch : bytes) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBigEndian32(QByteArray &out, quint32 v)
{
    out.append(char(v >> 24)).append(char(v >> 16)).append(char(v >> 8)).append(char(v));
}

QByteArray pngChunk(const QByteArray &type, const QByteArray &data)
{
    QByteArray chunk;
    appendBigEndian32(chunk, quint32(data.size()));
    chunk += type + data;
    appendBigEndian32(chunk, crc32(type + data));
    return chunk;
}

/// An RGB PNG whose header claims width × height; its pixel data is that of a small black
/// picture of `dataRows` rows, enough for a header reader.
QByteArray forgedPng(quint32 width, quint32 height, int dataRows, int dataWidth)
{
    QByteArray ihdr;
    appendBigEndian32(ihdr, width);
    appendBigEndian32(ihdr, height);
    ihdr += QByteArray("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, progressive
    const QByteArray rows(dataRows * (1 + 3 * dataWidth), '\0');
    const QByteArray zlib = qCompress(rows).mid(4); // qCompress puts the length before the stream
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", zlib)
           + pngChunk("IEND", QByteArray());
}

QByteArray jpegBytes(const QImage &image, int quality = 90)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

/// A JPEG's bytes with its frame header (SOF0) claiming another size.
QByteArray withFrameSize(QByteArray jpeg, quint16 width, quint16 height)
{
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width);
    return jpeg;
}

/// An APP1 segment holding an EXIF block with a single entry: Orientation (0x0112), SHORT.
QByteArray exifOrientationSegment(quint16 orientation, bool bigEndian)
{
    auto u16 = [bigEndian](quint16 v) {
        QByteArray b;
        b.append(char(v >> 8)).append(char(v));
        if (!bigEndian)
            std::reverse(b.begin(), b.end());
        return b;
    };
    auto u32 = [bigEndian](quint32 v) {
        QByteArray b;
        appendBigEndian32(b, v);
        if (!bigEndian)
            std::reverse(b.begin(), b.end());
        return b;
    };
    QByteArray tiff = bigEndian ? QByteArray("MM", 2) : QByteArray("II", 2);
    tiff += u16(42) + u32(8);               // magic, first IFD right after the header
    tiff += u16(1);                          // one entry
    tiff += u16(0x0112) + u16(3) + u32(1);   // Orientation, SHORT, one value
    tiff += u16(orientation) + u16(0);       // the value, left-justified in four bytes
    tiff += u32(0);                          // no next IFD
    const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment("\xFF\xE1", 2);
    segment.append(char(length >> 8)).append(char(length));
    return segment + payload;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool isRed(QRgb c) { return qRed(c) > 180 && qBlue(c) < 90 && qGreen(c) < 90; }
bool isBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 90 && qGreen(c) < 90; }

/// Which half of the image is red, the opposite one blue: "top", "bottom", "left", "right", or
/// "none" when no half is cleanly red against a blue one.
QString redSide(const QImage &image)
{
    const int w = image.width(), h = image.height();
    const QRgb top = image.pixel(w / 2, h / 4), bottom = image.pixel(w / 2, 3 * h / 4);
    const QRgb left = image.pixel(w / 4, h / 2), right = image.pixel(3 * w / 4, h / 2);
    if (isRed(top) && isBlue(bottom))
        return QStringLiteral("top");
    if (isRed(bottom) && isBlue(top))
        return QStringLiteral("bottom");
    if (isRed(left) && isBlue(right))
        return QStringLiteral("left");
    if (isRed(right) && isBlue(left))
        return QStringLiteral("right");
    return QStringLiteral("none");
}

} // namespace

class PlatformTest : public QObject
{
    Q_OBJECT

private slots:
    // ---- twips and colours ------------------------------------------------------------------

    void touchingRectanglesStayTouching_data()
    {
        QTest::addColumn<QRect>("first");
        QTest::newRow("card slots") << QRect(360, 360, 1215, 1095);
        QTest::newRow("sub-pixel widths") << QRect(7, 7, 7, 7);
        QTest::newRow("odd origin") << QRect(1441, 1439, 22, 23);
        QTest::newRow("negative top") << QRect(-7, -120, 8, 127);
        QTest::newRow("window sizes") << QRect(0, 0, 7530, 6945);
        QTest::newRow("thirds of a pixel") << QRect(5, 10, 5, 5);
    }
    void touchingRectanglesStayTouching()
    {
        QFETCH(QRect, first);
        const int right = first.x() + first.width();
        const int bottom = first.y() + first.height();
        // The neighbour to the right and the one below, each with odd sizes of its own.
        const QRect east(right, first.y(), 37, first.height());
        const QRect south(first.x(), bottom, first.width(), 52);
        const QRect a = Twips::toPixels(first);
        const QRect e = Twips::toPixels(east);
        const QRect s = Twips::toPixels(south);
        QCOMPARE(a.x() + a.width(), e.x());
        QCOMPARE(a.y() + a.height(), s.y());
        QCOMPARE(e.y(), a.y());
        QCOMPARE(s.x(), a.x());
        // Three rectangles in a row cover exactly what one spanning them covers.
        const QRect third(right + 37, first.y(), 29, first.height());
        const QRect whole(first.x(), first.y(), first.width() + 37 + 29, first.height());
        QCOMPARE(a.x() + a.width() + e.width() + Twips::toPixels(third).width(),
                 Twips::toPixels(whole).x() + Twips::toPixels(whole).width());
    }

    void geometryReadsBackExactly_data()
    {
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<int>("newLeft");
        QTest::addColumn<int>("newTop");
        QTest::newRow("card slot") << QRect(360, 360, 1215, 1095) << 1441 << 7;
        QTest::newRow("label above the top") << QRect(5760, -120, 4455, 615) << 5761 << -121;
        QTest::newRow("odd values") << QRect(7, 13, 1, 29) << 1 << 3;
        QTest::newRow("negative both") << QRect(-121, -1, 16, 14) << -8 << -7;
        QTest::newRow("empty size") << QRect(100, 100, 0, 0) << 99 << 101;
    }
    void geometryReadsBackExactly()
    {
        QFETCH(QRect, twips);
        QFETCH(int, newLeft);
        QFETCH(int, newTop);
        QWidget parent;
        parent.resize(400, 300);
        auto *w = new QWidget(&parent);

        Twips::setGeometry(w, twips.x(), twips.y(), twips.width(), twips.height());
        QCOMPARE(Twips::geometry(w), twips);
        QCOMPARE(w->geometry(), Twips::toPixels(twips));
        QCOMPARE(Twips::left(w), twips.x());
        QCOMPARE(Twips::top(w), twips.y());
        QCOMPARE(Twips::width(w), twips.width());
        QCOMPARE(Twips::height(w), twips.height());

        Twips::setLeft(w, newLeft);
        QCOMPARE(Twips::geometry(w), QRect(newLeft, twips.y(), twips.width(), twips.height()));
        Twips::setTop(w, newTop);
        QCOMPARE(Twips::geometry(w), QRect(newLeft, newTop, twips.width(), twips.height()));
        Twips::setWidth(w, twips.width() + 7);
        Twips::setHeight(w, twips.height() + 8);
        const QRect moved(newLeft, newTop, twips.width() + 7, twips.height() + 8);
        QCOMPARE(Twips::geometry(w), moved);
        QCOMPARE(w->geometry(), Twips::toPixels(moved));

        // The other overload keeps values the same way.
        Twips::setGeometry(w, twips);
        QCOMPARE(Twips::geometry(w), twips);
    }

    void colourValues_data()
    {
        QTest::addColumn<quint32>("bgr");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("blue") << quint32(0x00FF0000) << QColor(0, 0, 255);
        QTest::newRow("orange") << quint32(0x000080FF) << QColor(255, 128, 0);
        QTest::newRow("green") << quint32(0x0000FF00) << QColor(0, 255, 0);
        QTest::newRow("red") << quint32(0x000000FF) << QColor(255, 0, 0);
        QTest::newRow("pale") << quint32(0x00C0E0FF) << QColor(255, 224, 192);
    }
    void colourValues()
    {
        QFETCH(quint32, bgr);
        QFETCH(QColor, colour);
        QCOMPARE(bgrColour(bgr), colour);
    }

    // ---- application folder -----------------------------------------------------------------

    void appPaths_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expectedFolder");
        QTest::addColumn<QString>("expectedPath");
        const QString base = QStringLiteral("/tmp/trabel-app");
        QTest::newRow("language file") << base << QStringLiteral("\\idioma\\idioma.txt") << base
                                       << base + QStringLiteral("/idioma/idioma.txt");
        QTest::newRow("trailing separator")
            << base + u'/' << QStringLiteral("\\idioma\\idioma.txt") << base
            << base + QStringLiteral("/idioma/idioma.txt");
        QTest::newRow("two trailing separators")
            << base + QStringLiteral("//") << QStringLiteral("\\sonidos\\abrir.wav") << base
            << base + QStringLiteral("/sonidos/abrir.wav");
        QTest::newRow("folder with a blank")
            << QStringLiteral("/tmp/mis juegos/trabel/") << QStringLiteral("\\graficos\\")
            << QStringLiteral("/tmp/mis juegos/trabel")
            << QStringLiteral("/tmp/mis juegos/trabel/graficos/");
    }
    void appPaths()
    {
        QFETCH(QString, folder);
        QFETCH(QString, relative);
        QFETCH(QString, expectedFolder);
        QFETCH(QString, expectedPath);
        Platform::setAppFolder(folder);
        QCOMPARE(Platform::appFolder(), expectedFolder);
        QCOMPARE(Platform::appPath(relative), expectedPath);
        Platform::setAppFolder(QString());
    }

    // ---- files and folders ------------------------------------------------------------------

    void folderListings_data()
    {
        QTest::addColumn<QString>("which"); // the folder listed, inside the temporary folder
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::newRow("mixed") << QStringLiteral("mixta")
                               << QStringList{QStringLiteral("alfa"), QStringLiteral("beta.gif"),
                                              QStringLiteral("gamma")}
                               << QStringList{QStringLiteral("ardilla.png"),
                                              QStringLiteral("burro.gif"), QStringLiteral("zorro")};
        QTest::newRow("only hidden entries") << QStringLiteral("oculta") << QStringList()
                                             << QStringList();
        QTest::newRow("empty") << QStringLiteral("vacia") << QStringList() << QStringList();
        QTest::newRow("missing") << QStringLiteral("no-existe") << QStringList() << QStringList();
        QTest::newRow("a file, not a folder")
            << QStringLiteral("mixta/burro.gif") << QStringList() << QStringList();
        QTest::newRow("unreadable") << QStringLiteral("cerrada") << QStringList() << QStringList();
    }
    void folderListings()
    {
        QFETCH(QString, which);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QDir root(tmp.path());
        // Created out of order, each kind with hidden companions.
        for (const char *d : {"mixta/gamma", "mixta/alfa", "mixta/beta.gif", "mixta/.oculta",
                              "oculta/.carpeta", "vacia", "cerrada/dentro"})
            QVERIFY(root.mkpath(QString::fromLatin1(d)));
        for (const char *f : {"mixta/zorro", "mixta/burro.gif", "mixta/ardilla.png",
                              "mixta/.escondido.png", "oculta/.nada.gif", "cerrada/x.gif"})
            QVERIFY(writeFile(root.filePath(QString::fromLatin1(f)), "x"));
        if (which == QLatin1String("cerrada")) {
            if (geteuid() == 0)
                QSKIP("the super-user reads every folder");
            QVERIFY(QFile::setPermissions(root.filePath(which), QFileDevice::Permissions()));
        }

        const QString folder = root.filePath(which);
        QStringList expectedFolders;
        for (const QString &name : folders)
            expectedFolders.append(folder + u'/' + name);
        const QStringList gotFolders = Files::subFolders(folder);
        const QStringList gotFiles = Files::fileNames(folder);
        if (which == QLatin1String("cerrada"))
            QFile::setPermissions(root.filePath(which), QFileDevice::ReadOwner
                                      | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(gotFolders, expectedFolders);
        QCOMPARE(gotFiles, files);
    }

    void lookUpDirectory_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("found");
        QTest::newRow("empty folder") << QStringLiteral("empty folder") << true;
        QTest::newRow("folder with pictures") << QStringLiteral("full folder") << true;
        QTest::newRow("nothing there") << QStringLiteral("missing") << false;
        QTest::newRow("a file named graficos") << QStringLiteral("file") << false;
    }
    void lookUpDirectory()
    {
        QFETCH(QString, setup);
        QFETCH(bool, found);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString graficos = tmp.filePath(QStringLiteral("graficos"));
        if (setup == QLatin1String("empty folder") || setup == QLatin1String("full folder"))
            QVERIFY(QDir().mkdir(graficos));
        if (setup == QLatin1String("full folder"))
            QVERIFY(writeFile(graficos + QStringLiteral("/1.gif"), "GIF89a"));
        if (setup == QLatin1String("file"))
            QVERIFY(writeFile(graficos, "not a folder"));

        const QString result = Files::lookUpDirectory(tmp.path() + QStringLiteral("\\graficos\\"));
        QCOMPARE(!result.isEmpty(), found);
    }

    void makeFolder()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString target = tmp.path() + QStringLiteral("\\graficos\\");
        QVERIFY(Files::makeFolder(target));
        QVERIFY(QFileInfo(tmp.filePath(QStringLiteral("graficos"))).isDir());
        QVERIFY(!Files::lookUpDirectory(target).isEmpty());
        QVERIFY(!Files::makeFolder(target)); // already there
        QVERIFY(!Files::makeFolder(tmp.path() + QStringLiteral("\\no\\existe\\"))); // no parent
    }

    void moveFile_data()
    {
        QTest::addColumn<bool>("sourceThere");
        QTest::addColumn<bool>("targetThere");
        QTest::addColumn<bool>("moved");
        QTest::newRow("to another folder") << true << false << true;
        QTest::newRow("target already there") << true << true << false;
        QTest::newRow("no source") << false << false << false;
        QTest::newRow("no source, target there") << false << true << false;
    }
    void moveFile()
    {
        QFETCH(bool, sourceThere);
        QFETCH(bool, targetThere);
        QFETCH(bool, moved);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QDir root(tmp.path());
        QVERIFY(root.mkpath(QStringLiteral("graficos")));
        const QString from = root.filePath(QStringLiteral("7.gif"));
        const QString to = root.filePath(QStringLiteral("graficos/7.gif"));
        if (sourceThere)
            QVERIFY(writeFile(from, "nuevo"));
        if (targetThere)
            QVERIFY(writeFile(to, "el que ya estaba"));

        QCOMPARE(Files::moveFile(from, to), moved);
        if (moved) {
            QVERIFY(!QFileInfo::exists(from));
            QCOMPARE(readFile(to), QByteArray("nuevo"));
        } else {
            QCOMPARE(QFileInfo::exists(from), sourceThere);
            if (sourceThere)
                QCOMPARE(readFile(from), QByteArray("nuevo"));
            QCOMPARE(QFileInfo::exists(to), targetThere);
            if (targetThere)
                QCOMPARE(readFile(to), QByteArray("el que ya estaba"));
        }
    }

    // ---- pictures ---------------------------------------------------------------------------

    void naturalSizeOfPictures_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("name");
        QTest::newRow("png") << QByteArray("png") << QSize(64, 48) << QStringLiteral("a.png");
        QTest::newRow("png tall") << QByteArray("png") << QSize(17, 301) << QStringLiteral("b.png");
        QTest::newRow("png one pixel") << QByteArray("png") << QSize(1, 1) << QStringLiteral("c.png");
        QTest::newRow("jpeg") << QByteArray("jpeg") << QSize(64, 48) << QStringLiteral("a.jpg");
        QTest::newRow("jpeg odd size") << QByteArray("jpeg") << QSize(33, 17)
                                       << QStringLiteral("b.jpeg");
        QTest::newRow("jpeg, wrong extension")
            << QByteArray("jpeg") << QSize(40, 30) << QStringLiteral("c.gif");
    }
    void naturalSizeOfPictures()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QFETCH(QString, name);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.filePath(name);
        QVERIFY(AppFixture::writePicture(path, size, Qt::darkCyan, format));
        QCOMPARE(Pictures::naturalSize(path), size);
        const QImage whole = Pictures::loadScaled(path, QSize());
        QCOMPARE(whole.size(), size);
        const QImage scaled = Pictures::loadScaled(path, QSize(13, 11));
        QCOMPARE(scaled.size(), QSize(13, 11));
    }

    void exifOrientation_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("bigEndian");
        QTest::addColumn<QSize>("upright");   // the stored picture is 80 × 40, red above blue
        QTest::addColumn<QSize>("requested"); // a size for loadScaled, not in proportion
        QTest::addColumn<QString>("redSide");
        QTest::newRow("6, rotate 90, MM") << 6 << true << QSize(40, 80) << QSize(12, 30)
                                          << QStringLiteral("right");
        QTest::newRow("6, rotate 90, II") << 6 << false << QSize(40, 80) << QSize(15, 21)
                                          << QStringLiteral("right");
        QTest::newRow("8, rotate 270") << 8 << true << QSize(40, 80) << QSize(12, 30)
                                       << QStringLiteral("left");
        QTest::newRow("3, rotate 180") << 3 << true << QSize(80, 40) << QSize(30, 12)
                                       << QStringLiteral("bottom");
        QTest::newRow("1, as stored") << 1 << true << QSize(80, 40) << QSize(30, 12)
                                      << QStringLiteral("top");
    }
    void exifOrientation()
    {
        QFETCH(int, orientation);
        QFETCH(bool, bigEndian);
        QFETCH(QSize, upright);
        QFETCH(QSize, requested);
        QFETCH(QString, redSide);

        QImage stored(80, 40, QImage::Format_RGB32);
        stored.fill(Qt::blue);
        {
            QPainter p(&stored);
            p.fillRect(0, 0, 80, 20, Qt::red);
        }
        QByteArray jpeg = jpegBytes(stored, 95);
        QVERIFY(jpeg.startsWith("\xFF\xD8"));
        jpeg.insert(2, exifOrientationSegment(quint16(orientation), bigEndian));
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.filePath(QStringLiteral("girada.jpg"));
        QVERIFY(writeFile(path, jpeg));

        QCOMPARE(Pictures::naturalSize(path), upright);

        const QImage scaled = Pictures::loadScaled(path, requested);
        QCOMPARE(scaled.size(), requested);
        QCOMPARE(::redSide(scaled), redSide);

        const QImage whole = Pictures::loadScaled(path, QSize());
        QCOMPARE(whole.size(), upright);
        QCOMPARE(::redSide(whole), redSide);
    }

    void unreadablePictures_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("headerMayBeRead"); // a cut file may still have its whole header
        QTest::newRow("text named .jpg")
            << QByteArray("esto no es un dibujo\r\n") << QStringLiteral("texto.jpg") << false;
        QTest::newRow("text named .gif")
            << QByteArray("GIF? no.\r\n") << QStringLiteral("texto.gif") << false;
        QTest::newRow("empty .png") << QByteArray() << QStringLiteral("vacio.png") << false;
        QImage img(120, 90, QImage::Format_RGB32);
        img.fill(Qt::darkGreen);
        QTest::newRow("first 200 bytes of a jpeg")
            << jpegBytes(img).left(200) << QStringLiteral("cortado.jpg") << true;
        QTest::newRow("first 200 bytes of the card back")
            << readFile(QStringLiteral(TRABEL_SOURCE_DATA "/fondo.jpg")).left(200)
            << QStringLiteral("fondo.jpg") << true;
        QTest::newRow("png cut after its header")
            << forgedPng(64, 48, 48, 64).left(40) << QStringLiteral("cortado.png") << true;
    }
    void unreadablePictures()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(bool, headerMayBeRead);
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.filePath(name);
        QVERIFY(writeFile(path, bytes));

        const QSize size = Pictures::naturalSize(path);
        const QImage image = Pictures::loadScaled(path, QSize(40, 30));
        if (headerMayBeRead)
            QVERIFY2(!size.isValid() || image.isNull(),
                     "a cut picture is reported readable and decodes");
        else {
            QVERIFY(!size.isValid());
            QVERIFY(image.isNull());
            QVERIFY(Pictures::loadScaled(path, QSize()).isNull());
        }
    }

    void hugeSizesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("claimed");
        QTest::addColumn<bool>("refused");
        QImage small(32, 16, QImage::Format_RGB32);
        small.fill(Qt::gray);
        const QByteArray jpeg = jpegBytes(small);
        // The forgeries are sound: the same bytes with a small size are accepted.
        QTest::newRow("png 64 x 48 (control)")
            << forgedPng(64, 48, 48, 64) << QStringLiteral("bien.png") << QSize(64, 48) << false;
        QTest::newRow("jpeg 32 x 16 (control)")
            << withFrameSize(jpeg, 32, 16) << QStringLiteral("bien.jpg") << QSize(32, 16) << false;
        QTest::newRow("png 60000 x 60000")
            << forgedPng(60000, 60000, 1, 1) << QStringLiteral("enorme.png") << QSize(60000, 60000)
            << true;
        QTest::newRow("png 1000000 x 1000000")
            << forgedPng(1000000, 1000000, 1, 1) << QStringLiteral("enorme2.png")
            << QSize(1000000, 1000000) << true;
        QTest::newRow("jpeg 60000 x 60000")
            << withFrameSize(jpeg, 60000, 60000) << QStringLiteral("enorme.jpg")
            << QSize(60000, 60000) << true;
        QTest::newRow("jpeg 20000 x 20000")
            << withFrameSize(jpeg, 20000, 20000) << QStringLiteral("enorme2.jpg")
            << QSize(20000, 20000) << true;
    }
    void hugeSizesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QFETCH(QSize, claimed);
        QFETCH(bool, refused);
        QVERIFY(!bytes.isEmpty());
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString path = tmp.filePath(name);
        QVERIFY(writeFile(path, bytes));
        // The header does claim that size.
        QCOMPARE(QImageReader(path).size(), claimed);

        if (!refused) {
            QCOMPARE(Pictures::naturalSize(path), claimed);
            QCOMPARE(Pictures::loadScaled(path, QSize(8, 6)).size(), QSize(8, 6));
            return;
        }
        // Refused from the header alone, and no decode is attempted. The image readers' own
        // allocation limit is raised so that it is not what refuses a scaled decode (a JPEG is
        // decoded at an eighth of its size: 7500 × 7500 here); a whole decode still stays
        // within that limit, so a failure here cannot exhaust the machine's memory.
        QVERIFY(!Pictures::naturalSize(path).isValid());
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1024);
        const QImage image = Pictures::loadScaled(path, QSize(40, 30));
        const QImage whole = Pictures::loadScaled(path, QSize());
        QImageReader::setAllocationLimit(limit);
        QVERIFY(image.isNull());
        QVERIFY(whole.isNull());
    }

    // ---- runtime ----------------------------------------------------------------------------

    void loadRunsTheLoadHandlerOnce()
    {
        AppFixture app;
        resetHandlers();
        FormA *a = Runtime::Load<FormA>();
        QVERIFY(a);
        QCOMPARE(FormA::calls.loads, 1);
        QCOMPARE(Runtime::loaded<FormA>(), a);
        QVERIFY(!a->isVisible());
        QCOMPARE(Runtime::Load<FormA>(), a);
        QCOMPARE(Runtime::Show<FormA>(), a);
        QVERIFY(a->isVisible());
        QCOMPARE(FormA::calls.loads, 1);
        QCOMPARE(Runtime::loadedForms(), QList<Form *>{a});
        QCOMPARE(FormA::calls.unloads, 0);
        QCOMPARE(app.ends, 0);
    }

    void unloadThenShowLoadsAfresh()
    {
        AppFixture app;
        resetHandlers();
        QVERIFY(Runtime::Show<FormB>()); // keeps the program running
        QPointer<FormA> first = Runtime::Show<FormA>();
        QVERIFY(first);
        Runtime::Unload<FormA>();
        QCOMPARE(FormA::calls.unloads, 1);
        QVERIFY(!Runtime::loaded<FormA>());
        QVERIFY(!first || !first->isVisible());
        QCOMPARE(Runtime::loadedForms().size(), 1);
        QCOMPARE(app.ends, 0);

        FormA *second = Runtime::Show<FormA>();
        QVERIFY(second);
        QCOMPARE(FormA::calls.loads, 2);
        QVERIFY(second->isVisible());
        QCOMPARE(Runtime::loaded<FormA>(), second);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first); // the unloaded instance is gone
        QCOMPARE(FormA::calls.unloads, 1);
    }

    void unloadOfAScreenNotLoaded()
    {
        AppFixture app;
        resetHandlers();
        Runtime::Unload<FormA>(); // nothing loaded at all
        QCOMPARE(FormA::calls.unloads, 0);
        QCOMPARE(app.ends, 0);
        QVERIFY(!Runtime::ended());
        FormB *b = Runtime::Show<FormB>();
        Runtime::Unload<FormA>(); // another screen loaded
        QCOMPARE(FormA::calls.unloads, 0);
        QCOMPARE(Runtime::loaded<FormB>(), b);
        QVERIFY(b->isVisible());
        QCOMPARE(app.ends, 0);
    }

    void unloadingTheLastScreenEnds_data()
    {
        QTest::addColumn<bool>("byClosing"); // the player closes the window
        QTest::newRow("unloaded by the program") << false;
        QTest::newRow("closed by the player") << true;
    }
    void unloadingTheLastScreenEnds()
    {
        QFETCH(bool, byClosing);
        AppFixture app;
        resetHandlers();
        FormA *a = Runtime::Show<FormA>();
        FormB *b = Runtime::Show<FormB>();
        QVERIFY(a && b);
        if (byClosing)
            a->close();
        else
            Runtime::Unload<FormA>();
        QCOMPARE(FormA::calls.unloads, 1);
        QCOMPARE(app.ends, 0);
        QVERIFY(!Runtime::ended());
        if (byClosing)
            b->close();
        else
            Runtime::Unload<FormB>();
        QCOMPARE(FormB::calls.unloads, 1);
        QCOMPARE(app.ends, 1);
        QVERIFY(Runtime::ended());
        QVERIFY(Runtime::loadedForms().isEmpty());
    }

    void endStopsEverything()
    {
        AppFixture app;
        resetHandlers();
        FormA *a = Runtime::Show<FormA>();
        FormB *b = Runtime::Show<FormB>();
        QVERIFY(a && b);
        // A timer of the screen and one of a control inside it, firing at every chance.
        int fired = 0;
        auto *timer = new QTimer(a);
        timer->setInterval(0);
        QObject::connect(timer, &QTimer::timeout, [&fired] { ++fired; });
        auto *inner = new QWidget(b);
        auto *innerTimer = new QTimer(inner);
        innerTimer->setInterval(1);
        QObject::connect(innerTimer, &QTimer::timeout, [&fired] { ++fired; });
        timer->start();
        innerTimer->start();
        QTRY_VERIFY(fired > 0); // they do run

        Runtime::End();
        const int firedAtEnd = fired;
        QVERIFY(Runtime::ended());
        QCOMPARE(app.ends, 1);
        QVERIFY(Runtime::loadedForms().isEmpty());
        QVERIFY(!Runtime::loaded<FormA>());
        QVERIFY(!Runtime::loaded<FormB>());
        QTest::qWait(300);
        QCOMPARE(fired, firedAtEnd);
        // No handler of the program runs after the end, and nothing loads any more.
        QCOMPARE(FormA::calls.unloads, 0);
        QCOMPARE(FormB::calls.unloads, 0);
        QVERIFY(!Runtime::Show<FormA>());
        QCOMPARE(FormA::calls.loads, 1);
        Runtime::End();
        QCOMPARE(app.ends, 1);
    }

    void endDuringLoad()
    {
        AppFixture app;
        resetHandlers();
        FormA::onLoad = [](FormA *) { Runtime::End(); };
        QVERIFY(!Runtime::Load<FormA>());
        QCOMPARE(app.ends, 1);
        QVERIFY(Runtime::loadedForms().isEmpty());
    }

    void showModalReturns_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("shownBefore"); // already on screen, not modal, when shown modally
        QTest::newRow("hidden") << QStringLiteral("hide") << false;
        QTest::newRow("unloaded") << QStringLiteral("unload") << false;
        QTest::newRow("closed by the player") << QStringLiteral("close") << false;
        QTest::newRow("program ended") << QStringLiteral("end") << false;
        QTest::newRow("already shown, then hidden") << QStringLiteral("hide") << true;
        QTest::newRow("already shown, then unloaded") << QStringLiteral("unload") << true;
    }
    void showModalReturns()
    {
        QFETCH(QString, how);
        QFETCH(bool, shownBefore);
        AppFixture app;
        resetHandlers();
        FormB *b = Runtime::Show<FormB>();
        QVERIFY(b);
        if (shownBefore)
            QVERIFY(Runtime::Show<FormA>());

        // Should the modal display never return, this frees it and the test fails.
        bool rescued = false;
        QTimer rescue;
        rescue.setSingleShot(true);
        QObject::connect(&rescue, &QTimer::timeout, [&rescued] {
            rescued = true;
            Runtime::resetForTests();
        });
        rescue.start(8000);

        bool modalWhileShown = false;
        whenShown<FormA>([&](FormA *a) {
            modalWhileShown = QApplication::activeModalWidget() == a;
            if (how == QLatin1String("hide"))
                a->hide();
            else if (how == QLatin1String("unload"))
                Runtime::Unload<FormA>();
            else if (how == QLatin1String("close"))
                a->close();
            else
                Runtime::End();
        });
        Runtime::ShowModal<FormA>();
        rescue.stop();
        QVERIFY(!rescued);
        QVERIFY(modalWhileShown);
        QCOMPARE(FormA::calls.loads, 1);

        if (how == QLatin1String("hide")) {
            FormA *a = Runtime::loaded<FormA>();
            QVERIFY(a);
            QVERIFY(!a->isVisible());
            QCOMPARE(FormA::calls.unloads, 0);
        } else if (how == QLatin1String("end")) {
            QVERIFY(Runtime::ended());
            QCOMPARE(app.ends, 1);
            QVERIFY(Runtime::loadedForms().isEmpty());
            return;
        } else {
            QVERIFY(!Runtime::loaded<FormA>());
            QCOMPARE(FormA::calls.unloads, 1);
        }
        QCOMPARE(app.ends, 0);
        QCOMPARE(Runtime::loaded<FormB>(), b);
        QVERIFY(!QApplication::activeModalWidget());
    }

    void centreOnScreen_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QSize>("client");
        QTest::newRow("title screen") << QSize(15360, 11520) << QSize(7530, 6945);
        QTest::newRow("players screen") << QSize(15360, 11520) << QSize(6750, 4635);
        QTest::newRow("options screen") << QSize(15360, 11520) << QSize(8700, 8040);
        QTest::newRow("odd twips") << QSize(15360, 11520) << QSize(7531, 6947);
        QTest::newRow("larger screen") << QSize(28800, 16200) << QSize(7530, 6945);
        QTest::newRow("window wider than the screen") << QSize(9600, 7200) << QSize(12000, 6945);
    }
    void centreOnScreen()
    {
        QFETCH(QSize, screen);
        QFETCH(QSize, client);
        AppFixture app;
        Platform::setScreenTwips(screen);
        Form f;
        f.setClientTwips(client.width(), client.height());
        f.centreOnScreen();
        // Int() rounds down, also below zero.
        const int left = int(std::floor((screen.width() - client.width()) / 2.0));
        const int top = int(std::floor((screen.height() - client.height()) / 2.0));
        QVERIFY2(qAbs(f.x() - left / 15.0) <= 1.0,
                 qPrintable(QStringLiteral("x %1, expected about %2").arg(f.x()).arg(left / 15.0)));
        QVERIFY2(qAbs(f.y() - top / 15.0) <= 1.0,
                 qPrintable(QStringLiteral("y %1, expected about %2").arg(f.y()).arg(top / 15.0)));
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
