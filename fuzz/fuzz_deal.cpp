// libFuzzer target: a picture folder of fuzzed files, listed, dealt and decoded as the board does.
// Byte 0 chooses the pairs, bytes 1-4 seed the deal, the rest is split at "--8<--" into up to 30
// files named by their first byte (20 extensions; hidden, a file-manager file, from 0xF0 a folder).
// Only files are listed and probed once, only readable pictures dealt, faces decoded as asked.
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstdlib>

#include "deal.h"
#include "files.h"
#include "pictures.h"
#include "random_source.h"

static QString fileName(int index, quint8 selector)
{
    static const char *const kSuffixes[] = {
        ".png", ".jpg", ".gif", ".bmp",  ".jpeg", ".tif", ".webp", ".svg", ".ico", ".tga",
        ".ppm", ".xpm", ".xbm", ".icns", ".wbmp", ".txt", "",      ".PNG", ".GIF", ".svgz"};
    const QString file = QString::asprintf("f%02d", index) + kSuffixes[selector % 20];
    if ((selector / 20) % 8 == 1)
        return QLatin1String(index % 2 ? "Thumbs.db" : "desktop.ini");
    return (selector / 20) % 8 == 0 ? u'.' + file : file;
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz_deal", *argv[] = {name, nullptr};
    static QGuiApplication app((qputenv("QT_QPA_PLATFORM", "offscreen"), argc), argv);
    // The image readers warn about every broken file.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const int pairs = 1 + data[0] % 21;
    SeededRandom random(qFromLittleEndian<quint32>(data + 1));
    const QByteArray rest(reinterpret_cast<const char *>(data + 5), qsizetype(size - 5));
    const QTemporaryDir set;
    const QString dir = set.path();
    for (qsizetype pos = 0, i = 0; i < 30 && pos <= rest.size(); ++i) {
        const qsizetype cut = rest.indexOf("--8<--", pos), end = cut < 0 ? rest.size() : cut;
        const QByteArray chunk = rest.mid(pos, end - pos);
        pos = end + 6;
        const quint8 selector = chunk.isEmpty() ? 0 : quint8(chunk[0]);
        QFile f(dir + u'/' + fileName(int(i), selector));
        if (selector >= 0xF0)
            QDir().mkpath(f.fileName());
        else if (f.open(QIODevice::WriteOnly))
            f.write(chunk.mid(1));
    }
    QStringList names = Files::fileNames(dir);
    names.removeIf([](const QString &name) { return !Deck::isListedPicture(name); });
    QHash<int, QSize> natural;
    const Deal deal = Deck::DealCards(pairs, int(names.size()), random, [&](int i) {
        if (!QFileInfo(dir + u'/' + names[i]).isFile() || natural.contains(i))
            std::abort(); // a folder listed, or a picture probed twice
        return natural.insert(i, Pictures::naturalSize(dir + u'/' + names[i])).value().isValid();
    });
    for (int p : deal.PictureOf) {
        // A 21-pair face is 140 × 122 pixels at most.
        const QSize n = natural.value(p), pixels = n.scaled(140, 122, Qt::KeepAspectRatio);
        const QImage face = Pictures::loadScaled(dir + u'/' + names[p], pixels);
        if (!n.isValid() || (!face.isNull() && face.size() != pixels))
            std::abort(); // an unreadable picture dealt, or a face decoded at another size
    }
    return 0;
}
