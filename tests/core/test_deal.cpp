// Dealing the cards: which pictures take part and where the two cards of each pair lie.

#include <QtTest>

#include <algorithm>

#include "deal.h"
#include "random_source.h"
#include "scripted_random.h"

namespace {

/// A probe that answers from a rule and records every index it was asked about.
struct RecordingProbe
{
    std::function<bool(int)> readable;
    QList<int> asked;

    Deck::Probe probe()
    {
        return [this](int index) {
            asked.append(index);
            return readable(index);
        };
    }
};

/// Checks what every complete deal must satisfy; returns an empty text or what is wrong.
QString dealProblem(const Deal &d, int pairs, int listingCount)
{
    if (d.tooFew)
        return QStringLiteral("tooFew set");
    if (d.PictureOf.size() != pairs)
        return QStringLiteral("%1 pictures for %2 pairs").arg(d.PictureOf.size()).arg(pairs);
    QSet<int> pictures;
    for (int p : d.PictureOf) {
        if (p < 0 || p >= listingCount)
            return QStringLiteral("picture %1 outside the listing").arg(p);
        if (pictures.contains(p))
            return QStringLiteral("picture %1 used by two pairs").arg(p);
        pictures.insert(p);
    }
    QList<int> order = d.SlotOrder;
    std::sort(order.begin(), order.end());
    for (int k = 0; k < 2 * pairs; ++k) {
        if (order.value(k, -1) != k)
            return QStringLiteral("slot order is not a permutation of 0..%1").arg(2 * pairs - 1);
    }
    if (order.size() != 2 * pairs)
        return QStringLiteral("slot order has %1 entries").arg(order.size());
    if (d.CardPicture.size() != kMaxSlots)
        return QStringLiteral("CardPicture has %1 entries").arg(d.CardPicture.size());
    QHash<QString, int> cardsOf;
    for (int s = 0; s < kMaxSlots; ++s) {
        const QString &text = d.CardPicture.at(s);
        if (s >= 2 * pairs) {
            if (!text.isEmpty())
                return QStringLiteral("slot %1 beyond the board carries \"%2\"").arg(s).arg(text);
            continue;
        }
        bool ok = false;
        const int p = text.toInt(&ok);
        if (!ok || !pictures.contains(p))
            return QStringLiteral("slot %1 carries \"%2\"").arg(s).arg(text);
        const int k = int(d.SlotOrder.indexOf(s));
        if (k < 0 || d.PictureOf.at(k / 2) != p)
            return QStringLiteral("slot %1 does not carry its pair's picture").arg(s);
        ++cardsOf[text];
    }
    for (auto it = cardsOf.cbegin(); it != cardsOf.cend(); ++it) {
        if (it.value() != 2)
            return QStringLiteral("picture %1 on %2 slots").arg(it.key()).arg(it.value());
    }
    if (cardsOf.size() != pairs)
        return QStringLiteral("%1 pictures on the board").arg(cardsOf.size());
    return {};
}

} // namespace

class TestDeal : public QObject
{
    Q_OBJECT

private slots:
    void scriptedDeal_data();
    void scriptedDeal();
    void dealProperties_data();
    void dealProperties();
    void tooFewPictures_data();
    void tooFewPictures();
    void unreadableSetAside();
    void probedListings_data();
    void probedListings();
    void unreadableLeaveTooFew_data();
    void unreadableLeaveTooFew();

    void isListedPicture_data();
    void isListedPicture();
    void displayName_data();
    void displayName();
};

