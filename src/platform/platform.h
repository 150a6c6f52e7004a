#pragma once

#include <QSize>
#include <QString>
#include <functional>

class RandomSource;
class Clock;
class LanguageFile;
class SoundPlayer;

/// The runtime's services, worked out once at start-up and replaceable by tests.
namespace Platform {

/// Twips in one logical pixel.
constexpr int kTwipsPerPixel = 15;

/// The application folder: the executable's folder, without a trailing separator.
QString appFolder();
void setAppFolder(const QString &folder);
/// The application folder followed by a relative path written with backslashes
/// ("\\idioma\\idioma.txt"); the one place where such paths become real paths.
QString appPath(const QString &relative);

/// The language file, \idioma\idioma.txt in the application folder, opened anew: its first
/// `lines` lines.
LanguageFile languageFile(int lines);

/// Size of the whole primary screen, in twips.
QSize screenTwips();
/// Fixes the screen size that screenTwips() reports (tests); an empty size goes back to the screen.
void setScreenTwips(const QSize &size);

/// The random source shared by the board's draws.
RandomSource &random();
void setRandom(RandomSource *source); ///< nullptr restores the program's own source

/// Seconds since midnight, fractional.
Clock &clock();
void setClock(Clock *clock); ///< nullptr restores the system clock

/// The sound cues' player.
SoundPlayer &sound();
void setSound(SoundPlayer *player); ///< nullptr restores the program's own player

/// Runs the handlers of pending user-interface events.
void processEvents();

/// A message box with one OK button and the application's title; returns once it is closed.
void messageBox(const QString &text);
/// Replaces the message box (tests); an empty function restores the real one.
void setMessageBoxHandler(std::function<void(const QString &)> handler);

/// Process-wide allocator settings for the background decodes of a long series (glibc); the
/// environment's own settings win. Called once, first thing in main().
void tuneAllocator();

/// Releases what the services hold (the audio device).
void shutdown();

} // namespace Platform
