// trabel_bench: times the board, the faces, the clicks, memory and start-up, and prints a table of
// the measured figures with their targets. Every figure is measured in the run; nothing is stored.
//
// What each figure measures (the median of several runs unless said otherwise):
//  1  Board playable: from the Show<Form2>() call to Show returned, one processEvents() (the
//     window's expose and backing-store paint) and a grab() of the window, which draws every card
//     back again; 21 pairs, from the photo folder and from the shipped animales set.
//  2  Every face decoded: from the same Show<Form2>() call until allFacesReady(), waiting in the
//     event loop. Its limit: one scaled decode of each distinct picture at the size the board
//     shows it (Pictures::loadScaled, ImageBox size × device pixel ratio), run alone one after
//     another, summed and divided by the number of cores.
//  3  Click latency. Not decoded yet: on a fresh board, before any event is handled,
//     picture2_Click() on a card whose face no worker has finished, plus grab() of that card;
//     beside it the same scaled decode alone. Decoded: picture2_Click() plus processEvents() until
//     the face has been painted, over many mismatched pairs turned back by Timer1_Timer().
//  4  Peak resident memory (VmHWM) of a fresh process with the 21-pair photo board open and every
//     face decoded.
//  5  The same board by a literal loader in a fresh process: every slot decodes its whole picture,
//     keeps it and shows it stretched through a pixmap of its own; time and peak memory, and the
//     ratios to ours.
//  6  Start-up: from QProcess::start() of this program in start-up mode (which does what main()
//     does, then shows the title screen, processes events and grabs it) to its "painted" line.
//  7  The options screen loaded and painted with a graficos folder holding a set of 5000 small
//     files and a few others, then a 6-pair board from that set, shown and painted.
//  8  Phone formats: figures 1 to 4 (memory in a fresh process per board) for 21 and 6 pairs on
//     the photos as JPEG, JPEG with a 160 × 120 EXIF thumbnail, HEIC with a 320 × 240 thumbnail,
//     HEIC without and AVIF, and the mean decode per face with and without previews.
//
// Usage: trabel_bench [--fixtures DIR] [--app DIR] [--runs N] [--only 1,2,...]
//   --fixtures  cache folder for the generated pictures (made once, reused)
//   --app       the built application folder (the trabel executable with its data), used for the
//               start-up figure
//   --runs      runs per figure for the costly figures (at least 5; cheap figures run more)
//   --only      comma-separated figure numbers (1 to 8) to run; figures 1 and 2 run together
// Internal: trabel_bench --child MODE ... runs one measurement in a fresh process and prints
// "key=value" lines (modes: startup, memory-ours, memory-literal).

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "board_grid.h"
#include "board_screen.h"
#include "colours_fonts.h"
#include "deal.h"
#include "face_fit.h"
#include "face_loader.h"
#include "fixtures.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "pictures.h"
#include "platform.h"
#include "random_source.h"
#include "sound.h"
#include "title_screen.h"
#include "twips.h"

#ifndef TRABEL_BENCH_FIXTURES
#define TRABEL_BENCH_FIXTURES "bench-fixtures"
#endif
#ifndef TRABEL_BENCH_APP
#define TRABEL_BENCH_APP "app"
#endif
#ifndef TRABEL_SOURCE_DATA
#define TRABEL_SOURCE_DATA "data"
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// Small tools

struct Options
{
    QString fixtures = QStringLiteral(TRABEL_BENCH_FIXTURES);
    QString app = QStringLiteral(TRABEL_BENCH_APP);
    QString child;
    QString appFolder; ///< for child modes: the application folder to run on
    int runs = 7;
    QString only; ///< comma-separated figure numbers to run; empty runs them all
    QString set;  ///< for the memory child: the set to open (the photos if empty)
    int pairOption = 4;
    bool wants(int figure) const
    {
        return only.isEmpty() || only.split(u',').contains(QString::number(figure));
    }
};

Options parseOptions(int argc, char **argv)
{
    Options o;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a.constData());
                std::exit(2);
            }
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (a == "--fixtures")
            o.fixtures = value();
        else if (a == "--app")
            o.app = value();
        else if (a == "--runs")
            o.runs = qMax(5, value().toInt());
        else if (a == "--child")
            o.child = value();
        else if (a == "--only")
            o.only = value();
        else if (a == "--app-folder")
            o.appFolder = value();
        else if (a == "--set")
            o.set = value();
        else if (a == "--pair-option")
            o.pairOption = qBound(0, value().toInt(), 4);
        else if (a == "-h" || a == "--help") {
            std::printf("usage: trabel_bench [--fixtures DIR] [--app DIR] [--runs N] [--only 1,2,...]\n");
            std::exit(0);
        } else {
            std::fprintf(stderr, "unknown argument %s\n", a.constData());
            std::exit(2);
        }
    }
    o.fixtures = QDir(o.fixtures).absolutePath();
    o.app = QDir(o.app).absolutePath();
    return o;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

/// CPU time used so far by the whole process (every thread, user and system), in ms.
double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

/// CPU time used so far by the calling thread, in ms.
double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

/// Measured values of one figure.
struct Samples
{
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    int count() const { return int(v.size()); }
    std::vector<double> sorted() const
    {
        auto s = v;
        std::sort(s.begin(), s.end());
        return s;
    }
    double median() const
    {
        if (v.empty())
            return std::nan("");
        const auto s = sorted();
        const size_t n = s.size();
        return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2.0;
    }
    /// Nearest-rank percentile.
    double percentile(double p) const
    {
        if (v.empty())
            return std::nan("");
        const auto s = sorted();
        const size_t rank = size_t(std::ceil(p / 100.0 * double(s.size())));
        return s[std::clamp<size_t>(rank, 1, s.size()) - 1];
    }
    double min() const { return v.empty() ? std::nan("") : sorted().front(); }
    double max() const { return v.empty() ? std::nan("") : sorted().back(); }
};

