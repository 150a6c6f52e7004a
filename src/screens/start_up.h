#pragma once

class QApplication;

/// The program's start, shared by main() and the benchmark's start-up figure.
namespace StartUp {

/// Before the application is made: the allocator's settings and, on a Wayland session, the window
/// system the game prefers. A platform the player chose (QT_QPA_PLATFORM) wins.
void beforeApplication();

/// Once the application is made: its names for the desktop, the font, how the windows read to a
/// screen reader, and Qt's own texts in Spanish.
void prepare(QApplication &app);

} // namespace StartUp
