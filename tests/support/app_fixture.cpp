#include "app_fixture.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QtTest>

#include "board_screen.h"
#include "form.h"
#include "module1.h"
#include "platform.h"

namespace {

bool copyTree(const QString &from, const QString &to)
{
    QDir src(from);
    if (!src.exists())
        return false;
    QDir().mkpath(to);
    bool ok = true;
    for (const QFileInfo &fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + u'/' + fi.fileName();
        if (fi.isDir())
            ok = copyTree(fi.filePath(), target) && ok;
        else
            ok = QFile::copy(fi.filePath(), target) && ok;
    }
    return ok;
}

} // namespace

AppFixture::AppFixture()
{
    Runtime::resetForTests();
    Module1::reset();
    Platform::setAppFolder(m_dir.path());
    Platform::setScreenTwips(QSize(15360, 11520));
    Platform::setSound(&sound);
    Platform::setClock(&clock);
    Platform::setRandom(nullptr);
    Platform::setMessageBoxHandler([this](const QString &text) { messages.append(text); });
    Runtime::setEndHandler([this] { ++ends; });
}

AppFixture::~AppFixture()
{
    Runtime::resetForTests();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Platform::setSound(nullptr);
    Platform::setClock(nullptr);
    Platform::setRandom(nullptr);
    Platform::setMessageBoxHandler({});
    Platform::setScreenTwips(QSize());
    Runtime::setEndHandler({});
    Module1::reset();
}

QString AppFixture::path(const QString &relative) const
{
    return m_dir.path() + u'/' + relative;
}

void AppFixture::writeLanguage(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &l : lines)
        bytes += l.toLatin1() + "\r\n";
    writeLanguageBytes(bytes);
}

void AppFixture::writeLanguageBytes(const QByteArray &bytes)
{
    QDir().mkpath(path(QStringLiteral("idioma")));
    QFile f(path(QStringLiteral("idioma/idioma.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void AppFixture::useShippedLanguage()
{
    QDir().mkpath(path(QStringLiteral("idioma")));
    QVERIFY(QFile::copy(QStringLiteral(TRABEL_SOURCE_DATA "/idioma/idioma.txt"),
                        path(QStringLiteral("idioma/idioma.txt"))));
}

void AppFixture::useShippedBack()
{
    QVERIFY(QFile::copy(QStringLiteral(TRABEL_SOURCE_DATA "/fondo.jpg"),
                        path(QStringLiteral("fondo.jpg"))));
}

void AppFixture::useShippedSounds()
{
    QVERIFY(copyTree(QStringLiteral(TRABEL_SOURCE_DATA "/sonidos"), path(QStringLiteral("sonidos"))));
}

void AppFixture::useShippedSet(const QString &name)
{
    QVERIFY(copyTree(QStringLiteral(TRABEL_SOURCE_DATA "/graficos/") + name,
                     path(QStringLiteral("graficos/") + name)));
}

bool AppFixture::writePicture(const QString &path, const QSize &size, const QColor &colour,
                              const QByteArray &format)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    QPainter p(&img);
    p.setPen(colour.lightness() > 128 ? Qt::black : Qt::white);
    p.drawRect(img.rect().adjusted(2, 2, -3, -3));
    p.end();
    return img.save(path, format.constData());
}

QStringList AppFixture::makePictureSet(const QString &set, int count, const QByteArray &format,
                                       const QSize &size)
{
    const QString dir = path(QStringLiteral("graficos/") + set);
    QDir().mkpath(dir);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("dibujo%1.%2").arg(i, 2, 10, QChar(u'0')).arg(
            QString::fromLatin1(format == "jpeg" ? QByteArray("jpg") : format));
        const QColor c = QColor::fromHsv((i * 37) % 360, 160 + (i % 3) * 40, 200);
        if (!writePicture(dir + u'/' + name, size, c, format))
            qWarning("could not write %s", qPrintable(name));
        names.append(name);
    }
    return names;
}

QList<int> slotsOfPicture(const Form2 *board, const QString &picture)
{
    QList<int> out;
    for (int k = 0; k < 2 * board->TotalPairs(); ++k)
        if (board->CardPicture()[k] == picture)
            out.append(k);
    return out;
}

void clickAllPairs(Form2 *board)
{
    QPointer<Form2> guard(board);
    const int count = 2 * board->TotalPairs();
    for (int k = 0; k < count && guard; ++k) {
        if (board->game().faceUp[k])
            continue;
        const QList<int> pair = slotsOfPicture(board, board->CardPicture()[k]);
        for (int s : pair) {
            if (guard && !board->game().faceUp[s])
                board->picture2_Click(s);
        }
    }
}

QPair<int, int> mismatchedSlots(const Form2 *board)
{
    const int count = 2 * board->TotalPairs();
    for (int a = 0; a < count; ++a) {
        if (board->game().faceUp[a])
            continue;
        for (int b = a + 1; b < count; ++b)
            if (!board->game().faceUp[b] && board->CardPicture()[a] != board->CardPicture()[b])
                return {a, b};
    }
    return {-1, -1};
}
