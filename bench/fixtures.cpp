#include "fixtures.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <cmath>
#include <functional>
#include <random>
#include <thread>
#include <vector>

namespace Fixtures {
namespace {

/// Bumped whenever what prepare() makes changes, so an older cache is made again.
constexpr const char *kCacheVersion = "trabel-bench-fixtures 2";
constexpr const char *kPhoneVersion = "trabel-bench-phone-sets 1";
constexpr int kPhotoCount = 30, kManyCount = 5000;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

bool hasMarker(const QString &dir, const char *version)
{
    QFile f(dir + QStringLiteral("/.complete"));
    return f.open(QIODevice::ReadOnly) && f.readAll().trimmed() == version;
}

QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

/// Runs job(0) .. job(count − 1), as many at a time as there are cores; false if one fails.
bool onAllCores(int count, const std::function<bool(int)> &job)
{
    std::atomic<int> next{0};
    std::atomic<bool> ok{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < qMax(1, QThread::idealThreadCount()); ++t)
        threads.emplace_back([&] {
            for (int i = next++; i < count; i = next++)
                ok = job(i) && ok;
        });
    for (auto &t : threads)
        t.join();
    return ok;
}

bool copyTree(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    bool ok = QDir(from).exists();
    for (const QFileInfo &fi :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        ok = (fi.isDir() ? copyTree(fi.filePath(), to + u'/' + fi.fileName())
                         : QFile::copy(fi.filePath(), to + u'/' + fi.fileName()))
             && ok;
    return ok;
}

/// A photo-like picture of 4000 × 3000: sky and ground in soft gradients, blurred blobs, hard
/// shapes, fine strokes for texture, then grain over everything (which is what makes JPEG slow).
QImage makePhoto(int index)
{
    std::mt19937 rng(7919u * unsigned(index + 1));
    auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    const int w = 4000, h = 3000;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int hue = (index * 47) % 360;
    const double horizon = uniform(0.35, 0.65) * h;
    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor::fromHsv(hue, 160, 230));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 250));
    p.fillRect(QRectF(0, 0, w, horizon), sky);
    QLinearGradient ground(0, horizon, w * 0.3, h);
    ground.setColorAt(0, QColor::fromHsv((hue + 120) % 360, 140, 150));
    ground.setColorAt(1, QColor::fromHsv((hue + 150) % 360, 200, 60));
    p.fillRect(QRectF(0, horizon, w, h - horizon), ground);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        const QPointF c(uniform(0, w), uniform(0, h));
        const double r = uniform(80, 700);
        QRadialGradient g(c, r);
        QColor col = QColor::fromHsv(int(uniform(0, 360)), int(uniform(40, 255)),
                                     int(uniform(60, 255)), int(uniform(60, 200)));
        g.setColorAt(0, col);
        col.setAlpha(0);
        g.setColorAt(1, col);
        p.setBrush(g);
        p.drawEllipse(c, r, r * uniform(0.5, 1.5));
    }
    for (int i = 0; i < 40; ++i) {
        QPainterPath path;
        const QPointF c(uniform(0, w), uniform(horizon * 0.5, h));
        const int corners = 3 + int(uniform(0, 5));
        for (int k = 0; k < corners; ++k) {
            const double a = 6.2831853 * k / corners + uniform(-0.3, 0.3);
            const double r = uniform(60, 450);
            const QPointF v(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
            k == 0 ? path.moveTo(v) : path.lineTo(v);
        }
        path.closeSubpath();
        QLinearGradient g(c - QPointF(300, 300), c + QPointF(300, 300));
        g.setColorAt(
            0, QColor::fromHsv(int(uniform(0, 360)), int(uniform(80, 255)), int(uniform(80, 255))));
        g.setColorAt(
            1, QColor::fromHsv(int(uniform(0, 360)), int(uniform(80, 255)), int(uniform(30, 200))));
        p.setBrush(g);
        p.drawPath(path);
    }
    for (int i = 0; i < 6000; ++i) {
        const QPointF a(uniform(0, w), uniform(horizon, h));
        const QPointF b = a + QPointF(uniform(-25, 25), uniform(-90, -10));
        p.setPen(QPen(QColor::fromHsv((hue + 100 + int(uniform(-30, 30)) + 360) % 360,
                                      int(uniform(80, 220)), int(uniform(40, 200))),
                      uniform(1, 4)));
        p.drawLine(a, b);
    }
    p.end();
    const int amplitude = 3 + index % 5;
    std::uint32_t s = 2463534242u + unsigned(index);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            s ^= s << 13, s ^= s >> 17, s ^= s << 5;
            const int l = int(s % unsigned(2 * amplitude + 1)) - amplitude;
            const int cr = int((s >> 8) % 3u) - 1, cb = int((s >> 16) % 3u) - 1;
            const QRgb px = line[x];
            line[x] = qRgb(qBound(0, qRed(px) + l + cr, 255), qBound(0, qGreen(px) + l, 255),
                           qBound(0, qBlue(px) + l + cb, 255));
        }
    }
    return img;
}