void TestDeal::scriptedDeal_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("listingCount");
    QTest::addColumn<QList<int>>("pictureDraws");
    QTest::addColumn<QList<int>>("slotDraws");
    QTest::addColumn<QList<int>>("pictureOf");
    QTest::addColumn<QList<int>>("slotOrder");
    QTest::addColumn<QStringList>("cards"); ///< CardPicture of slots 0 .. 2N − 1

    // Pictures 3, 7, 0, 8, 5, 1 (3 drawn twice); slots 4, 9, 0, 11, ... (0 and 4 drawn twice).
    QTest::newRow("6 pairs from 10 files")
        << 6 << 10 << QList<int>{3, 7, 3, 0, 8, 5, 1}
        << QList<int>{4, 9, 0, 11, 0, 2, 3, 1, 5, 6, 4, 7, 8, 10} << QList<int>{3, 7, 0, 8, 5, 1}
        << QList<int>{4, 9, 0, 11, 2, 3, 1, 5, 6, 7, 8, 10}
        << QStringList{"7", "8", "0", "0", "3", "8", "5", "5", "1", "3", "1", "7"};
    QTest::newRow("every file used when there are as many as pairs")
        << 6 << 6 << QList<int>{5, 5, 4, 5, 3, 2, 1, 4, 0}
        << QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0} << QList<int>{5, 4, 3, 2, 1, 0}
        << QList<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}
        << QStringList{"0", "0", "1", "1", "2", "2", "3", "3", "4", "4", "5", "5"};
    QTest::newRow("last slot drawn after many repeats")
        << 6 << 40 << QList<int>{39, 0, 39, 0, 20, 21, 22, 23}
        << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 5, 10, 10, 11}
        << QList<int>{39, 0, 20, 21, 22, 23} << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}
        << QStringList{"39", "39", "0", "0", "20", "20", "21", "21", "22", "22", "23", "23"};
}

void TestDeal::scriptedDeal()
{
    QFETCH(int, pairs);
    QFETCH(int, listingCount);
    QFETCH(QList<int>, pictureDraws);
    QFETCH(QList<int>, slotDraws);
    QFETCH(QList<int>, pictureOf);
    QFETCH(QList<int>, slotOrder);
    QFETCH(QStringList, cards);

    ScriptedRandom random;
    random.scriptInts(pictureDraws, listingCount);
    random.scriptInts(slotDraws, 2 * pairs);
    const Deal d = Deck::DealCards(pairs, listingCount, random, {});

    QVERIFY(!d.tooFew);
    QCOMPARE(d.totalPairs, pairs);
    QCOMPARE(d.PictureOf, pictureOf);
    QCOMPARE(d.SlotOrder, slotOrder);
    // Every scripted draw was taken, repeats included, and not one more.
    QCOMPARE(random.scriptedLeft(), 0);
    QCOMPARE(random.drawsTaken(), int(pictureDraws.size() + slotDraws.size()));
    QCOMPARE(d.CardPicture.mid(0, 2 * pairs), cards);
    QCOMPARE(d.CardPicture.size(), kMaxSlots);
    for (int s = 2 * pairs; s < kMaxSlots; ++s)
        QVERIFY2(d.CardPicture.at(s).isEmpty(), qPrintable(QString::number(s)));
    QVERIFY(d.setAside.isEmpty());
    QCOMPARE(dealProblem(d, pairs, listingCount), QString());
}

void TestDeal::dealProperties_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("listingCount");
    QTest::addColumn<quint32>("seed");

    const int listings[] = {21, 22, 60, 5000};
    for (int option = 0; option <= 4; ++option) {
        for (int n : listings) {
            for (quint32 seed : {1u, 77u, 4242u})
                QTest::addRow("option %d, %d files, seed %u", option, n, seed)
                    << option << n << seed;
        }
    }
}

void TestDeal::dealProperties()
{
    QFETCH(int, option);
    QFETCH(int, listingCount);
    QFETCH(quint32, seed);

    const int pairs = Deck::SetPairCount(option);
    SeededRandom random(seed);
    RecordingProbe probe{[](int) { return true; }, {}};
    const Deal d = Deck::DealCards(pairs, listingCount, random, probe.probe());

    QCOMPARE(dealProblem(d, pairs, listingCount), QString());
    // Each chosen picture is probed once; nothing else is.
    QList<int> asked = probe.asked;
    QList<int> chosen = d.PictureOf;
    std::sort(asked.begin(), asked.end());
    std::sort(chosen.begin(), chosen.end());
    QCOMPARE(asked, chosen);
}

