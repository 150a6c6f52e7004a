#include "data_paths.h"

#include "platform.h"

namespace DataPaths {
namespace {

QString inAppFolder(const QString &relative)
{
    return Platform::appFolder() + u'/' + relative;
}

} // namespace

QString languageFile()
{
    return inAppFolder(QStringLiteral("idioma/idioma.txt"));
}

QString pictureStore()
{
    return inAppFolder(QStringLiteral("graficos"));
}

QString cue(const QString &name)
{
    return inAppFolder(QStringLiteral("sonidos/") + name + QStringLiteral(".wav"));
}

QString cardBack()
{
    return inAppFolder(QStringLiteral("fondo.jpg"));
}

QString cardBackSharp()
{
    return inAppFolder(QStringLiteral("fondo@2x.jpg"));
}

QString beside(const QString &fileName)
{
    return inAppFolder(fileName);
}

} // namespace DataPaths