/// A JPEG with an APP1 EXIF segment holding only an orientation tag (6: turn clockwise to view,
/// 8: anticlockwise), as a camera held on its side stores it.
QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    const char app1[] = {char(0xFF), char(0xE1), 0, 34,   'E', 'x', 'i', 'f', 0, 0,
                         'M',        'M',        0, 0x2A, 0,   0,   0,   8,   0, 1,
                         0x01,       0x12,       0, 3,    0,   0,   0,   1,   0, char(orientation),
                         0,          0,          0, 0,    0,   0};
    return jpeg.left(2) + QByteArray(app1, sizeof app1) + jpeg.mid(2);
}

bool makePhotos(const QString &dir)
{
    QDir().mkpath(dir);
    return onAllCores(kPhotoCount, [&](int i) {
        const int orientation = i == 3 || i == 17 ? 6 : i == 9 || i == 24 ? 8 : 0;
        QByteArray jpeg = encode(makePhoto(i), "jpeg", 90);
        if (orientation)
            jpeg = withExifOrientation(jpeg, orientation);
        return writeFile(dir + QStringLiteral("/foto%1.jpg").arg(i + 1, 2, 10, QChar(u'0')), jpeg);
    });
}

bool makeManySmall(const QString &dir)
{
    QDir().mkpath(dir);
    bool ok = true;
    for (int i = 0; i < kManyCount; ++i) {
        QImage img(24, 18, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(i % 4 * 90, 180, 220));
        QPainter(&img).drawRect(img.rect().adjusted(2, 2, -3, -3));
        const bool png = i % 2 == 0;
        ok = writeFile(dir
                           + QStringLiteral("/dibujo%1.%2")
                                 .arg(i, 4, 10, QChar(u'0'))
                                 .arg(png ? "png" : "jpg"),
                       encode(img, png ? "png" : "jpeg", png ? -1 : 85))
             && ok;
    }
    return ok;
}

bool run(const QStringList &command)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(command.first(), command.mid(1));
    const bool ok =
        p.waitForFinished(600000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok)
        qWarning("failed: %s", qPrintable(command.join(u' ')));
    return ok;
}

} // namespace

QString preparePicturesFolder(const QString &app)
{
    const QString pictures = QDir(app).absoluteFilePath(QStringLiteral("../pictures"));
    const QString done = pictures + QStringLiteral("/.complete");
    if (QFileInfo::exists(done))
        return pictures;
    const QByteArray tiny = encode(makePhoto(0).scaled(8, 6), "jpeg", 80);
    for (int a = 0; a < 500; ++a) {
        const QString album = pictures + QStringLiteral("/Álbum %1").arg(a, 3, 10, QChar(u'0'));
        QDir().mkpath(album);
        for (int f = 0; f < 50; ++f)
            writeFile(album + QStringLiteral("/IMG_%1.jpg").arg(f, 4, 10, QChar(u'0')), tiny);
    }
    writeFile(done, {});
    return pictures;
}

