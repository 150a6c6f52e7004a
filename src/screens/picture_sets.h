#pragma once

#include <QString>
#include <QStringList>

/// Where a picture set's name becomes a folder: the sets the game ships, in the application
/// folder's graficos, come first; then the players' own, which an installed copy keeps in their
/// data folder.
namespace PictureSets {

/// The shipped sets' folder: graficos in the application folder.
QString shippedFolder();

/// The players' own sets: trabel/graficos in the user's data folder (XDG_DATA_HOME, by default
/// ~/.local/share). It may not exist.
QString ownFolder();

/// The names to offer: the folder names of `shipped` (the shipped sets' folders, as listed), then
/// the players' own sets, by name, that the game does not ship.
QStringList names(const QStringList &shipped);

/// The folder a set is dealt from: the shipped set of that name, or the players' own when the game
/// ships none; with the empty name, the shipped folder itself.
QString folder(const QString &name);

} // namespace PictureSets
