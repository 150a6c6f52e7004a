#include "files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace Files {

QStringList subFolders(const QString &folder)
{
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    QStringList out;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &fi : entries)
        out.append(fi.filePath());
    return out;
}

QStringList fileNames(const QString &folder)
{
    QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return {};
    return dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString lookUpDirectory(const QString &path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    const bool trailing = p.endsWith(u'/');
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    const QFileInfo fi(p);
    if (!fi.exists() || (trailing && !fi.isDir()))
        return {};
    return trailing ? QStringLiteral(".") : fi.fileName();
}

bool makeFolder(const QString &path)
{
    QString p = path;
    p.replace(u'\\', u'/');
    return QDir().mkdir(p);
}

bool moveFile(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return false;
    return QFile::rename(from, to);
}

} // namespace Files
