#include "picture_sets.h"

#include <QDir>
#include <QFileInfo>

#include "files.h"
#include "platform.h"

namespace PictureSets {

QString shippedFolder()
{
    return Platform::appPath(QStringLiteral("\\graficos"));
}

QString ownFolder()
{
    QString base = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/trabel/graficos"));
}

QStringList names(const QStringList &shipped)
{
    QStringList out;
    for (const QString &folder : shipped)
        out.append(QFileInfo(folder).fileName());
    for (const QString &folder : Files::subFolders(ownFolder())) {
        const QString name = QFileInfo(folder).fileName();
        if (!out.contains(name))
            out.append(name);
    }
    return out;
}

QString folder(const QString &name)
{
    const QString shipped = shippedFolder() + u'/' + name;
    const QString own = ownFolder() + u'/' + name;
    if (!name.isEmpty() && !QFileInfo(shipped).isDir() && QFileInfo(own).isDir())
        return own;
    return shipped;
}

} // namespace PictureSets
