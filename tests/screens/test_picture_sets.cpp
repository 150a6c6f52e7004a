// The player's own pictures: where a set name leads, the Pictures albums offered, a folder dropped
// on the options screen, and photos as phones save them (HEIC and AVIF, turned by their header,
// with embedded previews), alone and on the board. tests/data/fotos is made by
// tools/make_photo_tests.py: each photo a plain colour with a blue block in its top left corner.
#include <QAccessible>
#include <QLineEdit>
#include <tuple>

#include "app_fixture.h"
#include "files.h"
#include "picture_sets.h"
#include "pictures.h"
#include "scripted_random.h"
#include "thumbnail_cache.h"
#include "thumbnail_key.h"

namespace {

const QString kPhotos = QStringLiteral(TRABEL_SOURCE_DATA "/../tests/data/fotos/");

bool near(QRgb got, const QColor &want)
{
    const int redGreen = qAbs(qRed(got) - want.red()) + qAbs(qGreen(got) - want.green());
    return redGreen + qAbs(qBlue(got) - want.blue()) < 40;
}

/// Makes `folder` with `count` empty files "f<N>.jpg" and the `others`: nothing is opened.
void touch(const QString &folder, int count, const QStringList &others = {})
{
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i)
        writeFile(folder + QString("/f%1.jpg").arg(i), {});
    for (const QString &f : others)
        writeFile(folder + u'/' + f, {});
}

using NameRow = std::tuple<QString, QString, bool>;
using PictureRow = std::tuple<QString, QSize, QColor>;

} // namespace

