#include "picture_sets.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

#include "data_paths.h"
#include "deal.h"
#include "files.h"

namespace PictureSets {
namespace {

/// Whether a folder directly holds at least `wanted` files that the board's listing takes. Stops
/// at the wanted count: a Pictures folder of large albums is scanned in a moment.
bool holdsAtLeast(const QString &folder, int wanted)
{
    QDirIterator it(folder, QDir::Files); // as the board lists: plain and linked files, not hidden
    while (wanted > 0 && it.hasNext())
        if (Deck::isListedPicture(it.nextFileInfo().fileName()))
            --wanted;
    return wanted == 0;
}

} // namespace

QString shippedFolder()
{
    return DataPaths::pictureStore();
}

QString ownFolder()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/trabel/graficos"));
}

QString picturesFolder()
{
    QString path = QString::fromLocal8Bit(qgetenv("XDG_PICTURES_DIR"));
    if (!QDir::isAbsolutePath(path))
        path = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    path = QDir::cleanPath(path);
    if (path.isEmpty() || path == QDir::cleanPath(QDir::homePath()))
        return {};
    return path;
}

QStringList albums(const QString &folder)
{
    QStringList out;
    const int wanted = Deck::SetPairCount(0);
    for (const QString &album : Files::subFolders(folder))
        if (holdsAtLeast(album, wanted))
            out.append(album);
    return out;
}

QStringList names(const QStringList &shipped)
{
    QStringList out;
    for (const QString &folder : shipped)
        out.append(QFileInfo(folder).fileName());
    const QString pictures = picturesFolder();
    for (const QString &folder :
         Files::subFolders(ownFolder()) + (pictures.isEmpty() ? QStringList() : albums(pictures))) {
        const QString name = QFileInfo(folder).fileName();
        if (!out.contains(name))
            out.append(name);
    }
    return out;
}

QString folder(const QString &name)
{
    if (name.startsWith(QStringLiteral("~/")))
        return QDir::cleanPath(QDir::homePath() + name.mid(1));
    if (name.startsWith(u'/'))
        return QDir::cleanPath(name);
    const QString shipped = shippedFolder() + u'/' + name;
    if (name.isEmpty() || QFileInfo(shipped).isDir())
        return shipped;
    const QString pictures = picturesFolder();
    for (const QString &base : {ownFolder(), pictures}) {
        const QString candidate = base + u'/' + name;
        if (!base.isEmpty() && QFileInfo(candidate).isDir())
            return candidate;
    }
    return shipped;
}

} // namespace PictureSets
