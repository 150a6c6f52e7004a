#pragma once

#include <QString>

/// Where each of the game's files lies in the application folder (Platform::appFolder()): the one
/// place that knows the folder's layout.
namespace DataPaths {

/// idioma/idioma.txt: the captions, one per line.
QString languageFile();
/// graficos: the shipped picture sets, one folder each.
QString pictureStore();
/// sonidos/<cue>.wav: a sound cue by name ("abrir", "cerrar", "ganador", "empate", "1" … "12").
QString cue(const QString &name);
/// fondo.jpg: the card back, and fondo@2x.jpg, its drawing for double-density screens.
QString cardBack();
QString cardBackSharp();
/// A file lying in the application folder itself (the first run's numbered pictures).
QString beside(const QString &fileName);

} // namespace DataPaths
