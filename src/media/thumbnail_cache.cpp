#include "thumbnail_cache.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QRandomGenerator>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "face_fit.h"
#include "thumbnail_key.h"

using ThumbnailKey::kFolders;

namespace ThumbnailCache {
namespace {

struct Fd
{
    int fd = -1;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

/// The file's stamp, when it is a regular file outside the cache.
bool stampOf(const QString &path, const QString &cache, ThumbnailKey::Stamp *stamp)
{
    const QFileInfo info(path);
    const QString absolute = QDir::cleanPath(info.absoluteFilePath());
    const QString cacheCanonical = QFileInfo(cache).canonicalFilePath();
    // Thumbnails of thumbnails are never made, nor looked for.
    if (absolute.startsWith(cache + u'/')
        || (!cacheCanonical.isEmpty()
            && info.canonicalFilePath().startsWith(cacheCanonical + u'/')))
        return false;
    const QByteArray local = QFile::encodeName(absolute);
    struct stat st
    {};
    if (::stat(local.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *stamp = {ThumbnailKey::fileUri(local), qint64(st.st_mtime), qint64(st.st_size)};
    return true;
}

/// A regular file's bytes, up to kMaxFileBytes; empty for anything else. Opening a pipe does not
/// wait for a writer.
QByteArray readSmallFile(const QString &path)
{
    Fd f{::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    struct stat st
    {};
    if (f.fd < 0 || ::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes)
        return {};
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    for (ssize_t n = 1; got < bytes.size() && n > 0; got += qMax<ssize_t>(n, 0))
        n = ::read(f.fd, bytes.data() + got, size_t(bytes.size() - got));
    return got == bytes.size() ? bytes : QByteArray();
}

/// Opens the folder `name` in `at`, made 0700 if missing; −1 when it is a link or another's.
int openFolder(int at, const char *name)
{
    ::mkdirat(at, name, 0700);
    const int fd = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st
    {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid())) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

QImage fromPng(QByteArray png, const ThumbnailKey::Stamp &stamp, int box, const QSize &natural)
{
    if (!ThumbnailKey::isThumbnailOf(png, stamp))
        return {};
    QBuffer buffer(&png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setDecideFormatFromContent(false);
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > box || size.height() > box
        || !previewMatches(size, natural))
        return {};
    const QImage image = reader.read();
    return image.size() == size ? image : QImage();
}

QString root()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg + QStringLiteral("/thumbnails"));
    const QString home = qEnvironmentVariable("HOME");
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home + QStringLiteral("/.cache/thumbnails"))
                                      : QString();
}

Lookup find(const QString &path, const QSize &natural, const QSize &face)
{
    Lookup out;
    const QString cache = root();
    ThumbnailKey::Stamp stamp;
    if (cache.isEmpty() || face.isEmpty() || natural.isEmpty() || !stampOf(path, cache, &stamp))
        return out;
    const int target = ThumbnailKey::folderCovering(face);
    if (target >= 0
        && (natural.width() > kFolders[target].box || natural.height() > kFolders[target].box))
        out.storeBox = kFolders[target].box;
    // The covering folders smallest first (the quickest to decode), then the others largest first.
    QList<int> order;
    for (int i = qMax(target, 0); target >= 0 && i < ThumbnailKey::kFolderCount; ++i)
        order << i;
    for (int i = (target >= 0 ? target : ThumbnailKey::kFolderCount) - 1; i >= 0; --i)
        order << i;
    const QString name = ThumbnailKey::fileName(stamp.uri);
    for (const int i : order) {
        const QString file = cache + u'/' + QLatin1String(kFolders[i].name) + u'/' + name;
        const QImage thumb = fromPng(readSmallFile(file), stamp, kFolders[i].box, natural);
        if (thumb.isNull())
            continue;
        if (i == target)
            out.storeBox = 0;
        out.fits = (thumb.width() >= face.width() && thumb.height() >= face.height())
                   || thumb.size() == natural;
        out.image = thumb.scaled(face, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        break;
    }
    return out;
}

bool store(const QString &path, const QImage &thumbnail, int box)
{
    const QString cache = root();
    const auto folder = std::find_if(std::begin(kFolders), std::end(kFolders),
                                     [box](const ThumbnailKey::Folder &f) { return f.box == box; });
    ThumbnailKey::Stamp stamp;
    if (cache.isEmpty() || folder == std::end(kFolders) || thumbnail.isNull()
        || thumbnail.width() > box || thumbnail.height() > box || !stampOf(path, cache, &stamp))
        return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(
        70); // a low zlib level: several times quicker than the default, a little larger
    if (!writer.write(thumbnail))
        return false;
    png = ThumbnailKey::withStamp(png, stamp, "Trabel");

    // The cache's own folder (~/.cache) may be a link, as people move it to another disk; the
    // thumbnails folder and its size folders are never followed.
    const QByteArray parent = QFile::encodeName(QFileInfo(cache).path());
    ::mkdir(parent.constData(), 0700);
    const Fd base{::open(parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    const Fd thumbs{base.fd < 0 ? -1 : openFolder(base.fd, "thumbnails")};
    const Fd dir{thumbs.fd < 0 ? -1 : openFolder(thumbs.fd, folder->name)};
    if (dir.fd < 0)
        return false;
    const QByteArray name = QFile::encodeName(ThumbnailKey::fileName(stamp.uri));
    const QByteArray temporary =
        name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16);
    bool written = false;
    {
        const Fd out{::openat(dir.fd, temporary.constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)};
        if (out.fd < 0)
            return false;
        qsizetype done = 0;
        for (ssize_t n = 1; done < png.size() && n > 0; done += qMax<ssize_t>(n, 0))
            n = ::write(out.fd, png.constData() + done, size_t(png.size() - done));
        written = done == png.size() && ::fchmod(out.fd, 0600) == 0;
    }
    if (written && ::renameat(dir.fd, temporary.constData(), dir.fd, name.constData()) == 0)
        return true;
    ::unlinkat(dir.fd, temporary.constData(), 0);
    return false;
}

} // namespace ThumbnailCache
