// libFuzzer target: a picture folder made of fuzzed files, listed and dealt as the board does.
//
// Input: byte 0 chooses the pairs (1..21), bytes 1-4 seed the deal's random source, the rest is
// split at "--8<--" into up to 30 files. Each file's first byte chooses its name (extension,
// hidden, file-manager leftovers, a folder instead of a file); the remaining bytes are its content.
//
// The folder is listed with Files::fileNames and Deck::isListedPicture, then dealt with a probe
// that reads each drawn picture's natural size, and every dealt picture is decoded at the size its
// card would show it. Checked: the deal's own promises (distinct, readable pictures; a permutation
// of the slots; pictures set aside only when unreadable) and that a decoded face has the size
// asked for.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "board_grid.h"
#include "deal.h"
#include "face_fit.h"
#include "files.h"
#include "pictures.h"
#include "random_source.h"

namespace {

QTemporaryDir *g_root = nullptr;

constexpr int kMaxFiles = 30;
const QByteArray kSeparator("--8<--");

[[noreturn]] void fail(const char *what, long value = 0)
{
    std::fprintf(stderr, "deal: %s (%ld)\n", what, value);
    std::abort();
}

QString fileName(int index, quint8 selector)
{
    static const char *const kSuffixes[] = {"png", "jpg", "gif", "bmp", "jpeg", "tif", "webp",
                                            "svg", "ico", "tga", "ppm", "xpm", "xbm", "icns",
                                            "wbmp", "txt", "", "PNG", "GIF", "svgz"};
    constexpr int n = int(sizeof kSuffixes / sizeof *kSuffixes);
    const QString suffix = QLatin1String(kSuffixes[selector % n]);
    const QString base = QStringLiteral("f%1").arg(index, 2, 10, QChar(u'0'));
    switch ((selector / n) % 8) {
    case 0:
        return QStringLiteral(".") + base + u'.' + suffix; // hidden
    case 1:
        return index % 2 ? QStringLiteral("Thumbs.db") : QStringLiteral("desktop.ini");
    default:
        return suffix.isEmpty() ? base : base + u'.' + suffix;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_deal";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    // The image readers warn about every broken file; TRABEL_FUZZ_VERBOSE shows them.
    if (qEnvironmentVariableIsEmpty("TRABEL_FUZZ_VERBOSE"))
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    g_root = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 5)
        return 0;
    const int pairs = 1 + data[0] % 21;
    const quint32 seed = quint32(data[1]) | quint32(data[2]) << 8 | quint32(data[3]) << 16
                         | quint32(data[4]) << 24;
    const QByteArray rest(reinterpret_cast<const char *>(data + 5), qsizetype(size - 5));

    // The folder.
    const QString dir = g_root->filePath(QStringLiteral("set"));
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    qsizetype pos = 0;
    for (int i = 0; i < kMaxFiles && pos <= rest.size(); ++i) {
        qsizetype end = rest.indexOf(kSeparator, pos);
        if (end < 0)
            end = rest.size();
        const QByteArray chunk = rest.mid(pos, end - pos);
        pos = end + kSeparator.size();
        const quint8 selector = chunk.isEmpty() ? 0 : quint8(chunk[0]);
        const QString name = fileName(i, selector);
        const QString path = dir + u'/' + name;
        if (selector >= 0xF0) {
            QDir().mkpath(path); // a folder where a picture might be
            continue;
        }
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(chunk.mid(1));
    }

    // The listing, as the board's file list takes it.
    QStringList names;
    for (const QString &name : Files::fileNames(dir))
        if (Deck::isListedPicture(name))
            names.append(name);
    for (const QString &name : names)
        if (!QFileInfo(dir + u'/' + name).isFile())
            fail("a folder was listed as a file");
    (void)Files::subFolders(dir);

    // The deal.
    SeededRandom random(seed);
    QHash<int, QSize> natural;
    int probes = 0;
    const Deal deal = Deck::DealCards(pairs, int(names.size()), random, [&](int index) {
        if (index < 0 || index >= names.size())
            fail("probe outside the listing", index);
        if (natural.contains(index))
            fail("the same picture probed twice", index);
        ++probes;
        const QSize s = Pictures::naturalSize(dir + u'/' + names[index]);
        if (s.isValid() && (s.isEmpty() || qint64(s.width()) * s.height() > Pictures::kMaxJpegPixels))
            fail("an unusable size was reported as valid", s.width());
        natural.insert(index, s);
        return s.isValid();
    });

    int readable = 0;
    for (auto it = natural.cbegin(); it != natural.cend(); ++it)
        readable += it.value().isValid() ? 1 : 0;
    if (deal.tooFew) {
        if (!deal.PictureOf.isEmpty())
            fail("pictures kept from a deal that failed");
        // Only when there really were too few: the readable ones found and the entries not yet
        // tried cannot make up the pairs.
        if (readable + (names.size() - probes) >= pairs)
            fail("gave up while enough pictures might still be readable", probes);
        return 0;
    }
    if (deal.PictureOf.size() != pairs || deal.SlotOrder.size() != 2 * pairs)
        fail("wrong deal size", deal.PictureOf.size());
    QList<bool> seenPicture(names.size(), false);
    for (int p : deal.PictureOf) {
        if (p < 0 || p >= names.size() || seenPicture[p])
            fail("a picture dealt twice or outside the listing", p);
        seenPicture[p] = true;
        if (!natural.value(p).isValid() || deal.setAside.contains(p))
            fail("an unreadable picture was dealt", p);
    }
    for (int p : deal.setAside)
        if (natural.value(p, QSize(1, 1)).isValid())
            fail("a readable picture was set aside", p);
    QList<bool> seenSlot(2 * pairs, false);
    for (int s : deal.SlotOrder) {
        if (s < 0 || s >= 2 * pairs || seenSlot[s])
            fail("the slots are not a permutation", s);
        seenSlot[s] = true;
    }
    for (int k = 0; k < 2 * pairs; ++k)
        if (deal.CardPicture[deal.SlotOrder[k]] != QString::number(deal.PictureOf[k / 2]))
            fail("a card shows the wrong picture", k);

    // The faces, at the size the board's cards of this many pairs show them.
    int option = 0;
    while (option < 4 && pairsForOption(option) < pairs)
        ++option;
    const GridLayout grid = layoutGrid(option, 15360, 11520);
    for (int p : deal.PictureOf) {
        const QSize n = natural.value(p);
        const FaceFit fit = fitFace(grid.slotWidth, grid.slotHeight, qint64(n.width()) * 15,
                                    qint64(n.height()) * 15);
        const QSize pixels(qMax(1, (fit.width + 7) / 15), qMax(1, (fit.height + 7) / 15));
        const QImage face = Pictures::loadScaled(dir + u'/' + names[p], pixels);
        if (!face.isNull() && face.size() != pixels)
            fail("a face was not decoded at the size asked for", face.width());
        if (!face.isNull() && qMax(pixels.width(), pixels.height()) > Pictures::kMaxScaledSide)
            fail("a face was decoded longer than the limit", pixels.height());
    }
    return 0;
}