void TestDeal::tooFewPictures_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("listingCount");

    QTest::newRow("5 files for 6 pairs") << 6 << 5;
    QTest::newRow("no files") << 6 << 0;
    QTest::newRow("20 files for 21 pairs") << 21 << 20;
    QTest::newRow("1 file for 10 pairs") << 10 << 1;
}

void TestDeal::tooFewPictures()
{
    QFETCH(int, pairs);
    QFETCH(int, listingCount);

    ScriptedRandom random;
    RecordingProbe probe{[](int) { return true; }, {}};
    const Deal d = Deck::DealCards(pairs, listingCount, random, probe.probe());

    QVERIFY(d.tooFew);
    QCOMPARE(random.drawsTaken(), 0);
    QVERIFY(probe.asked.isEmpty());
    QVERIFY(d.PictureOf.isEmpty());
    QVERIFY(d.SlotOrder.isEmpty());
    for (const QString &text : d.CardPicture)
        QVERIFY(text.isEmpty());
}

void TestDeal::unreadableSetAside()
{
    // File 2 cannot be read: its pair draws again; a second draw of 2 is passed over unasked.
    ScriptedRandom random;
    random.scriptInts({2, 2, 5, 5, 6, 1}, 8);
    random.scriptInts({5, 4, 3, 2, 1, 0}, 6);
    RecordingProbe probe{[](int i) { return i != 2; }, {}};
    const Deal d = Deck::DealCards(3, 8, random, probe.probe());

    QVERIFY(!d.tooFew);
    QCOMPARE(d.PictureOf, (QList<int>{5, 6, 1}));
    QCOMPARE(d.setAside, QSet<int>{2});
    QCOMPARE(probe.asked, (QList<int>{2, 5, 6, 1}));
    QCOMPARE(d.SlotOrder, (QList<int>{5, 4, 3, 2, 1, 0}));
    QCOMPARE(random.scriptedLeft(), 0);
    QCOMPARE(d.CardPicture.mid(0, 6), (QStringList{"1", "1", "6", "6", "5", "5"}));
    QCOMPARE(dealProblem(d, 3, 8), QString());
}

void TestDeal::probedListings_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("listingCount");
    QTest::addColumn<int>("unreadableEvery"); ///< index % this == 0 is unreadable; 0: all readable
    QTest::addColumn<int>("maxProbes");
    QTest::addColumn<quint32>("seed");

    QTest::newRow("5000 files, all readable") << 21 << 5000 << 0 << 21 << 3u;
    QTest::newRow("5000 files, a third unreadable") << 21 << 5000 << 3 << 63 << 3u;
    QTest::newRow("5000 files, a third unreadable, other seed") << 21 << 5000 << 3 << 63 << 91u;
    QTest::newRow("5000 files, half unreadable") << 21 << 5000 << 2 << 72 << 7u;
    QTest::newRow("6 pairs from 5000, half unreadable") << 6 << 5000 << 2 << 36 << 11u;
    QTest::newRow("exactly enough readable") << 6 << 12 << 2 << 12 << 5u;
    QTest::newRow("21 readable among 42") << 21 << 42 << 2 << 42 << 8u;
}

void TestDeal::probedListings()
{
    QFETCH(int, pairs);
    QFETCH(int, listingCount);
    QFETCH(int, unreadableEvery);
    QFETCH(int, maxProbes);
    QFETCH(quint32, seed);

    auto readable = [unreadableEvery](int i) {
        return unreadableEvery == 0 || i % unreadableEvery != 0;
    };
    SeededRandom random(seed);
    RecordingProbe probe{readable, {}};
    const Deal d = Deck::DealCards(pairs, listingCount, random, probe.probe());

    QCOMPARE(dealProblem(d, pairs, listingCount), QString());
    for (int p : d.PictureOf)
        QVERIFY2(readable(p), qPrintable(QString::number(p)));
    for (int p : d.setAside)
        QVERIFY2(!readable(p), qPrintable(QString::number(p)));
    // Every probed file was asked once, and it was either dealt or set aside.
    QCOMPARE(QSet<int>(probe.asked.cbegin(), probe.asked.cend()).size(), probe.asked.size());
    QCOMPARE(probe.asked.size(), d.PictureOf.size() + d.setAside.size());
    QVERIFY2(probe.asked.size() <= maxProbes, qPrintable(QString::number(probe.asked.size())));
}

