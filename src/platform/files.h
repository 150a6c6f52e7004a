#pragma once

#include <QString>
#include <QStringList>

/// Folder listings and the few changes the program makes on disk.
namespace Files {

/// Full paths of a folder's sub-folders, by name regardless of case; hidden ones left out. Empty if
/// it can't be read.
QStringList subFolders(const QString &folder);

/// Names of a folder's files, by name regardless of case; hidden ones left out. Empty if it can't
/// be read.
QStringList fileNames(const QString &folder);

/// Looks a path up with the directory attribute: the entry's bare name (or "." for a folder
/// path ending in a separator) when a folder is there, the empty text when nothing matches.
QString lookUpDirectory(const QString &path);

/// Creates a folder; false if it could not.
bool makeFolder(const QString &path);

/// Moves a file to another path. Never overwrites: false when the target exists or the move fails.
bool moveFile(const QString &from, const QString &to);

} // namespace Files
