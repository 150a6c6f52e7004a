#include "fixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QImageReader>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace Fixtures {
namespace {

/// Bumped whenever what prepare() makes changes, so an older cache is made again.
constexpr const char *kCacheVersion = "trabel-bench-fixtures 2";

bool copyTree(const QString &from, const QString &to)
{
    QDir src(from);
    if (!src.exists())
        return false;
    QDir().mkpath(to);
    bool ok = true;
    for (const QFileInfo &fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + u'/' + fi.fileName();
        if (fi.isDir())
            ok = copyTree(fi.filePath(), target) && ok;
        else
            ok = (QFile::exists(target) || QFile::copy(fi.filePath(), target)) && ok;
    }
    return ok;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

/// A photo-like picture: a sky and a ground in soft gradients, blurred blobs and hard shapes,
/// fine strokes for texture, then grain over everything.
QImage makePhoto(int index)
{
    std::mt19937 rng(7919u * unsigned(index + 1));
    auto uniform = [&rng](double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(rng);
    };
    const int w = kPhotoWidth, h = kPhotoHeight;
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

    // Soft blobs: clouds, trees, out-of-focus lights.
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
    // Hard-edged shapes: buildings, objects.
    for (int i = 0; i < 40; ++i) {
        QPainterPath path;
        const QPointF c(uniform(0, w), uniform(horizon * 0.5, h));
        const int corners = 3 + int(uniform(0, 5));
        for (int k = 0; k < corners; ++k) {
            const double a = 6.2831853 * k / corners + uniform(-0.3, 0.3);
            const double r = uniform(60, 450);
            const QPointF v(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
            if (k == 0)
                path.moveTo(v);
            else
                path.lineTo(v);
        }
        path.closeSubpath();
        QLinearGradient g(c - QPointF(300, 300), c + QPointF(300, 300));
        g.setColorAt(0, QColor::fromHsv(int(uniform(0, 360)), int(uniform(80, 255)),
                                        int(uniform(80, 255))));
        g.setColorAt(1, QColor::fromHsv(int(uniform(0, 360)), int(uniform(80, 255)),
                                        int(uniform(30, 200))));
        p.setBrush(g);
        p.drawPath(path);
    }
    // Texture: grass and twigs on the ground.
    for (int i = 0; i < 6000; ++i) {
        const QPointF a(uniform(0, w), uniform(horizon, h));
        const QPointF b = a + QPointF(uniform(-25, 25), uniform(-90, -10));
        p.setPen(QPen(QColor::fromHsv((hue + 100 + int(uniform(-30, 30)) + 360) % 360,
                                      int(uniform(80, 220)), int(uniform(40, 200))),
                      uniform(1, 4)));
        p.drawLine(a, b);
    }
    p.end();

    // Grain: luminance noise with a little colour noise, its strength varying from photo to photo.
    const int amplitude = 3 + index % 5;
    std::uint32_t s = 2463534242u + unsigned(index);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            s ^= s << 13;
            s ^= s >> 17;
            s ^= s << 5;
            const int l = int(s % unsigned(2 * amplitude + 1)) - amplitude;
            const int cr = int((s >> 8) % 3u) - 1;
            const int cb = int((s >> 16) % 3u) - 1;
            const QRgb px = line[x];
            line[x] = qRgb(qBound(0, qRed(px) + l + cr, 255), qBound(0, qGreen(px) + l, 255),
                           qBound(0, qBlue(px) + l + cb, 255));
        }
    }
    return img;
}

/// Orientation carried by photo `index`: a few carry an EXIF tag that turns them upright when shown
/// (6: turn clockwise to view, 8: anticlockwise).
int orientationOf(int index)
{
    switch (index) {
    case 3:
    case 17:
        return 6;
    case 9:
    case 24:
        return 8;
    default:
        return 0;
    }
}

bool makePhotos(const QString &dir)
{
    QDir().mkpath(dir);
    std::atomic<int> next{0};
    std::atomic<bool> ok{true};
    auto worker = [&] {
        for (int i = next++; i < kPhotoCount; i = next++) {
            const QString path = dir + QStringLiteral("/foto%1.jpg").arg(i + 1, 2, 10, QChar(u'0'));
            // Every photo is stored 4000 × 3000; the tagged ones are shown upright as 3000 × 4000,
            // as a camera held on its side stores them.
            const QImage img = makePhoto(i);
            const int orientation = orientationOf(i);
            QByteArray jpeg = encode(img, "jpeg", 90);
            if (orientation)
                jpeg = withExifOrientation(jpeg, orientation);
            if (jpeg.isEmpty() || !writeFile(path, jpeg))
                ok = false;
            std::fprintf(stderr, "  %s  %.1f MB%s\n", qPrintable(QFileInfo(path).fileName()),
                         jpeg.size() / 1048576.0,
                         orientation ? qPrintable(QStringLiteral("  (EXIF orientation %1)")
                                                      .arg(orientation))
                                     : "");
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < qMax(1, QThread::idealThreadCount()); ++t)
        threads.emplace_back(worker);
    for (auto &t : threads)
        t.join();
    return ok;
}

bool makeManySmall(const QString &dir)
{
    QDir().mkpath(dir);
    QList<QByteArray> variants;
    QStringList suffixes;
    for (int v = 0; v < 4; ++v) {
        QImage img(24, 18, QImage::Format_RGB32);
        img.fill(QColor::fromHsv(v * 90, 180, 220));
        QPainter p(&img);
        p.setPen(Qt::black);
        p.drawRect(img.rect().adjusted(2, 2, -3, -3));
        p.end();
        const bool png = v % 2 == 0;
        variants.append(encode(img, png ? "png" : "jpeg", png ? -1 : 85));
        suffixes.append(png ? QStringLiteral("png") : QStringLiteral("jpg"));
    }
    for (int i = 0; i < kManyCount; ++i) {
        const int v = i % variants.size();
        const QString path =
            dir + QStringLiteral("/dibujo%1.%2").arg(i, 4, 10, QChar(u'0')).arg(suffixes[v]);
        if (!writeFile(path, variants[v]))
            return false;
    }
    return true;
}

} // namespace

QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    if (jpeg.size() < 4 || quint8(jpeg[0]) != 0xFF || quint8(jpeg[1]) != 0xD8)
        return {};
    // APP1: "Exif\0\0", then a big-endian TIFF header and one IFD with a single SHORT entry,
    // tag 0x0112 (orientation).
    static const unsigned char kTiff[] = {
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08, // byte order, 42, IFD at offset 8
        0x00, 0x01,                                     // one entry
        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, // tag 0x0112, SHORT, count 1
        0x00, 0x00, 0x00, 0x00,                         // value (set below), padding
        0x00, 0x00, 0x00, 0x00,                         // no next IFD
    };
    QByteArray payload("Exif\0\0", 6);
    payload.append(reinterpret_cast<const char *>(kTiff), sizeof kTiff);
    payload[6 + 18] = char(0x00);
    payload[6 + 19] = char(orientation);
    const int length = 2 + int(payload.size());
    QByteArray segment;
    segment.append(char(0xFF));
    segment.append(char(0xE1));
    segment.append(char((length >> 8) & 0xFF));
    segment.append(char(length & 0xFF));
    segment.append(payload);
    QByteArray out = jpeg.left(2);
    out.append(segment);
    out.append(jpeg.mid(2));
    return out;
}

