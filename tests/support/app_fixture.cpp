#include "app_fixture.h"

#include <QImage>

#include "thumbnail_cache.h"
#include "thumbnail_key.h"

AppFixture::AppFixture()
{
    Runtime::resetForTests();
    Module1::reset();
    Platform::setAppFolder(m_dir.path());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path())); // never the player's thumbnails
    Twips::setScreen({15360, 11520});
    Sound::setPlayer(&sound);
    Platform::setClock(&clock);
    Runtime::setMessageBoxHandler([this](const QString &text) { messages << text; });
    Runtime::setEndHandler([this] { ++ends; });
    writeLanguage(readFile(TRABEL_SOURCE_DATA "/idioma/idioma.txt"));
}

AppFixture::~AppFixture()
{
    Runtime::resetForTests();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Sound::setPlayer(nullptr);
    Platform::setClock(nullptr);
    Runtime::setMessageBoxHandler({});
    Twips::setScreen({});
    Runtime::setEndHandler({});
    Module1::reset();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("none");
}

QString writeThumbnail(const QString &picture, const char *folder, const QImage &image, qint64 age,
                       const std::function<QByteArray(QByteArray)> &spoil)
{
    const QFileInfo info(picture);
    const QByteArray uri = ThumbnailKey::fileUri(QFile::encodeName(picture));
    QByteArray png;
    QBuffer buffer(&png);
    image.save(&buffer, "png");
    png = ThumbnailKey::withStamp(
        png, {uri, info.lastModified().toSecsSinceEpoch() - age, info.size()}, "test");
    const QString path =
        ThumbnailCache::root() + u'/' + folder + u'/' + ThumbnailKey::fileName(uri);
    writeFile(path, spoil ? spoil(png) : png);
    return path;
}

QStringList snapshot(const QString &root)
{
    QStringList out;
    const auto filter = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (QDirIterator it(root, filter, QDirIterator::Subdirectories); it.hasNext();) {
        const QFileInfo f = it.nextFileInfo();
        const qint64 time = f.lastModified().toMSecsSinceEpoch();
        out << f.filePath() + u' '
                   + (f.isSymLink() ? "link"
                      : f.isDir()   ? "dir"
                                    : QString("%1 %2").arg(f.size()).arg(time));
    }
    out.sort();
    return out;
}

bool AppFixture::writePicture(const QString &path, const QSize &size, const char *format)
{
    static int hue = 0;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((hue += 37) % 360, 200, 220));
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path, format);
}

void AppFixture::makePictureSet(const QString &set, int count, const char *format)
{
    for (int i = 0; i < count; ++i)
        QVERIFY(writePicture(
            path(QString("graficos/%1/dibujo%2.%3").arg(set).arg(i, 2, 10, QChar('0')).arg(format)),
            {48, 36}, format));
}

QByteArray AppFixture::wav(double seconds)
{
    const quint32 bytes = 2 * quint32(seconds * 22050);
    QByteArray b = "RIFF....WAVEfmt " + QByteArray(20, 0) + "data" + QByteArray(4 + bytes, 0);
    const std::pair<int, quint32> fields[] = {{4, 36 + bytes}, {16, 16},    {20, 0x10001},
                                              {24, 22050},     {28, 44100}, {32, 0x100002},
                                              {40, bytes}};
    for (auto [at, value] : fields)
        qToLittleEndian(value, b.data() + at);
    return b;
}

Form2 *openBoard(const QString &name1, const QString &name2, int pairButton, const QString &set)
{
    Runtime::Show<Form5>()->Command1->click();
    Form3 *players = Runtime::loaded<Form3>();
    players->Command1[!name2.isEmpty()]->click();
    (name2.isEmpty() ? players->Text1[0] : players->Text1[1])->setText(name1);
    players->Text2->setText(name2);
    players->Command2->click();
    Form1 *options = Runtime::loaded<Form1>();
    if (!set.isEmpty())
        options->Combo1->setText(set);
    options->Command1[pairButton]->click();
    options->Command2->click();
    return Runtime::loaded<Form2>();
}

QPair<int, int> mismatchedSlots(const Form2 *board)
{
    for (int a = 0; a < 2 * board->TotalPairs(); ++a)
        for (int b = a + 1; b < 2 * board->TotalPairs(); ++b)
            if (board->Image1[a]->isHidden() && board->Image1[b]->isHidden()
                && board->pictureOf(a) != board->pictureOf(b))
                return {a, b};
    return {-1, -1};
}

void clickAllPairs(Form2 *board)
{
    const int cards = 2 * board->TotalPairs();
    for (int k = 0; k < cards; ++k)
        for (int s = k + 1; s < cards && board->Image1[k]->isHidden(); ++s)
            if (board->pictureOf(s) == board->pictureOf(k)) {
                QTest::mouseClick(board->Picture2[k], Qt::LeftButton);
                QTest::mouseClick(board->Picture2[s], Qt::LeftButton);
            }
}

void finishGame(Form2 *board, const std::function<void(Form4 *)> &check, bool carryOn)
{
    clickAllPairs(board);
    bool seen = false;
    whenShown<Form4>([&](Form4 *results) {
        seen = true;
        check(results);
        (carryOn ? results->Command1 : results->Command2)->click();
    });
    board->Timer1_Timer();
    QVERIFY(seen);
}
