// The board's cards: the grid of slots, the deal, the faces fitted into their slots, the files of a
// set that take part, their thumbnails' names (from GLib's g_filename_to_uri, md5sum) and stamps.
#include <QtEndian>
#include <QtTest>

#include "board_grid.h"
#include "deal.h"
#include "face_fit.h"
#include "scripted_random.h"
#include "thumbnail_key.h"

struct Grid
{
    int option, screenWidth, pairs;
    QSize slot;
    QPoint last;            ///< top left of the last slot
    QPoint slot0{360, 360}; ///< where the board's slot 0 lies
};
struct Dealt
{
    int pairs, files;
    QList<int> unreadable, pictureDraws, slotDraws; ///< draws as Int(Rnd × files), Int(Rnd × 2N)
    QList<int> pictureOf, probed;                   ///< pictureOf empty: too few pictures
};

class TestDeal : public QObject
{
    Q_OBJECT
private slots:
    void previewFitsTable()
    {
        // The picture is 4000 × 3000 throughout: the preview, the face, whether it fits.
        const std::tuple<const char *, QSize, QSize, bool> rows[] = {
            {"as large as the face", {160, 120}, {160, 120}, true},
            {"larger than the face", {320, 240}, {140, 105}, true},
            {"a pixel narrower than the face", {159, 120}, {160, 120}, false},
            {"a pixel shorter than the face", {160, 119}, {160, 120}, false},
            {"1.9 % wider in shape", {1630, 1200}, {160, 120}, true},
            {"2.1 % wider in shape", {1633, 1200}, {160, 120}, false},
            {"1.9 % narrower in shape", {1570, 1200}, {160, 120}, true},
            {"2.1 % narrower in shape", {1567, 1200}, {160, 120}, false},
            {"not turned with the picture", {240, 320}, {120, 90}, false},
            {"empty preview", {0, 0}, {120, 90}, false}};
        for (const auto &[name, preview, face, fits] : rows)
            QVERIFY2(previewFits(preview, QSize(4000, 3000), face) == fits, name);
    }
    void grid_data()
    {
        QTest::addColumn<Grid>("g");
        // A screen 11520 twips high.
        QTest::newRow("6 pairs") << Grid{0, 15360, 6, {3690, 3690}, {11430, 7740}};
        QTest::newRow("10 pairs") << Grid{1, 15360, 10, {2947, 2755}, {12148, 8625}};
        QTest::newRow("12 pairs") << Grid{2, 15360, 12, {2445, 2765}, {12585, 8655}};
        QTest::newRow("15 pairs") << Grid{3, 15360, 15, {2460, 2204}, {12660, 9176}};
        QTest::newRow("21 pairs") << Grid{4, 15360, 21, {2104, 1830}, {12984, 9510}};
        // Int before the margin: 20490 / 4 = 5122.5 gives 5122 − 150.
        QTest::newRow("20490 wide, slot 0 moved")
            << Grid{0, 20490, 6, {4972, 3690}, {15916, 9380}, {1000, 2000}};
    }
    void grid()
    {
        QFETCH(Grid, g);
        // The deal takes its pair count from the same option: one slot per card.
        QCOMPARE(Deck::SetPairCount(g.option), g.pairs);
        const auto layout = layoutGrid(g.option, g.screenWidth, 11520, g.slot0.x(), g.slot0.y());
        QCOMPARE(layout.places.size(), 2 * g.pairs);
        QCOMPARE(layout.places.first(), QRect(g.slot0, g.slot));
        // By rows: with 4 columns, slot 4 starts the second row.
        QCOMPARE(layout.places.at(layout.columns).topLeft(), g.slot0 + QPoint(0, g.slot.height()));
        QCOMPARE(layout.places.last(), QRect(g.last, g.slot));
    }
    void deal_data()
    {
        QTest::addColumn<Dealt>("d");
        // A picture or slot drawn again is drawn anew; so is an unreadable picture, which is set
        // aside and passed over unprobed when drawn again.
        QTest::newRow("6 pairs of 10 files")
            << Dealt(6, 10, {}, {3, 7, 3, 0, 8, 5, 1}, {4, 9, 0, 11, 0, 2, 3, 1, 5, 6, 4, 7, 8, 10},
                     {3, 7, 0, 8, 5, 1}, {3, 7, 0, 8, 5, 1});
        QTest::newRow("3 of 3") << Dealt(3, 3, {}, {2, 2, 1, 0}, {5, 4, 3, 2, 1, 0}, {2, 1, 0},
                                         {2, 1, 0});
        QTest::newRow("unreadable")
            << Dealt{3, 8, {2}, {2, 2, 5, 5, 6, 1}, {0, 1, 2, 3, 4, 5}, {5, 6, 1}, {2, 5, 6, 1}};
        QTest::newRow("5 files for 6 pairs") << Dealt{6, 5, {}, {}, {}, {}, {}};
        QTest::newRow("too few readable") << Dealt{3, 4, {0, 1}, {0, 1}, {}, {}, {0, 1}};
    }
    void deal()
    {
        QFETCH(Dealt, d);
        ScriptedRandom random;
        random.scriptInts(d.pictureDraws, d.files);
        random.scriptInts(d.slotDraws, 2 * d.pairs);
        QList<int> probed;
        const Deal deal = Deck::DealCards(d.pairs, d.files, random, [&](int i) {
            probed.append(i);
            return !d.unreadable.contains(i);
        });
        QCOMPARE(deal.tooFew, d.pictureOf.isEmpty());
        QCOMPARE(deal.PictureOf, d.pictureOf);
        QCOMPARE(probed, d.probed);
        QCOMPARE(random.drawsTaken(), int(d.pictureDraws.size() + d.slotDraws.size()));
        QList<int> order; // the slot draws without their repeats
        for (int r : d.slotDraws)
            if (!order.contains(r))
                order.append(r);
        QCOMPARE(deal.SlotOrder, deal.tooFew ? QList<int>() : order);
        // Deal positions 2i and 2i + 1 get pair i: slots 4 and 9 show file 3, 0 and 11 file 7...
        QStringList cards(kMaxSlots);
        for (int k = 0; k < order.size(); ++k)
            cards[order[k]] = QString::number(d.pictureOf[k / 2]);
        QCOMPARE(deal.CardPicture, cards);
    }
    void fit()
    {
        // Slot, image, face at its top: 4:3 at 21 pairs, the height cut by Int, taller than the
        // slot.
        for (const auto &[slot, image, face] :
             {std::tuple{QSize(2100, 1830), QSize(9600, 7200), QRect(0, 127, 2100, 1575)},
              {QSize(3, 10), QSize(2, 1), QRect(0, 4, 3, 1)},
              {QSize(2100, 1830), QSize(1, 2), QRect(0, -1185, 2100, 4200)}}) {
            const FaceFit f = fitFace(slot.width(), slot.height(), image.width(), image.height());
            QCOMPARE(QRect(0, f.top, f.width, f.height), face);
        }
        // CLng rounds halves to even, then \ 2 truncates toward zero.
        for (const auto &[difference, top] :
             {std::pair{101.0, 50}, {-101.0, -50}, {100.5, 50}, {101.5, 51}, {101.6, 51}})
            QCOMPARE(centredTop(difference), top);
    }
    void fileNames()
    {
        // Which files of a set take part, and the name a card shows for each.
        const std::tuple<const char *, bool, const char *> rows[] = {
            {"perro.jpeg", true, "perro"},
            {"a.b.c.png", true, "a.b.c"},
            {"sin_extension", true, "sin_extension"},
            {".oculto.png", false, ".oculto"},
            {"THUMBS.DB", false, "THUMBS"},
            {"Desktop.INI", false, "Desktop"},
            {"ehthumbs.db", false, "ehthumbs"},
            {"Thumbs.db.jpg", true, "Thumbs.db"}};
        for (const auto &[file, listed, shown] : rows) {
            QVERIFY2(Deck::isListedPicture(QLatin1String(file)) == listed, file);
            QCOMPARE(Deck::displayName(QLatin1String(file)), QLatin1String(shown));
        }
    }
    void names()
    {
        // Path, its URI as GLib's g_filename_to_uri writes it, the URI's MD5 as md5sum gives it.
        const char *rows[][3] = {
            {"/home/ana/Im\xc3\xa1genes/Vacaciones 2026/ni\xc3\xb1os.heic",
             "file:///home/ana/Im%C3%A1genes/Vacaciones%202026/ni%C3%B1os.heic",
             "ae88b24f7a165de56a34699e168a9d2a"},
            {"/f/#1 & (2).jpg", "file:///f/%231%20&%20(2).jpg", "91d83a3f10944597f76b16670eba2dfe"},
            {"/f/a;b%c?d[e]", "file:///f/a%3Bb%25c%3Fd%5Be%5D", "eef54fcff262d434b4cab01479e83013"},
            {"/f/!$'*+,=:@~_.jpg", "file:///f/!$'*+,=:@~_.jpg", "9d53833790ec9c8564735a71460537d8"},
            {"/f/mal\xff.png", "file:///f/mal%FF.png", "5510d68664622c97ea9db080a86da7c0"}};
        for (const auto &[path, uri, md5] : rows) {
            QCOMPARE(ThumbnailKey::fileUri(path), QByteArray(uri));
            QCOMPARE(ThumbnailKey::fileName(uri), QLatin1String(md5) + ".png");
        }
    }
    void stamps()
    {
        // Valid or not for a file file:///f/a%20b.jpg of 1700000000 s and 4242 bytes.
        const auto key = [](const char *type, const QByteArray &k, const QByteArray &v) {
            char length[4]; // a chunk "k\0v"
            qToBigEndian(quint32(k.size() + 1 + v.size()), length);
            return QByteArray(length, 4) + type + k + '\0' + v + "crc!";
        };
        const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8)
                               + key("IHDR", QByteArray(12, 1), {}) + key("IDAT", "x", {});
        const QByteArray uri = "file:///f/a%20b.jpg";
        const QByteArray uriKey = key("tEXt", "Thumb::URI", uri);
        const QByteArray mtimeKey = key("tEXt", "Thumb::MTime", "1700000000");
        const auto stamped = [&](const QByteArray &u, qint64 mtime) {
            return ThumbnailKey::withStamp(png, {u, mtime, 4242}, "Trabel");
        };
        const QByteArray good = stamped(uri, 1700000000);
        const std::tuple<const char *, QByteArray, bool> rows[] = {
            {"written here", good, true},
            {"moved: another URI", stamped("file:///f/a b.jpg", 1700000000), false},
            {"changed: an older MTime", stamped(uri, 1699999999), false},
            {"no Size, keys after the pixels", png + mtimeKey + uriKey, true},
            {"a chunk claiming 2 GB", good + QByteArray("\x7f\0\0\0tEXtThum", 12), false},
            {"a chunk's header alone at the end", good + QByteArray("\x7f\0\0\0iTXt", 8), false},
            {"compressed text besides", good + key("zTXt", "a", "b"), false},
            {"keys in zTXt", png.left(33) + key("zTXt", "Thumb::URI", uri) + mtimeKey, false}};
        for (const auto &[name, file, valid] : rows)
            QVERIFY2(ThumbnailKey::isThumbnailOf(file, {uri, 1700000000, 4242}) == valid, name);
    }
};

QTEST_GUILESS_MAIN(TestDeal)
#include "test_deal.moc"