bool writeOffscreenScreen(const QString &path, int width, int height)
{
    const QByteArray json = QStringLiteral(
                                "{ \"synchronousWindowSystemEvents\": false, \"windowFrameMargins\": false,"
                                " \"screens\": [ { \"name\": \"bench\", \"x\": 0, \"y\": 0,"
                                " \"width\": %1, \"height\": %2, \"logicalDpi\": 96,"
                                " \"logicalBaseDpi\": 96, \"dpr\": 1 } ] }\n")
                                .arg(width)
                                .arg(height)
                                .toUtf8();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::ReadOnly) && f.readAll() == json)
        return true;
    f.close();
    return writeFile(path, json);
}

QString prepare(const QString &cache, const QString &shippedData)
{
    const QString app = QDir(cache).absoluteFilePath(QStringLiteral("app"));
    const QString marker = app + QStringLiteral("/.complete");
    {
        QFile f(marker);
        if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed() == kCacheVersion)
            return app;
    }
    std::fprintf(stderr, "Making the benchmark's pictures in %s (once; reused afterwards)\n",
                 qPrintable(app));
    QDir(app).removeRecursively();
    QDir().mkpath(app);
    bool ok = QFile::copy(shippedData + QStringLiteral("/fondo.jpg"), app + QStringLiteral("/fondo.jpg"));
    ok = copyTree(shippedData + QStringLiteral("/idioma"), app + QStringLiteral("/idioma")) && ok;
    for (const QString &set : {QStringLiteral("animales"), QStringLiteral("comida"),
                               QStringLiteral("objetos")})
        ok = copyTree(shippedData + QStringLiteral("/graficos/") + set,
                      app + QStringLiteral("/graficos/") + set)
             && ok;
    if (!ok) {
        std::fprintf(stderr, "could not copy the shipped data from %s\n", qPrintable(shippedData));
        return {};
    }
    if (!makeManySmall(app + QStringLiteral("/graficos/") + kManySet)) {
        std::fprintf(stderr, "could not write the small pictures\n");
        return {};
    }
    if (!makePhotos(app + QStringLiteral("/graficos/") + kPhotoSet)) {
        std::fprintf(stderr, "could not write the photos\n");
        return {};
    }
    if (!writeFile(marker, QByteArray(kCacheVersion) + '\n'))
        return {};
    return app;
}

