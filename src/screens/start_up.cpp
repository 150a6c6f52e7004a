#include "start_up.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "accessible_controls.h"
#include "board_accessibility.h"
#include "colours_fonts.h"
#include "platform.h"

namespace StartUp {

void beforeApplication()
{
    Platform::tuneAllocator();
    // On a Wayland session the game goes through XWayland when it can: there it places its
    // windows itself and the desktop draws their frames.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void prepare(QApplication &app)
{
    // The desktop ties the windows to the menu entry by these: the class of X11 windows (taken
    // from the application's name) and the Wayland app id.
    QApplication::setApplicationName(QStringLiteral("Trabel"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Trabel"));
    QApplication::setFont(designFont(8.25, false));
    // How the windows read to a screen reader; the board's own description is installed last.
    Accessible::install();
    BoardAccessibility::install();
    // Qt's own texts (the message box's button) in Spanish, like the rest of the game.
    auto *qtSpanish = new QTranslator(&app);
    if (qtSpanish->load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtSpanish);
}

} // namespace StartUp
