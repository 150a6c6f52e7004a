#include "deal.h"

#include "board_grid.h"
#include "random_source.h"

namespace Deck {

int SetPairCount(int pairOption)
{
    // The grid table holds the pair count of each option, so board and deal always agree.
    return pairsForOption(pairOption);
}

Deal DealCards(int totalPairs, int listingCount, RandomSource &random, const Probe &probe)
{
    Deal d;
    d.CardPicture = QStringList(kMaxSlots, QString());
    const int n = listingCount;
    const int N = qBound(0, totalPairs, kMaxSlots / 2);
    const int M = 2 * N;
    if (n < N) {
        d.tooFew = true;
        return d;
    }

    // Pictures: redraw while the draw is taken or known to be unreadable.
    QSet<int> taken;
    d.PictureOf.reserve(N);
    for (int i = 0; i < N; ++i) {
        for (;;) {
            if (n - taken.size() - d.setAside.size() < N - i) {
                d.tooFew = true;
                d.PictureOf.clear();
                return d;
            }
            const int r = drawBelow(random, n);
            if (taken.contains(r) || d.setAside.contains(r))
                continue;
            if (probe && !probe(r)) {
                d.setAside.insert(r);
                continue;
            }
            taken.insert(r);
            d.PictureOf.append(r);
            break;
        }
    }

    // Slots: a permutation of 0 .. M − 1 by the same rejection rule.
    QList<bool> used(M, false);
    d.SlotOrder.reserve(M);
    for (int k = 0; k < M; ++k) {
        int r;
        do {
            r = drawBelow(random, M);
        } while (used[r]);
        used[r] = true;
        d.SlotOrder.append(r);
    }

    for (int k = 0; k < M; ++k)
        d.CardPicture[d.SlotOrder[k]] = QString::number(d.PictureOf[k / 2]);
    return d;
}

bool isListedPicture(const QString &fileName)
{
    if (fileName.isEmpty() || fileName.startsWith(u'.'))
        return false;
    return fileName.compare(u"Thumbs.db", Qt::CaseInsensitive) != 0
           && fileName.compare(u"desktop.ini", Qt::CaseInsensitive) != 0
           && fileName.compare(u"ehthumbs.db", Qt::CaseInsensitive) != 0;
}

QString displayName(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > 0 ? fileName.left(dot) : fileName;
}

} // namespace Deck