void TestDeal::unreadableLeaveTooFew_data()
{
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("listingCount");
    QTest::addColumn<QList<int>>("unreadable");

    QTest::newRow("3 pairs, 2 of 5 readable") << 3 << 5 << QList<int>{0, 1, 2};
    QTest::newRow("6 pairs, none readable") << 6 << 6 << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("21 pairs, one short")
        << 21 << 30 << QList<int>{3, 6, 9, 12, 15, 18, 21, 24, 27, 29};
}

void TestDeal::unreadableLeaveTooFew()
{
    QFETCH(int, pairs);
    QFETCH(int, listingCount);
    QFETCH(QList<int>, unreadable);

    const QSet<int> bad(unreadable.cbegin(), unreadable.cend());
    SeededRandom random(17);
    RecordingProbe probe{[&bad](int i) { return !bad.contains(i); }, {}};
    const Deal d = Deck::DealCards(pairs, listingCount, random, probe.probe());

    QVERIFY(d.tooFew);
    QVERIFY(d.PictureOf.isEmpty());
    for (const QString &text : d.CardPicture)
        QVERIFY(text.isEmpty());
    QVERIFY(d.setAside.size() <= bad.size());
    for (int p : d.setAside)
        QVERIFY(bad.contains(p));
    QCOMPARE(QSet<int>(probe.asked.cbegin(), probe.asked.cend()).size(), probe.asked.size());
}

void TestDeal::isListedPicture_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("listed");

    QTest::newRow("gif") << "perro.gif" << true;
    QTest::newRow("jpg") << "gato.jpg" << true;
    QTest::newRow("n with tilde") << QStringLiteral("niño.bmp") << true;
    QTest::newRow("spaces") << "mi gato negro.jpg" << true;
    QTest::newRow("no extension") << "sin_extension" << true;
    QTest::newRow("upper-case extension") << "CABALLO.JPG" << true;
    QTest::newRow("name containing Thumbs") << "Thumbs.db.jpg" << true;
    QTest::newRow("hidden file") << ".oculto" << false;
    QTest::newRow("resource fork of a picture") << "._x.jpg" << false;
    QTest::newRow("Thumbs.db") << "Thumbs.db" << false;
    QTest::newRow("thumbs.db in lower case") << "thumbs.db" << false;
    QTest::newRow("THUMBS.DB") << "THUMBS.DB" << false;
    QTest::newRow("desktop.ini") << "desktop.ini" << false;
    QTest::newRow("Desktop.INI") << "Desktop.INI" << false;
}

void TestDeal::isListedPicture()
{
    QFETCH(QString, fileName);
    QFETCH(bool, listed);

    QCOMPARE(Deck::isListedPicture(fileName), listed);
}

void TestDeal::displayName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("name");

    QTest::newRow("gif") << "perro.gif"
                         << "perro";
    QTest::newRow("jpeg") << "perro.jpeg"
                          << "perro";
    QTest::newRow("jpg") << "gato.jpg"
                         << "gato";
    QTest::newRow("no extension") << "sin_extension"
                                  << "sin_extension";
    QTest::newRow("several dots") << "a.b.c.png"
                                  << "a.b.c";
    QTest::newRow("leading dot only") << ".oculto"
                                      << ".oculto";
    QTest::newRow("spaces and tilde") << QStringLiteral("el niño.bmp") << QStringLiteral("el niño");
}

void TestDeal::displayName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, name);

    QCOMPARE(Deck::displayName(fileName), name);
}

QTEST_GUILESS_MAIN(TestDeal)
#include "test_deal.moc"