namespace {

/// Runs the commands, as many at a time as there are cores; false if one fails.
bool runAll(const QList<QStringList> &commands)
{
    std::atomic<int> next{0};
    std::atomic<bool> ok{true};
    std::vector<std::thread> threads;
    for (int t = 0; t < qMax(1, QThread::idealThreadCount()); ++t)
        threads.emplace_back([&] {
            for (int i = next++; i < commands.size(); i = next++) {
                QProcess p;
                p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
                p.start(commands[i].first(), commands[i].mid(1));
                p.readAllStandardOutput();
                if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit
                    || p.exitCode() != 0) {
                    std::fprintf(stderr, "failed: %s\n", qPrintable(commands[i].join(u' ')));
                    ok = false;
                }
            }
        });
    for (auto &t : threads)
        t.join();
    return ok;
}

} // namespace

bool preparePhoneSets(const QString &app)
{
    constexpr const char *kPhoneVersion = "trabel-bench-phone-sets 1";
    const QString photos = app + QStringLiteral("/graficos/") + kPhotoSet;
    const QStringList names = QDir(photos).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    if (names.size() != kPhotoCount)
        return false;
    for (const QString &tool : {QStringLiteral("heif-enc"), QStringLiteral("exiftool")})
        if (QStandardPaths::findExecutable(tool).isEmpty()) {
            std::fprintf(stderr, "%s is missing: install libheif-examples and "
                                 "libimage-exiftool-perl (scripts/install-deps does)\n",
                         qPrintable(tool));
            return false;
        }
    bool ok = true;
    for (const QString &set : {kHeicThumbSet, kHeicSet, kAvifSet, kJpegThumbSet}) {
        const QString dir = app + QStringLiteral("/graficos/") + set;
        const QString marker = dir + QStringLiteral("/.complete");
        {
            QFile f(marker);
            if (f.open(QIODevice::ReadOnly) && f.readAll().trimmed() == kPhoneVersion)
                continue;
        }
        std::fprintf(stderr, "Making %s from the photos (once)\n", qPrintable(set));
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        QList<QStringList> commands;
        if (set == kJpegThumbSet) {
            // The thumbnail is stored the way the photo is (EXIF orientation applies to both).
            const QString thumbs = QDir(app).absoluteFilePath(QStringLiteral("../thumbs"));
            QDir().mkpath(thumbs);
            for (const QString &name : names) {
                QImageReader reader(photos + u'/' + name);
                reader.setAutoTransform(false);
                reader.setScaledSize(QSize(160, 120));
                ok = reader.read().save(thumbs + u'/' + name, "jpeg", 80) && ok;
                ok = QFile::copy(photos + u'/' + name, dir + u'/' + name) && ok;
            }
            commands.append({QStringLiteral("exiftool"), QStringLiteral("-q"),
                             QStringLiteral("-overwrite_original"),
                             QStringLiteral("-ThumbnailImage<=") + thumbs + QStringLiteral("/%f.jpg"),
                             dir});
        } else {
            for (const QString &name : names) {
                const QString base = QFileInfo(name).completeBaseName();
                QStringList c{QStringLiteral("heif-enc"), QStringLiteral("-q"), QStringLiteral("50")};
                if (set == kAvifSet)
                    c << QStringLiteral("-A") << QStringLiteral("-p") << QStringLiteral("speed=8")
                      << QStringLiteral("-o") << dir + u'/' + base + QStringLiteral(".avif");
                else
                    c << QStringLiteral("-p") << QStringLiteral("preset=fast") << QStringLiteral("-o")
                      << dir + u'/' + base + QStringLiteral(".heic");
                if (set == kHeicThumbSet)
                    c << QStringLiteral("-t") << QStringLiteral("320");
                c << photos + u'/' + name;
                commands.append(c);
            }
        }
        ok = runAll(commands) && ok && writeFile(marker, QByteArray(kPhoneVersion) + '\n');
    }
    return ok;
}

} // namespace Fixtures