class PictureSetsTest : public QObject
{
    Q_OBJECT
    QTemporaryDir root;
    QString at(const QString &relative) const { return root.path() + u'/' + relative; }

private slots:
    void initTestCase()
    {
        qputenv("HOME", at("home").toLocal8Bit());
        qputenv("XDG_DATA_HOME", at("data").toLocal8Bit());
        qputenv("XDG_PICTURES_DIR", at("home/Imágenes").toLocal8Bit());
        touch(at("data/trabel/graficos/mios"), 0);
        touch(at("data/trabel/graficos/playa"), 0);
        for (const char *album : {"Vacaciones 2026", "fiesta", "playa"})
            touch(at("home/Imágenes/") + album, 24);
        touch(at("home/Imágenes/pocas"), 3);
        touch(at("home/Imágenes/casi"), 5, {"Thumbs.db", ".oculta.jpg", "desktop.ini"});
    }
    void namesLeadToFolders_data()
    {
        QTest::addColumn<NameRow>("row"); // name, folder ("app/": the application's), offered
        const std::tuple<const char *, const char *, const char *, bool> rows[] = {
            {"shipped", "animales", "app/graficos/animales", true},
            {"shipped before an album", "fiesta", "app/graficos/fiesta", true},
            {"own", "mios", "data/trabel/graficos/mios", true},
            {"own before an album", "playa", "data/trabel/graficos/playa", true},
            {"album", "Vacaciones 2026", "home/Imágenes/Vacaciones 2026", true},
            {"album of 3", "pocas", "home/Imágenes/pocas", false},
            {"5 by the listing's rule", "casi", "home/Imágenes/casi", false},
            {"home path", "~/fotos/", "home/fotos", false},
            {"nowhere", "nada", "app/graficos/nada", false}};
        for (const auto &[row, name, folder, offered] : rows)
            QTest::newRow(row) << NameRow(name, folder, offered);
        QTest::newRow("absolute path") << NameRow(at("x/../lejos"), "lejos", false);
    }
    void namesLeadToFolders()
    {
        QFETCH(NameRow, row);
        const auto &[name, folder, offered] = row;
        AppFixture app;
        for (const char *set : {"animales", "fiesta"})
            touch(app.path(QString("graficos/") + set), 6);
        const QStringList before = snapshot(root.path());
        QCOMPARE(PictureSets::folder(name),
                 folder.startsWith("app/") ? app.path(folder.mid(4)) : at(folder));
        const QStringList names =
            PictureSets::names(Files::subFolders(PictureSets::shippedFolder()));
        QCOMPARE(names.count(name), offered ? 1 : 0);
        QCOMPARE(names.mid(0, 2), QStringList({"animales", "fiesta"}));
        QCOMPARE(snapshot(root.path()), before);
    }
    void aDroppedPhotoDealsFromItsFolder()
    {
        AppFixture app;
        const QString album = at("home/Imágenes/Cumpleaños");
        for (int i = 0; i < 6; ++i)
            QVERIFY(AppFixture::writePicture(album + QString("/foto%1.png").arg(i), {48, 36}));
        const QStringList before = snapshot(root.path());
        Form1 *options = Runtime::Show<Form1>();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(album + "/foto3.png")});
        // Dropped on the list's text, as a player aims: it reaches the screen.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(options->Combo1->lineEdit(), &enter);
        QCoreApplication::sendEvent(options->Combo1->lineEdit(), &drop);
        QCOMPARE(options->Combo1->text(), album);
        options->Command1[0]->click();
        options->Command2->click();
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board && app.messages.isEmpty());
        QCOMPARE(board->File1.Path, album);
        QCOMPARE(board->TotalPairs(), 6);
        QCOMPARE(snapshot(root.path()), before);
    }
    void pictures_data()
    {
        QTest::addColumn<PictureRow>("row"); // file, face, colour (none: it does not decode)
        // The previews are green, their pictures red: the face tells which one was decoded.
        const QColor red(200, 30, 30), green(30, 180, 60), none;
        const std::tuple<const char *, const char *, QSize, QColor> rows[] = {
            {"HEIC", "plano.heic", {120, 90}, QColor(230, 140, 30)},
            {"HEIC turned by its header", "girado.heic", {90, 120}, QColor(150, 60, 170)},
            {"AVIF", "plano.avif", {120, 90}, QColor(90, 140, 40)},
            {"AVIF turned the other way", "girado.avif", {90, 120}, QColor(40, 160, 170)},
            {"HEIC thumbnail as large as the face", "miniatura.heic", {160, 120}, green},
            {"HEIC thumbnail smaller than the face", "miniatura.heic", {200, 150}, red},
            {"EXIF thumbnail larger than the face", "miniatura.jpg", {120, 90}, green},
            {"EXIF thumbnail smaller than the face", "miniatura.jpg", {161, 120}, red},
            {"EXIF thumbnail turned with its picture", "miniatura-girada.jpg", {90, 120}, green},
            {"EXIF thumbnail that does not decode", "miniatura-rota.jpg", {120, 90}, red},
            {"HEIC cut short", "cortado.heic", {120, 90}, none},
            {"HEIC claiming 60000 x 60000", "enorme.heic", {120, 90}, none}};
        for (const auto &[row, file, face, colour] : rows)
            QTest::newRow(row) << PictureRow(file, face, colour);
    }
    void pictures()
    {
        QFETCH(PictureRow, row);
        const auto &[file, face, colour] = row;
        // Every picture is 320 × 240 as it is meant to be seen, or the other way up.
        const QSize natural = !colour.isValid()              ? QSize()
                              : face.width() > face.height() ? QSize(320, 240)
                                                             : QSize(240, 320);
        QCOMPARE(Pictures::naturalSize(kPhotos + file), natural);
        const QImage image = Pictures::loadScaled(kPhotos + file, face);
        QCOMPARE(image.size(), colour.isValid() ? face : QSize(0, 0));
        const int w = face.width(), h = face.height();
        // Upright: the blue block at the top left, and nowhere else.
        for (const QPoint &at : {QPoint(w / 2, h / 2), QPoint(w * 9 / 10, h / 10),
                                 QPoint(w / 10, h * 9 / 10), QPoint(w * 9 / 10, h * 9 / 10)})
            QVERIFY(image.isNull() || near(image.pixel(at), colour));
        QVERIFY(image.isNull() || near(image.pixel(w / 10, h / 10), QColor(20, 30, 200)));
    }
    // A thumbnail stored in the desktop's cache, as others read it; a cache that cannot be written.
    void storeThumbnail_data()
    {
        // XDG_CACHE_HOME ("c": the test's folder; "": none, nor HOME), then what is spoiled.
        QTest::addColumn<QString>("cache");
        QTest::newRow("stored") << "c";
        QTest::newRow("the thumbnails folder a file") << "c file";
        QTest::newRow("the thumbnails folder a link elsewhere") << "c link thumbnails";
        QTest::newRow("its large folder a link elsewhere") << "c link thumbnails/large";
        QTest::newRow("a file system that takes no folders") << "/proc/trabel";
        QTest::newRow("neither XDG_CACHE_HOME nor HOME") << "";
        QTest::newRow("a picture inside the cache") << "c inside";
    }
    void storeThumbnail()
    {
        QFETCH(QString, cache);
        QTemporaryDir dir;
        const QString c = dir.path() + "/c", elsewhere = dir.path() + "/elsewhere/",
                      spoil = cache.section(u' ', 1);
        const QString picture = spoil == "inside" ? c + "/thumbnails/large/x.png"
                                                  : dir.path() + "/fotos/niño (1) #2.png";
        QVERIFY(AppFixture::writePicture(picture, {400, 300}) && QDir().mkpath(elsewhere));
        QVERIFY(spoil != "file" || writeFile(c + "/thumbnails", "no"));
        if (spoil.startsWith("link"))
            QDir().mkpath(QFileInfo(c + u'/' + spoil.mid(5)).path()),
                QFile::link(elsewhere, c + u'/' + spoil.mid(5));
        const QByteArray home = qgetenv("HOME");
        cache.isEmpty() && qunsetenv("HOME");
        qputenv("XDG_CACHE_HOME", cache.startsWith(u'c') ? QFile::encodeName(c) : cache.toUtf8());
        const bool stored = ThumbnailCache::store(picture, QImage(picture).scaled(256, 192), 256);
        QCOMPARE(ThumbnailCache::find(picture, {400, 300}, {250, 180}).fits, stored);
        qputenv("HOME", home);
        QCOMPARE(stored, cache == "c"); // never through a link elsewhere either
        if (!stored)
            return;
        const QByteArray uri = ThumbnailKey::fileUri(QFile::encodeName(picture));
        const QString file = c + "/thumbnails/large/" + ThumbnailKey::fileName(uri);
        QCOMPARE(QDir(c + "/thumbnails/large").entryList(QDir::Files),
                 QStringList{QFileInfo(file).fileName()});
        QString modes;
        for (const QString &f : {file, c + "/thumbnails", c + "/thumbnails/large"})
            modes += QString::number(QFileInfo(f).permissions(), 16) + u' ';
        QCOMPARE(modes, "6600 7700 7700 "); // 0600, 0700, 0700
        const QImage read(file);
        const QFileInfo info(picture);
        const QString stamp = uri + u' ' + QString::number(info.lastModified().toSecsSinceEpoch());
        QCOMPARE(read.text("Thumb::URI") + u' ' + read.text("Thumb::MTime"), stamp);
        QCOMPARE(read.text("Thumb::Size") + u' ' + read.text("Software"),
                 QString::number(info.size()) + " Trabel");
    }
    // A board takes the faces the cache covers, and stores a thumbnail of each picture it decodes
    // (in "large": a 6-pair card is 246 x 184 pixels). The thumbnails are green, the pictures red.
    void boardAndCache_data()
    {
        QTest::addColumn<qint64>("age"); // of the x-large thumbnails made beforehand; −1: none
        QTest::newRow("no thumbnails: the pictures, then stored") << qint64(-1);
        QTest::newRow("x-large thumbnails: the faces for good") << qint64(0);
        QTest::newRow("x-large thumbnails of an older time: ignored") << qint64(1);
    }
    void boardAndCache()
    {
        QFETCH(qint64, age);
        AppFixture app;
        QImage picture(600, 450, QImage::Format_RGB32), thumbnail(512, 384, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 30)), thumbnail.fill(QColor(30, 180, 60));
        QVERIFY(QDir().mkpath(app.path("graficos/grandes")));
        for (int i = 0; i < 6; ++i) {
            const QString path = app.path("graficos/grandes/g%1.png").arg(i);
            QVERIFY(picture.save(path)
                    && (age < 0 || !writeThumbnail(path, "x-large", thumbnail, age).isEmpty()));
        }
        Form2 *board = openBoard("Ana", {}, 0, "grandes");
        board->picture2_Click(0);
        const QImage face = board->Image1[0]->picture().toImage();
        QVERIFY(near(face.pixel(face.width() / 2, face.height() / 2),
                     (age == 0 ? thumbnail : picture).pixelColor(0, 0)));
        const QDir large(ThumbnailCache::root() + "/large");
        QVERIFY(QTest::qWaitFor(
            [&] { return large.entryList(QDir::Files).size() == (age == 0 ? 0 : 6); }, 20000));
        Runtime::resetForTests(); // the loader is gone, and with it anything it had still to write
        QCOMPARE(large.entryList(QDir::Files).size(), age == 0 ? 0 : 6);
    }
    // A card turned while only its picture's preview is decoded shows the preview, and then the
    // picture in its place with nothing else about the game changed. grande.heic has a green
    // thumbnail and a red 4000 x 3000 picture, far slower to decode than the board to open.
    void previewThenPicture()
    {
        AppFixture app;
        for (int i = 1; i <= 6; ++i)
            QVERIFY(writeFile(app.path("graficos/grandes/g%1.heic").arg(i),
                              readFile(kPhotos + "grande.heic")));
        ScriptedRandom random;
        Platform::setRandom(&random);
        Runtime::Show<Form1>()->Combo1->setText("grandes");
        Module1::PairOption = 0;
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        int partner = 1;
        while (board->pictureOf(partner) != board->pictureOf(0))
            ++partner;
        const auto centre = [board](int k) {
            const QImage face = board->Image1[k]->picture().toImage();
            return face.isNull() ? QRgb(0) : face.pixel(face.width() / 2, face.height() / 2);
        };
        const auto state = [board] {
            const CardGame &g = board->game();
            return std::tuple(
                g.PairsFound, g.Player1Pairs, g.CardsTurned, board->Text1[0]->text(),
                board->Label2->caption(), board->Timer1->isActive(),
                QAccessible::queryAccessibleInterface(board->Picture2[0])->text(QAccessible::Name),
                board->Image1[0]->geometry(), board->Image1[0]->picture().size());
        };
        board->picture2_Click(0);
        board->picture2_Click(partner); // a pair, both from the preview
        const auto before = state();
        const QColor green(30, 180, 60), red(200, 30, 30);
        QVERIFY(near(centre(0), green) && near(centre(partner), green));
        QVERIFY(QTest::qWaitFor([&] { return near(centre(0), red) && near(centre(partner), red); },
                                20000));
        QCOMPARE(state(), before);
        QVERIFY(board->Image1[0]->isVisible() && board->Image1[partner]->isVisible());
    }
};

QTEST_MAIN(PictureSetsTest)
#include "test_picture_sets.moc"
