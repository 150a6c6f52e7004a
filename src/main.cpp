#include <QApplication>

#include "form.h"
#include "sound.h"
#include "start_up.h"
#include "title_screen.h"

int main(int argc, char *argv[])
{
    StartUp::beforeApplication();
    QApplication app(argc, argv);
    StartUp::prepare(app);
    Runtime::Show<Form5>();
    const int code = Runtime::ended() ? 0 : QApplication::exec();
    Sound::shutdown();
    return code;
}