bool writeOffscreenScreen(const QString &path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFile(
        path, QStringLiteral(
                  "{ \"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": false,"
                  " \"screens\": [ { \"name\": \"bench\", \"x\": 0, \"y\": 0, \"width\": %1,"
                  " \"height\": %2, \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n")
                  .arg(width)
                  .arg(height)
                  .toUtf8());
}

QString prepare(const QString &cache, const QString &shippedData)
{
    const QString app = QDir(cache).absoluteFilePath(QStringLiteral("app"));
    if (hasMarker(app, kCacheVersion))
        return app;
    qInfo("Making the benchmark's pictures in %s (once; reused afterwards)", qPrintable(app));
    QDir(app).removeRecursively();
    QDir().mkpath(app);
    bool ok =
        QFile::copy(shippedData + QStringLiteral("/fondo.jpg"), app + QStringLiteral("/fondo.jpg"))
        && copyTree(shippedData + QStringLiteral("/idioma"), app + QStringLiteral("/idioma"))
        && copyTree(shippedData + QStringLiteral("/graficos"), app + QStringLiteral("/graficos"))
        && makeManySmall(app + QStringLiteral("/graficos/") + kManySet)
        && makePhotos(app + QStringLiteral("/graficos/") + kPhotoSet)
        && writeFile(app + QStringLiteral("/.complete"), QByteArray(kCacheVersion) + '\n');
    return ok ? app : QString();
}

bool preparePhoneSets(const QString &app)
{
    const QString photos = app + QStringLiteral("/graficos/") + kPhotoSet;
    const QStringList names =
        QDir(photos).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    bool ok = true;
    for (const QString &set : {kHeicThumbSet, kHeicSet, kAvifSet, kJpegThumbSet}) {
        const QString dir = app + QStringLiteral("/graficos/") + set;
        if (hasMarker(dir, kPhoneVersion))
            continue;
        qInfo("Making %s from the photos (once)", qPrintable(set));
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        if (set == kJpegThumbSet) {
            // The thumbnail is stored the way the photo is (EXIF orientation applies to both).
            const QString thumbs = QDir(app).absoluteFilePath(QStringLiteral("../thumbs"));
            QDir().mkpath(thumbs);
            for (const QString &name : names) {
                QImageReader reader(photos + u'/' + name);
                reader.setAutoTransform(false);
                reader.setScaledSize(QSize(160, 120));
                ok = reader.read().save(thumbs + u'/' + name, "jpeg", 80)
                     && QFile::copy(photos + u'/' + name, dir + u'/' + name) && ok;
            }
            ok =
                run({QStringLiteral("exiftool"), QStringLiteral("-q"),
                     QStringLiteral("-overwrite_original"),
                     QStringLiteral("-ThumbnailImage<=") + thumbs + QStringLiteral("/%f.jpg"), dir})
                && ok;
        } else {
            ok = onAllCores(int(names.size()),
                            [&](int i) {
                                const QString base =
                                    dir + u'/' + QFileInfo(names[i]).completeBaseName();
                                QStringList c{QStringLiteral("heif-enc"), QStringLiteral("-q"),
                                              QStringLiteral("50")};
                                if (set == kAvifSet)
                                    c << QStringLiteral("-A") << QStringLiteral("-p")
                                      << QStringLiteral("speed=8") << QStringLiteral("-o")
                                      << base + QStringLiteral(".avif");
                                else
                                    c << QStringLiteral("-p") << QStringLiteral("preset=fast")
                                      << QStringLiteral("-o") << base + QStringLiteral(".heic");
                                if (set == kHeicThumbSet)
                                    c << QStringLiteral("-t") << QStringLiteral("320");
                                return run(c << photos + u'/' + names[i]);
                            })
                 && ok;
        }
        ok = ok && writeFile(dir + QStringLiteral("/.complete"), QByteArray(kPhoneVersion) + '\n');
    }
    return ok;
}

} // namespace Fixtures
