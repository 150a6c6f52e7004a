#include "results.h"

#include <limits>

#include "module1.h"

double Val(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QString number;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        number += text[i++];
    bool digits = false;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') {
        number += text[i++];
        digits = true;
    }
    if (i < n && text[i] == u'.') {
        number += text[i++];
        while (i < n && text[i] >= u'0' && text[i] <= u'9') {
            number += text[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

namespace Results {

namespace {

QString entry(const QStringList &resultText, int i)
{
    return i < resultText.size() ? resultText[i] : QString();
}

template <typename T> void addPoints(T &points, int award)
{
    if (points <= std::numeric_limits<T>::max() - award)
        points = static_cast<T>(points + award);
}

} // namespace

Outcome awardPoints(double player1Pairs, double player2Pairs)
{
    const double a = player1Pairs;
    const double b = player2Pairs;
    Outcome outcome = Outcome::Draw;
    if (a > b) {
        addPoints(Module1::Player1Points, 2);
        outcome = Outcome::Player1Wins;
    }
    if (b > a) {
        addPoints(Module1::Player2Points, 2);
        outcome = Outcome::Player2Wins;
    }
    if (a == b) {
        addPoints(Module1::Player2Points, 1);
        addPoints(Module1::Player1Points, 1);
        outcome = Outcome::Draw;
    }
    return outcome;
}

QString onePlayerLine(const QString &name, const QStringList &resultText, int attempts)
{
    return name + u' ' + entry(resultText, 0) + u' ' + QString::number(attempts) + u' '
           + entry(resultText, 1);
}

QString twoPlayerLine(const QString &name, const QStringList &resultText, const QString &pairs,
                      qint64 points)
{
    return name + u' ' + entry(resultText, 2) + u' ' + pairs + u' ' + entry(resultText, 3)
           + QStringLiteral("  ") + QString::number(points) + u' ' + entry(resultText, 4);
}

QString cueFor(Outcome outcome)
{
    return outcome == Outcome::Draw ? QStringLiteral("empate") : QStringLiteral("ganador");
}

} // namespace Results
