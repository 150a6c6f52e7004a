#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform.h"
#include "colours_fonts.h"
#include "runtime_dir.h"
#include "title_screen.h"

int main(int argc, char *argv[])
{
    Platform::tuneAllocator();
    RuntimeDir::prepare();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trabel"));
    QApplication::setFont(designFont(8.25, false));

    // Qt's own texts (the message box's button) in Spanish, like the rest of the game.
    QTranslator qtSpanish;
    if (qtSpanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);

    Runtime::Show<Form5>();
    const int code = Runtime::ended() ? 0 : QApplication::exec();
    Platform::shutdown();
    return code;
}