/// "key=value" lines from /proc/self/status: VmHWM (peak resident) and VmRSS, in kB.
qint64 procStatusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QString cpuModel()
{
    QFile f(QStringLiteral("/proc/cpuinfo"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return {};
}

/// A sound player that plays nothing: the cues cost no time in the figures.
class SilentSound final : public SoundPlayer
{
public:
    void play(const QString &, quint32) override {}
};

/// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

SilentSound g_silent;
QStringList g_messages;

void setUpPlatform(const QString &appFolder)
{
    Platform::setAppFolder(appFolder);
    Twips::setScreen(QSize(15360, 11520)); // 1024 × 768 pixels
    Sound::setPlayer(&g_silent);
    Runtime::setMessageBoxHandler([](const QString &text) {
        g_messages.append(text);
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    });
    Runtime::setEndHandler([] {});
}

/// Throws every screen away; the board's face loader waits for its running decodes.
void closeAll()
{
    Runtime::resetForTests();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

qreal screenRatio()
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->devicePixelRatio() : 1.0;
}

/// Loads the options screen with a set chosen and a pair option, as the player leaves it before
/// pressing JUGAR.
void chooseSet(const QString &set, int pairOption)
{
    closeAll();
    Module1::reset();
    Form1 *options = Runtime::Show<Form1>();
    options->Combo1->setText(set);
    Module1::PairOption = quint8(pairOption);
}

/// Board playable: Show returned, one processEvents (the window's expose and the backing-store
/// paint) and a grab() of the whole window, which draws every child again into a pixmap.
Form2 *openBoardPlayable(double *playableMs, QElapsedTimer *clock)
{
    clock->start();
    Form2 *board = Runtime::Show<Form2>();
    if (!board)
        return nullptr;
    QCoreApplication::processEvents();
    const QPixmap shot = board->grab();
    *playableMs = msSince(*clock);
    Q_UNUSED(shot);
    return board;
}

/// Runs the event loop until every face of the board has arrived (or `limitMs` passed). Blocks
/// in the event loop between deliveries rather than spinning, so the workers keep the cores.
bool waitAllFaces(Form2 *board, int limitMs = 120000)
{
    QTimer wake;
    wake.start(25);
    QElapsedTimer t;
    t.start();
    while (!board->allFacesReady()) {
        if (t.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Face
{
    int slot;
    QString path;
    QSize size; ///< device pixels, as the board asks its loader for
};

/// The board's distinct pictures, each with the face size it is shown at.
QList<Face> facesOf(const Form2 *board)
{
    QList<Face> out;
    QSet<QString> seen;
    const qreal dpr = screenRatio();
    for (int k = 0; k < 2 * board->TotalPairs(); ++k) {
        const QString id = board->CardPicture()[k];
        if (id.isEmpty() || seen.contains(id))
            continue;
        seen.insert(id);
        out.append({k, board->File1.Path + u'/' + board->File1.List(id.toInt()),
                    board->Image1[k]->size() * dpr});
    }
    return out;
}

/// One scaled decode, alone on the calling thread.
double timeScaledDecode(const Face &f, double *cpuMs = nullptr)
{
    const double cpu0 = threadCpuMs();
    QElapsedTimer t;
    t.start();
    const QImage img = Pictures::loadScaled(f.path, f.size);
    const double ms = msSince(t);
    if (cpuMs)
        *cpuMs = threadCpuMs() - cpu0;
    if (img.isNull())
        std::fprintf(stderr, "could not decode %s\n", qPrintable(f.path));
    return ms;
}

/// The same scaled decodes on one plain thread per core, sharing the list: what the machine gives
/// in parallel right now, without the loader or the board.
double timeParallelDecodes(const QList<Face> &faces)
{
    std::atomic<int> next{0};
    QElapsedTimer t;
    t.start();
    std::vector<std::thread> threads;
    for (int i = 0; i < qMax(1, QThread::idealThreadCount()); ++i)
        threads.emplace_back([&] {
            for (int k = next++; k < faces.size(); k = next++)
                Pictures::loadScaled(faces[k].path, faces[k].size);
        });
    for (auto &th : threads)
        th.join();
    return msSince(t);
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("?");
    return QString::fromLatin1(f.readAll()).section(u' ', 0, 2);
}

/// "key=value" lines of a child's output.
QHash<QString, QString> parseKeyValues(const QByteArray &out)
{
    QHash<QString, QString> kv;
    for (const QByteArray &line : out.split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            kv.insert(QString::fromUtf8(line.left(eq).trimmed()),
                      QString::fromUtf8(line.mid(eq + 1).trimmed()));
    }
    return kv;
}

QHash<QString, QString> runChild(const QStringList &args, int timeoutMs = 600000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0) {
        std::fprintf(stderr, "child %s failed\n", qPrintable(args.join(u' ')));
        p.kill();
        p.waitForFinished();
        return {};
    }
    return parseKeyValues(p.readAllStandardOutput());
}

void say(const char *fmt, const QString &what)
{
    std::fprintf(stderr, fmt, qPrintable(what));
    std::fflush(stderr);
}

// ---------------------------------------------------------------------------------------------
// The table

struct Row
{
    QString id;
    QString what;
    QString value;
    QString target;
    std::optional<bool> pass; ///< empty for rows printed for information
    QString detail;           ///< printed on a line of its own under the row
};

QList<Row> g_rows;

QString ms1(double v)
{
    return QString::number(v, 'f', v < 10 ? 2 : 1) + QStringLiteral(" ms");
}

QString mb(double kb)
{
    return QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

QString spread(const Samples &s)
{
    return QStringLiteral("[%1–%2, n=%3]")
        .arg(QString::number(s.min(), 'f', 1), QString::number(s.max(), 'f', 1))
        .arg(s.count());
}

void addRow(const QString &id, const QString &what, const QString &value, const QString &target,
            std::optional<bool> pass, const QString &detail = {})
{
    g_rows.append({id, what, value, target, pass, detail});
    std::fprintf(stderr, "  %-4s %s: %s  (target %s)%s\n", qPrintable(id), qPrintable(what),
                 qPrintable(value), qPrintable(target),
                 pass ? (*pass ? "  PASS" : "  MISS") : "");
}

/// Breaks a text into lines of at most `width` characters at spaces.
QStringList wrap(const QString &text, int width)
{
    QStringList lines;
    QString current;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!current.isEmpty() && current.size() + 1 + word.size() > width) {
            lines.append(current);
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty())
        lines.append(current);
    return lines;
}

void printTable(const QString &header)
{
    int wId = 2, wWhat = 6, wValue = 8, wTarget = 6;
    for (const Row &r : g_rows) {
        wId = qMax(wId, int(r.id.size()));
        wWhat = qMax(wWhat, int(r.what.size()));
        wValue = qMax(wValue, int(r.value.size()));
        wTarget = qMax(wTarget, int(r.target.size()));
    }
    const auto line = [&](const QString &a, const QString &b, const QString &c, const QString &d,
                          const QString &e) {
        std::printf("%s  %s  %s  %s  %s\n", qPrintable(a.leftJustified(wId)),
                    qPrintable(b.leftJustified(wWhat)), qPrintable(c.leftJustified(wValue)),
                    qPrintable(d.leftJustified(wTarget)), qPrintable(e));
    };
    std::printf("\n%s\n\n", qPrintable(header));
    line(QStringLiteral("#"), QStringLiteral("Figure"), QStringLiteral("Measured"),
         QStringLiteral("Target"), QStringLiteral("Result"));
    std::printf("%s\n", QString(wId + wWhat + wValue + wTarget + 16, u'-').toUtf8().constData());
    int misses = 0;
    for (const Row &r : g_rows) {
        line(r.id, r.what, r.value, r.target,
             r.pass ? (*r.pass ? QStringLiteral("PASS") : QStringLiteral("MISS")) : QStringLiteral("info"));
        for (const QString &l : wrap(r.detail, qMax(60, wWhat + wValue + wTarget)))
            std::printf("%s    %s\n", qPrintable(QString(wId, u' ')), qPrintable(l));
        misses += r.pass && !*r.pass ? 1 : 0;
    }
    std::printf("\n%d target(s) missed.\n", misses);
    std::fflush(stdout);
}

// ---------------------------------------------------------------------------------------------
// Figures 1 and 2: board playable, every face decoded, and the decode limit

/// Medians of one board's figures 1 and 2.
struct BoardFigures
{
    double playable = 0, allFaces = 0, limit = 0, perFace = 0;
};

BoardFigures benchBoard(const QString &set, const QString &label, int runs, const QString &id1,
                        const QString &id2, int pairOption = 4, double allFacesTarget = 0)
{
    const QString pairs = QStringLiteral("%1 pairs, ").arg(Deck::SetPairCount(pairOption));
    say("Board, %s\n", pairs + label);
    Samples perFace;
    Samples playable, allFaces, afterPlayable, limit, ratio, parallel, boardCpu, decodeCpu;
    for (int r = 0; r < runs; ++r) {
        chooseSet(set, pairOption);
        double playMs = 0;
        QElapsedTimer clock;
        const double cpu0 = processCpuMs();
        Form2 *board = openBoardPlayable(&playMs, &clock);
        if (!board) {
            std::fprintf(stderr, "the board did not open\n");
            return {};
        }
        if (!waitAllFaces(board)) {
            std::fprintf(stderr, "the faces did not all arrive\n");
            return {};
        }
        const double allMs = msSince(clock);
        const double cpuAll = processCpuMs() - cpu0;
        const QList<Face> faces = facesOf(board);
        closeAll(); // waits for the loader's workers: the decodes below run alone
        double sum = 0, sumCpu = 0;
        for (const Face &f : faces) {
            double cpu = 0;
            sum += timeScaledDecode(f, &cpu);
            sumCpu += cpu;
        }
        boardCpu.add(cpuAll);
        decodeCpu.add(sumCpu);
        perFace.add(sum / qMax<qsizetype>(1, faces.size()));
        const double lim = sum / qMax(1, QThread::idealThreadCount());
        const double par = timeParallelDecodes(faces);
        parallel.add(par);
        playable.add(playMs);
        allFaces.add(allMs);
        afterPlayable.add(allMs - playMs);
        limit.add(lim);
        ratio.add(allMs / lim);
        std::fprintf(stderr,
                     "    run %d: playable %.1f ms, all faces %.1f ms, limit %.1f ms, same decodes on "
                     "plain threads %.1f ms; CPU: board to all faces %.1f ms, decodes alone %.1f ms "
                     "(%lld faces, load %s)\n",
                     r + 1, playMs, allMs, lim, par, cpuAll, sumCpu, qint64(faces.size()),
                     qPrintable(loadAverage()));
    }
    addRow(id1, QStringLiteral("Board playable, ") + pairs + label, ms1(playable.median()),
           QStringLiteral("≤ 100 ms"), playable.median() <= 100.0,
           QStringLiteral("median %1; Show<Form2>() + one processEvents() + grab() of the window")
               .arg(spread(playable)));
    const bool met = ratio.median() <= 1.2
                     && (allFacesTarget <= 0 || allFaces.median() <= allFacesTarget);
    addRow(id2, QStringLiteral("Every face decoded, ") + pairs + label,
           ms1(allFaces.median())
               + QStringLiteral(" = %1 × limit").arg(QString::number(ratio.median(), 'f', 2)),
           QStringLiteral("≤ 1.2 × limit %1").arg(ms1(limit.median()))
               + (allFacesTarget > 0 ? QStringLiteral(", ≤ %1").arg(ms1(allFacesTarget)) : QString()),
           met,
           QStringLiteral("median %1 from Show<Form2>(), %2 after playable; limit = one scaled "
                          "decode of each distinct picture alone, summed, / %3 cores; the same "
                          "decodes on %3 plain threads now: %4; CPU used by the process from "
                          "Show to every face: %5, by the decodes alone: %6")
               .arg(spread(allFaces), ms1(afterPlayable.median()))
               .arg(QThread::idealThreadCount())
               .arg(ms1(parallel.median()), ms1(boardCpu.median()), ms1(decodeCpu.median())));
    return {playable.median(), allFaces.median(), limit.median(), perFace.median()};
}

// ---------------------------------------------------------------------------------------------
// Figure 3: click latency

void benchClickNotReady(const QString &set, int samples, int pairOption = 4,
                        const QString &id = QStringLiteral("3a"))
{
    say("Clicks on cards whose face is not decoded yet, %s\n", set);
    Samples click, single, clickCpu, singleCpu;
    int painted = 0;
    for (int r = 0; r < samples; ++r) {
        chooseSet(set, pairOption);
        Form2 *board = Runtime::Show<Form2>();
        if (!board)
            return;
        // At once, before any event is handled: a card whose face no worker has finished.
        // Prefer the picture dealt last, the one the workers reach last.
        int slot = -1;
        for (int k = 2 * board->TotalPairs() - 1; k >= 0 && slot < 0; --k) {
            const int picture = board->CardPicture()[k].toInt();
            if (!board->faces()->isDone(picture))
                slot = k;
        }
        if (slot < 0) {
            closeAll();
            continue;
        }
        const Face face{slot,
                        board->File1.Path + u'/' + board->File1.List(board->CardPicture()[slot].toInt()),
                        board->Image1[slot]->size() * screenRatio()};
        PaintCounter counter;
        board->Image1[slot]->installEventFilter(&counter);
        // Timed: the click handler (which decodes the face on the spot, or waits for the worker
        // that has it) and a paint of the card with its face. The window has not been exposed
        // yet (no event was handled), so the card is drawn with grab(), which paints it and its
        // face into a pixmap at once.
        const double cpu0 = threadCpuMs();
        QElapsedTimer t;
        t.start();
        board->picture2_Click(slot);
        const double callMs = msSince(t);
        const QPixmap card = board->Picture2[slot]->grab();
        const double ms = msSince(t);
        const double cpu = threadCpuMs() - cpu0;
        std::fprintf(stderr, "    click %.1f ms (handler %.1f ms, CPU %.1f ms)", ms, callMs, cpu);
        painted += counter.count > 0 ? 1 : 0;
        board->Image1[slot]->removeEventFilter(&counter);
        closeAll();
        double aloneCpu = 0;
        const double alone = timeScaledDecode(face, &aloneCpu);
        std::fprintf(stderr, ", the same decode alone %.1f ms (CPU %.1f ms)\n", alone, aloneCpu);
        clickCpu.add(cpu);
        singleCpu.add(aloneCpu);
        click.add(ms);
        single.add(alone);
    }
    addRow(id,
           QStringLiteral("Click, face not decoded yet, p50, %1 pairs, ")
                   .arg(Deck::SetPairCount(pairOption))
               + set,
           ms1(click.median()),
           QStringLiteral("≤ one decode %1").arg(ms1(single.median())),
           click.median() <= single.median(),
           QStringLiteral("p99 %1, n=%2, face painted in %3; picture2_Click() on a fresh board "
                          "before any event + grab() of the card; one decode = the same scaled "
                          "decode alone afterwards (p50); CPU p50: click %4, decode alone %5")
               .arg(ms1(click.percentile(99)))
               .arg(click.count())
               .arg(painted)
               .arg(ms1(clickCpu.median()), ms1(singleCpu.median())));
}

void benchClickReady(const QString &set, int boards, int cyclesPerBoard)
{
    say("Clicks on cards whose face is decoded, %s\n", set);
    Samples click, firstCard, secondCard;
    int painted = 0;
    std::mt19937 rng(12345);
    for (int b = 0; b < boards; ++b) {
        chooseSet(set, 4);
        double playMs = 0;
        QElapsedTimer clock;
        Form2 *board = openBoardPlayable(&playMs, &clock);
        if (!board || !waitAllFaces(board))
            return;
        QCoreApplication::processEvents();
        const int n = 2 * board->TotalPairs();
        for (int c = 0; c < cyclesPerBoard; ++c) {
            // Two face-down cards of different pictures: a mismatch, turned back by the timer's
            // handler, so the board stays in play indefinitely.
            int a, s;
            do {
                a = int(rng() % unsigned(n));
                s = int(rng() % unsigned(n));
            } while (a == s || board->CardPicture()[a] == board->CardPicture()[s]);
            for (int k : {a, s}) {
                PaintCounter counter;
                board->Image1[k]->installEventFilter(&counter);
                // Timed: the click handler and the event processing that paints what it changed
                // (the face; on a mismatch, the whole board as it turns disabled), until the
                // face has been painted.
                QElapsedTimer t;
                t.start();
                board->picture2_Click(k);
                QCoreApplication::processEvents();
                while (counter.count == 0 && t.elapsed() < 200)
                    QCoreApplication::processEvents();
                const double ms = msSince(t);
                click.add(ms);
                (k == a ? firstCard : secondCard).add(ms);
                painted += counter.count > 0 ? 1 : 0;
                board->Image1[k]->removeEventFilter(&counter);
            }
            board->Timer1_Timer();
            QCoreApplication::processEvents();
        }
    }
    closeAll();
    addRow(QStringLiteral("3b"), QStringLiteral("Click, face decoded, p99, ") + set,
           ms1(click.percentile(99)), QStringLiteral("≤ 8 ms"), click.percentile(99) <= 8.0,
           QStringLiteral("p50 %1, max %2, n=%7, face painted in %8; picture2_Click() + "
                          "processEvents() until the face is painted; first card p50/p99 %3/%4, "
                          "second card of a mismatch (the board turns disabled and repaints) "
                          "%5/%6")
               .arg(ms1(click.median()), ms1(click.max()), ms1(firstCard.median()),
                    ms1(firstCard.percentile(99)), ms1(secondCard.median()),
                    ms1(secondCard.percentile(99)))
               .arg(click.count())
               .arg(painted));
}

// ---------------------------------------------------------------------------------------------
// Figure 7: options listing and a 6-pair deal from the folder of 5000 files

void benchOptionsAndDeal(int runs)
{
    say("Options listing and a 6-pair deal from %s\n", Fixtures::kManySet);
    Samples listing, deal, total;
    for (int r = 0; r < runs; ++r) {
        closeAll();
        Module1::reset();
        QElapsedTimer t;
        t.start();
        Form1 *options = Runtime::Show<Form1>();
        QCoreApplication::processEvents();
        const QPixmap a = options->grab();
        const double listed = msSince(t);
        options->Combo1->setText(Fixtures::kManySet);
        Module1::PairOption = 0;
        QElapsedTimer t2;
        t2.start();
        Form2 *board = Runtime::Show<Form2>();
        if (!board)
            return;
        QCoreApplication::processEvents();
        const QPixmap b = board->grab();
        const double dealt = msSince(t2);
        listing.add(listed);
        deal.add(dealt);
        total.add(listed + dealt);
        if (r == 0)
            std::fprintf(stderr, "    %d sets listed, %d files in %s\n", options->Combo1->count(),
                         board->File1.ListCount(), qPrintable(Fixtures::kManySet));
    }
    closeAll();
    addRow(QStringLiteral("7"),
           QStringLiteral("Options listing + 6-pair deal, folder of %1 files").arg(Fixtures::kManyCount),
           ms1(total.median()), QStringLiteral("≤ 150 ms"), total.median() <= 150.0,
           QStringLiteral("median %1; options screen shown and painted %2 + board from the "
                          "folder shown and painted %3")
               .arg(spread(total), ms1(listing.median()), ms1(deal.median())));
}

// ---------------------------------------------------------------------------------------------
// Child processes

/// Start-up as main() does it, to the title screen painted; prints "painted" at that moment.
int childStartup(int argc, char **argv, const Options &o, const QElapsedTimer &sinceMain)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trabel"));
    QApplication::setFont(designFont(8.25, false));
    QTranslator qtSpanish;
    if (qtSpanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);
    Platform::setAppFolder(o.appFolder);
    Form5 *title = Runtime::Show<Form5>();
    if (!title)
        return 1;
    QCoreApplication::processEvents();
    const QPixmap shot = title->grab();
    std::printf("painted=1\nmain_to_painted_ms=%.3f\n", msSince(sinceMain));
    std::fflush(stdout);
    Runtime::resetForTests();
    Sound::shutdown();
    return shot.isNull() ? 1 : 0;
}

/// Our board: 21 pairs from the photo folder, every face decoded; time and peak memory.
int childMemoryOurs(const Options &o)
{
    setUpPlatform(o.appFolder);
    QApplication::setFont(designFont(8.25, false));
    std::printf("baseline_hwm_kb=%lld\n", procStatusKb("VmHWM"));
    chooseSet(o.set.isEmpty() ? Fixtures::kPhotoSet : o.set, o.pairOption);
    double playMs = 0;
    QElapsedTimer clock;
    Form2 *board = openBoardPlayable(&playMs, &clock);
    if (!board || !waitAllFaces(board))
        return 1;
    const double allMs = msSince(clock);
    const QPixmap shot = board->grab();
    std::printf("playable_ms=%.3f\nall_faces_ms=%.3f\nhwm_kb=%lld\nrss_kb=%lld\n", playMs, allMs,
                procStatusKb("VmHWM"), procStatusKb("VmRSS"));
    std::fflush(stdout);
    closeAll();
    return 0;
}

/// The same board opened by a literal loader: every slot decodes its whole picture, keeps it
/// whole and shows it stretched through a pixmap of its own. Faces stay hidden until turned, as
/// on our board; the time runs to the board shown and painted, every picture loaded.
int childMemoryLiteral(const Options &o)
{
    setUpPlatform(o.appFolder);
    QApplication::setFont(designFont(8.25, false));
    std::printf("baseline_hwm_kb=%lld\n", procStatusKb("VmHWM"));

    QElapsedTimer clock;
    clock.start();
    FileList files;
    files.setPath(o.appFolder + QStringLiteral("/graficos/") + Fixtures::kPhotoSet);
    SeededRandom random;
    random.seedFromTimeOfDay();
    const int pairs = Deck::SetPairCount(4);
    const Deal deal = Deck::DealCards(pairs, files.ListCount(), random, {});
    const QSize screen = Twips::screen();
    const GridLayout grid = layoutGrid(4, screen.width(), screen.height());

    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, Qt::white);
    window.setPalette(pal);
    window.setAutoFillBackground(true);
    const QPixmap back(o.appFolder + QStringLiteral("/fondo.jpg"));
    std::vector<QImage> whole(size_t(2 * pairs));
    int loaded = 0;
    for (int k = 0; k < 2 * pairs; ++k) {
        auto *slot = new PictureBox(&window);
        Twips::setGeometry(slot, grid.places[k]);
        slot->setPicture(back);
        auto *face = new ImageBox(slot->inner());
        const int picture = deal.CardPicture[k].toInt();
        whole[size_t(k)] = QImage(files.Path + u'/' + files.List(picture));
        const QImage &img = whole[size_t(k)];
        loaded += img.isNull() ? 0 : 1;
        const FaceFit fit = fitFace(grid.slotWidth, grid.slotHeight,
                                    qint64(qMax(1, img.width())) * Twips::kPerPixel,
                                    qint64(qMax(1, img.height())) * Twips::kPerPixel);
        Twips::setGeometry(face, 1, fit.top, fit.width, fit.height);
        face->setPicture(QPixmap::fromImage(img));
        face->hide();
    }
    if (const QScreen *s = QGuiApplication::primaryScreen())
        window.setGeometry(s->geometry());
    window.showFullScreen();
    QCoreApplication::processEvents();
    const QPixmap shot = window.grab();
    const double ms = msSince(clock);
    std::printf("loaded=%d\nall_faces_ms=%.3f\nhwm_kb=%lld\nrss_kb=%lld\n", loaded, ms,
                procStatusKb("VmHWM"), procStatusKb("VmRSS"));
    std::fflush(stdout);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Figures 4, 5 and 6 (children)

void benchMemory(const QString &appFolder, int runs)
{
    say("Peak memory, %s board in fresh processes (ours, then literal)\n", Fixtures::kPhotoSet);
    Samples oursHwm, oursMs, oursBase, litHwm, litMs;
    for (int r = 0; r < runs; ++r) {
        const auto kv = runChild({QStringLiteral("--child"), QStringLiteral("memory-ours"),
                                  QStringLiteral("--app-folder"), appFolder});
        if (kv.isEmpty())
            return;
        oursHwm.add(kv.value(QStringLiteral("hwm_kb")).toDouble());
        oursMs.add(kv.value(QStringLiteral("all_faces_ms")).toDouble());
        oursBase.add(kv.value(QStringLiteral("baseline_hwm_kb")).toDouble());
        std::fprintf(stderr, "    ours run %d: %.1f ms, peak %.1f MB\n", r + 1,
                     oursMs.v.back(), oursHwm.v.back() / 1024);
    }
    for (int r = 0; r < runs; ++r) {
        const auto kv = runChild({QStringLiteral("--child"), QStringLiteral("memory-literal"),
                                  QStringLiteral("--app-folder"), appFolder});
        if (kv.isEmpty())
            return;
        litHwm.add(kv.value(QStringLiteral("hwm_kb")).toDouble());
        litMs.add(kv.value(QStringLiteral("all_faces_ms")).toDouble());
        std::fprintf(stderr, "    literal run %d: %.1f ms, peak %.1f MB (%s pictures)\n", r + 1,
                     litMs.v.back(), litHwm.v.back() / 1024,
                     qPrintable(kv.value(QStringLiteral("loaded"))));
    }
    addRow(QStringLiteral("4"), QStringLiteral("Peak resident memory, 21-pair photo board"),
           mb(oursHwm.median()), QStringLiteral("≤ 120 MB"), oursHwm.median() <= 120.0 * 1024,
           QStringLiteral("VmHWM of a fresh process with the board open and every face decoded; "
                          "median [%1–%2 MB, n=%3]; the process before the board: %4")
               .arg(QString::number(oursHwm.min() / 1024, 'f', 1),
                    QString::number(oursHwm.max() / 1024, 'f', 1))
               .arg(oursHwm.count())
               .arg(mb(oursBase.median())));
    addRow(QStringLiteral("5a"), QStringLiteral("Literal loader: time, same board"), ms1(litMs.median()),
           QStringLiteral("—"), std::nullopt,
           QStringLiteral("every slot decodes its whole picture and keeps it as a pixmap; median "
                          "%1; ours in the same kind of process, to every face decoded: %2")
               .arg(spread(litMs), ms1(oursMs.median())));
    addRow(QStringLiteral("5b"), QStringLiteral("Literal loader: peak resident memory"),
           mb(litHwm.median()), QStringLiteral("—"), std::nullopt,
           QStringLiteral("ours: %1").arg(mb(oursHwm.median())));
    const double timeRatio = litMs.median() / oursMs.median();
    const double memRatio = litHwm.median() / oursHwm.median();
    addRow(QStringLiteral("5c"), QStringLiteral("Time ratio literal / ours"),
           QString::number(timeRatio, 'f', 1) + QStringLiteral("×"), QStringLiteral("≥ 20×"),
           timeRatio >= 20.0);
    addRow(QStringLiteral("5d"), QStringLiteral("Memory ratio literal / ours"),
           QString::number(memRatio, 'f', 1) + QStringLiteral("×"), QStringLiteral("≥ 15×"),
           memRatio >= 15.0);
}

/// Peak resident memory of a fresh process with one board open and every face decoded.
void benchBoardMemory(const QString &appFolder, const QString &set, int pairOption, int runs,
                      const QString &id)
{
    Samples hwm;
    for (int r = 0; r < runs; ++r) {
        const auto kv = runChild({QStringLiteral("--child"), QStringLiteral("memory-ours"),
                                  QStringLiteral("--app-folder"), appFolder, QStringLiteral("--set"),
                                  set, QStringLiteral("--pair-option"),
                                  QString::number(pairOption)});
        if (kv.isEmpty())
            return;
        hwm.add(kv.value(QStringLiteral("hwm_kb")).toDouble());
    }
    addRow(id,
           QStringLiteral("Peak resident memory, %1 pairs, ").arg(Deck::SetPairCount(pairOption)) + set,
           mb(hwm.median()), QStringLiteral("≤ 150 MB"), hwm.median() <= 150.0 * 1024,
           QStringLiteral("VmHWM of a fresh process, every face decoded; [%1–%2 MB, n=%3]")
               .arg(QString::number(hwm.min() / 1024, 'f', 1), QString::number(hwm.max() / 1024, 'f', 1))
               .arg(hwm.count()));
}

/// Figure 8: the photos as phones and cameras save them, on the large and the small board.
void benchPhoneFormats(const QString &appFolder, int runs)
{
    struct Set
    {
        QString name, label, letter;
    };
    const QList<Set> sets = {
        {Fixtures::kPhotoSet, QStringLiteral("JPEG"), QStringLiteral("a")},
        {Fixtures::kJpegThumbSet, QStringLiteral("JPEG + 160×120 EXIF thumbnail"), QStringLiteral("b")},
        {Fixtures::kHeicThumbSet, QStringLiteral("HEIC + 320×240 thumbnail"), QStringLiteral("c")},
        {Fixtures::kHeicSet, QStringLiteral("HEIC, no thumbnail"), QStringLiteral("d")},
        {Fixtures::kAvifSet, QStringLiteral("AVIF"), QStringLiteral("e")},
    };
    QHash<QString, BoardFigures> figures;
    for (const int option : {4, 0}) {
        const int pairs = Deck::SetPairCount(option);
        for (const Set &s : sets) {
            const QString id = QStringLiteral("8%1%2").arg(s.letter).arg(pairs);
            // The aim for camera JPEGs on the large board: every face within 60 ms of the load.
            const double aim = s.name == Fixtures::kJpegThumbSet && option == 4 ? 60.0 : 0.0;
            figures.insert(s.name + QString::number(option),
                           benchBoard(s.name, s.label, runs, id + QStringLiteral(".1"),
                                      id + QStringLiteral(".2"), option, aim));
            benchClickNotReady(s.name, runs, option, id + QStringLiteral(".3"));
            benchBoardMemory(appFolder, s.name, option, qMax(1, runs / 2), id + QStringLiteral(".4"));
        }
        const auto perFace = [&](const QString &set) {
            return figures.value(set + QString::number(option)).perFace;
        };
        for (const auto &[with, without, label] :
             {std::tuple{Fixtures::kJpegThumbSet, Fixtures::kPhotoSet, QStringLiteral("JPEG")},
              std::tuple{Fixtures::kHeicThumbSet, Fixtures::kHeicSet, QStringLiteral("HEIC")}})
            addRow(QStringLiteral("8f%1").arg(pairs),
                   QStringLiteral("Decode per face, %1 pairs, %2 with / without preview")
                       .arg(pairs)
                       .arg(label),
                   QStringLiteral("%1 / %2").arg(ms1(perFace(with)), ms1(perFace(without))),
                   QStringLiteral("—"), std::nullopt,
                   QStringLiteral("mean of one scaled decode alone per distinct picture; AVIF "
                                  "(no preview): %1")
                       .arg(ms1(perFace(Fixtures::kAvifSet))));
    }
}

void benchStartup(const Options &o, int runs)
{
    say("Start-up to the title screen painted (%s)\n", o.app);
    if (!QFileInfo::exists(o.app + QStringLiteral("/idioma/idioma.txt")))
        std::fprintf(stderr, "    warning: %s has no idioma/idioma.txt\n", qPrintable(o.app));
    Samples spawn, inMain;
    for (int r = 0; r < runs + 1; ++r) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), QStringLiteral("startup"), QStringLiteral("--app-folder"), o.app});
        QByteArray out;
        double ms = -1;
        while (p.waitForReadyRead(30000)) {
            out += p.readAllStandardOutput();
            if (out.contains("painted=1\n")) {
                ms = msSince(t);
                break;
            }
        }
        p.waitForFinished(30000);
        out += p.readAllStandardOutput();
        if (ms < 0) {
            std::fprintf(stderr, "the start-up child did not report\n");
            return;
        }
        if (r == 0)
            continue; // the first start warms the file cache
        spawn.add(ms);
        inMain.add(parseKeyValues(out).value(QStringLiteral("main_to_painted_ms")).toDouble());
    }
    addRow(QStringLiteral("6"), QStringLiteral("Process start to title screen painted"),
           ms1(spawn.median()), QStringLiteral("≤ 250 ms"), spawn.median() <= 250.0,
           QStringLiteral("median %1; from QProcess::start() to the child's line printed after "
                          "Show<Form5>() + processEvents() + grab(); of which main() to painted: %2")
               .arg(spread(spawn), ms1(inMain.median())));
}

