#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "accessible_controls.h"
#include "board_accessibility.h"
#include "colours_fonts.h"
#include "platform.h"
#include "sound.h"
#include "title_screen.h"

int main(int argc, char *argv[])
{
    Platform::tuneAllocator();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trabel"));
    QApplication::setFont(designFont(8.25, false));
    // How the windows read to a screen reader; the board's own description is installed last.
    Accessible::install();
    BoardAccessibility::install();

    // Qt's own texts (the message box's button) in Spanish, like the rest of the game.
    QTranslator qtSpanish;
    if (qtSpanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    Runtime::Show<Form5>();
    const int code = Runtime::ended() ? 0 : QApplication::exec();
    Sound::shutdown();
    return code;
}
