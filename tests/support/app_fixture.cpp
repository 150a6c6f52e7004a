#include "app_fixture.h"

#include <QDir>
#include <QImage>
#include <QtEndian>
#include <QtTest>
#include <cmath>

#include "board_screen.h"
#include "module1.h"
#include "options_screen.h"
#include "platform.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"

AppFixture::AppFixture() {
    Runtime::resetForTests();
    Module1::reset();
    Platform::setAppFolder(m_dir.path());
    Platform::setScreenTwips(QSize(15360, 11520));
    Platform::setSound(&sound);
    Platform::setClock(&clock);
    Platform::setMessageBoxHandler([this](const QString &text) { messages.append(text); });
    Runtime::setEndHandler([this] { ++ends; });
}

AppFixture::~AppFixture() {
    Runtime::resetForTests();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Platform::setSound(nullptr);
    Platform::setClock(nullptr);
    Platform::setMessageBoxHandler({});
    Platform::setScreenTwips(QSize());
    Runtime::setEndHandler({});
    Module1::reset();
}

void AppFixture::writeLanguage(const QByteArray &bytes) {
    QDir().mkpath(path(QStringLiteral("idioma")));
    QFile f(path(QStringLiteral("idioma/idioma.txt")));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

void AppFixture::useShippedLanguage() {
    QFile f(QStringLiteral(TRABEL_SOURCE_DATA "/idioma/idioma.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    writeLanguage(f.readAll());
}

void AppFixture::useShippedBack() {
    QVERIFY(QFile::copy(QStringLiteral(TRABEL_SOURCE_DATA "/fondo.jpg"),
                        path(QStringLiteral("fondo.jpg"))));
}

bool AppFixture::writePicture(const QString &path, const QSize &size, const char *format) {
    static int hue = 0;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((hue += 37) % 360, 200, 220));
    return image.save(path, format);
}

QByteArray AppFixture::tone(double seconds, double hz) {
    const int frames = int(seconds * 22050);
    QByteArray out(44 + 2 * frames, '\0');
    char *p = out.data();
    memcpy(p, "RIFF", 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    memcpy(p + 36, "data", 4);
    const auto u32 = [p](int at, quint32 v) { qToLittleEndian(v, p + at); };
    const auto u16 = [p](int at, quint16 v) { qToLittleEndian(v, p + at); };
    u32(4, 36 + 2 * frames), u32(16, 16), u16(20, 1), u16(22, 1), u32(24, 22050), u32(28, 44100);
    u16(32, 2), u16(34, 16), u32(40, 2 * frames);
    for (int i = 0; i < frames; ++i)
        qToLittleEndian(qint16(12000 * std::sin(2 * M_PI * hz * i / 22050)), p + 44 + 2 * i);
    return out;
}

QStringList AppFixture::makePictureSet(const QString &set, int count, const char *format) {
    const QString dir = path(QStringLiteral("graficos/") + set + u'/');
    QDir().mkpath(dir);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        names.append(
            QStringLiteral("dibujo%1.%2").arg(i, 2, 10, QChar(u'0')).arg(QLatin1String(format)));
        if (!writePicture(dir + names.last(), QSize(48, 36), format))
            qWarning("could not write %s", qPrintable(names.last()));
    }
    return names;
}

Form2 *openBoard(const QString &name1, const QString &name2, int pairButton, const QString &set) {
    Form5 *title = Runtime::Show<Form5>();
    if (!title)
        return nullptr;
    title->Command1->click();
    Form3 *players = Runtime::loaded<Form3>();
    if (!players)
        return nullptr;
    const bool two = !name2.isEmpty();
    players->Command1[two]->click();
    (two ? players->Text1[1] : players->Text1[0])->setText(name1);
    players->Text2->setText(name2);
    players->Command2->click();
    Form1 *options = Runtime::loaded<Form1>();
    if (!options)
        return nullptr;
    if (!set.isEmpty())
        options->Combo1->setText(set);
    options->Command1[pairButton]->click();
    options->Command2->click();
    return Runtime::loaded<Form2>();
}

void finishGame(Form2 *board, const std::function<void(Form4 *)> &check, bool carryOn) {
    clickAllPairs(board);
    QVERIFY(board->Timer1->isActive());
    bool seen = false;
    whenShown<Form4>([&](Form4 *results) {
        seen = true;
        check(results);
        (carryOn ? results->Command1 : results->Command2)->click();
    });
    board->Timer1_Timer();
    QVERIFY(seen);
}

void clickAllPairs(Form2 *board) {
    const int cards = 2 * board->TotalPairs();
    for (int k = 0; k < cards; ++k)
        for (int s = k + 1; s < cards && board->Image1[k]->isHidden(); ++s)
            if (board->CardPicture()[s] == board->CardPicture()[k]) {
                QTest::mouseClick(board->Picture2[k], Qt::LeftButton);
                QTest::mouseClick(board->Picture2[s], Qt::LeftButton);
            }
}

QPair<int, int> mismatchedSlots(const Form2 *board) {
    for (int a = 0; a < 2 * board->TotalPairs(); ++a)
        for (int b = a + 1; b < 2 * board->TotalPairs(); ++b)
            if (board->Image1[a]->isHidden() && board->Image1[b]->isHidden() &&
                board->CardPicture()[a] != board->CardPicture()[b])
                return {a, b};
    return {-1, -1};
}