int runAll(const Options &o)
{
    const QString appFolder =
        Fixtures::prepare(o.fixtures, QStringLiteral(TRABEL_SOURCE_DATA));
    if (appFolder.isEmpty())
        return 1;
    setUpPlatform(appFolder);
    QApplication::setFont(designFont(8.25, false));

    const QScreen *screen = QGuiApplication::primaryScreen();
    const QString header =
        QStringLiteral("Trabel benchmark — %1\nQt %2 (built with %3), %4 cores (%5), platform %6, "
                       "screen %7×%8 at %9 dpr, board laid out for 1024×768\n"
                       "Photos: %10 JPEG of %11×%12 in %13; small files: %14 in %15")
            .arg(QDateTime::currentDateTime().toString(Qt::ISODate), QString::fromLatin1(qVersion()),
                 QStringLiteral(QT_VERSION_STR))
            .arg(QThread::idealThreadCount())
            .arg(cpuModel(), QGuiApplication::platformName())
            .arg(screen ? screen->geometry().width() : 0)
            .arg(screen ? screen->geometry().height() : 0)
            .arg(screenRatio())
            .arg(Fixtures::kPhotoCount)
            .arg(Fixtures::kPhotoWidth)
            .arg(Fixtures::kPhotoHeight)
            .arg(appFolder + QStringLiteral("/graficos/") + Fixtures::kPhotoSet)
            .arg(Fixtures::kManyCount)
            .arg(Fixtures::kManySet);
    std::fprintf(stderr, "%s\n\n", qPrintable(header));

    // A first board, not counted: loads the image plugins and warms the file cache.
    chooseSet(Fixtures::kPhotoSet, 4);
    if (Form2 *warm = Runtime::Show<Form2>())
        waitAllFaces(warm);
    closeAll();

    const QString loadBefore = loadAverage();
    if (loadBefore.section(u' ', 0, 0).toDouble() > 0.5 * QThread::idealThreadCount())
        std::fprintf(stderr, "Warning: the machine is busy (load average %s on %d cores): the "
                             "figures will be slower than on an idle machine.\n\n",
                     qPrintable(loadBefore), QThread::idealThreadCount());
    if (o.wants(1) || o.wants(2)) {
        benchBoard(Fixtures::kPhotoSet, QStringLiteral("photos (4000×3000 JPEG)"), o.runs,
                   QStringLiteral("1a"), QStringLiteral("2a"));
        benchBoard(QStringLiteral("animales"), QStringLiteral("animales (GIF 256×256)"), o.runs,
                   QStringLiteral("1b"), QStringLiteral("2b"));
    }
    if (o.wants(3)) {
        benchClickNotReady(Fixtures::kPhotoSet, 3 * o.runs);
        benchClickReady(Fixtures::kPhotoSet, 3, 200);
    }
    if (o.wants(4) || o.wants(5))
        benchMemory(appFolder, qMax(5, o.runs - 2));
    if (o.wants(6))
        benchStartup(o, 2 * o.runs);
    if (o.wants(7))
        benchOptionsAndDeal(2 * o.runs);
    if (o.wants(8)) {
        if (Fixtures::preparePhoneSets(appFolder))
            benchPhoneFormats(appFolder, qMax(3, o.runs / 2));
        else
            std::fprintf(stderr, "the phone-format sets could not be made: figure 8 skipped\n");
    }
    closeAll();

    printTable(header
               + QStringLiteral("\nLoad average (1, 5, 15 min) before the figures: %1, after: %2 "
                                "(figures are slower when other work shares the cores)")
                     .arg(loadBefore, loadAverage()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Platform::tuneAllocator(); // as the game's main() does
    QElapsedTimer sinceMain;
    sinceMain.start();
    const Options o = parseOptions(argc, argv);

    // The offscreen platform's default screen is 800 × 600; the board is laid out for 1024 × 768,
    // so give it a screen of that size (children inherit the setting).
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString config = o.fixtures + QStringLiteral("/screen-1024x768.json");
        if (Fixtures::writeOffscreenScreen(config, 1024, 768))
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    }

    // The options screen also lists the players' own sets from the user's data folder: keep the
    // machine's own out of the figures.
    const QString dataHome = o.fixtures + QStringLiteral("/xdg-data");
    QDir().mkpath(dataHome);
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));

    if (o.child == QLatin1String("startup"))
        return childStartup(argc, argv, o, sinceMain);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trabel"));
    if (o.child == QLatin1String("memory-ours"))
        return childMemoryOurs(o);
    if (o.child == QLatin1String("memory-literal"))
        return childMemoryLiteral(o);
    if (!o.child.isEmpty()) {
        std::fprintf(stderr, "unknown child mode %s\n", qPrintable(o.child));
        return 2;
    }
    return runAll(o);
}
