#pragma once

#include <QString>
#include <QStringList>

/// Where a picture set's name becomes a folder: the sets the game ships, in the application
/// folder's graficos, come first; then the players' own, which an installed copy keeps in their
/// data folder; then the albums of their Pictures folder. A folder path deals from that folder.
/// These folders are only ever read.
namespace PictureSets {

/// The shipped sets' folder: graficos in the application folder.
QString shippedFolder();

/// The players' own sets: trabel/graficos in the user's data folder (XDG_DATA_HOME, by default
/// ~/.local/share). It may not exist.
QString ownFolder();

/// The player's Pictures folder: XDG_PICTURES_DIR from the environment, else as user-dirs.dirs
/// sets it (by default ~/Pictures). Empty when it is the home folder itself, which is how
/// user-dirs.dirs turns a folder off.
QString picturesFolder();

/// The sub-folders of `folder` that directly hold enough files for the smallest board, counted by
/// the deal's listing rule on names alone: full paths, by name.
QStringList albums(const QString &folder);

/// The names to offer: the folder names of `shipped` (the shipped sets' folders, as listed), then
/// the players' own sets, then the Pictures albums, each by a name not already offered.
QStringList names(const QStringList &shipped);

/// The folder a set is dealt from: a folder path (absolute, or starting with "~/") as it is;
/// otherwise the shipped set of that name, else the players' own, else the Pictures album, in
/// that order, and the shipped set's place when there is none; with the empty name, the shipped
/// folder itself.
QString folder(const QString &name);

} // namespace PictureSets
