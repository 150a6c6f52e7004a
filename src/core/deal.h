#pragma once

#include <QList>
#include <QSet>
#include <QStringList>
#include <functional>

class RandomSource;

/// The most card slots a board has (21 pairs).
constexpr int kMaxSlots = 42;

/// One dealt deck: which picture each pair shows and where its two cards lie.
struct Deal
{
    /// Fewer readable pictures than pairs: nothing was dealt.
    bool tooFew = false;
    /// PictureOf[i]: listing index of the picture of pair i; all different.
    QList<int> PictureOf;
    /// SlotOrder[k]: the slot that deal position k goes to; a permutation of 0 .. 2N − 1.
    QList<int> SlotOrder;
    /// Per slot, the listing index of its picture as decimal text; empty for slots not dealt.
    QStringList CardPicture;
    /// Listing indices that were drawn but could not be read as pictures.
    QSet<int> setAside;
};

namespace Deck {

/// TotalPairs for a pair option: 6, 10, 12, 15 or 21 for options 0 to 4.
int SetPairCount(int pairOption);

/// Tells whether listing entry `index` reads as a picture. Only drawn entries are asked.
using Probe = std::function<bool(int index)>;

/// Deals totalPairs pairs from a listing of `listingCount` files. Pictures are drawn first, each
/// uniformly among those not yet taken (an unreadable one is set aside and its pair draws again),
/// then the slots are shuffled, all from the one source; deal positions 2i and 2i + 1 receive
/// pair i. When fewer readable pictures than pairs remain, returns with tooFew set.
Deal DealCards(int totalPairs, int listingCount, RandomSource &random, const Probe &probe);

/// Whether a file of a picture set takes part in the deal: hidden files and the thumbnail and
/// folder-settings files that file managers leave behind do not.
bool isListedPicture(const QString &fileName);

/// The name a card shows for its picture: the file name without its extension and dot.
QString displayName(const QString &fileName);

} // namespace Deck
