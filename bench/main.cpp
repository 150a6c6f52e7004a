// trabel_bench: the game's speed and memory figures on Google Benchmark. Each figure is one
// benchmark whose repetitions are its samples (a board opened, a click, a fresh process), timed
// by hand; only its aggregates are printed (median, p99...). The target is the row's label and
// what the target is judged against is a counter beside it (limit_ms, one_decode_ms, peak_MB...).
// A new figure is one call of figure() with a function that takes one sample.
//
// Run with scripts/bench, which passes Google Benchmark's own options (--benchmark_filter=REGEX,
// --benchmark_repetitions=N, --benchmark_out=FILE --benchmark_out_format=json).
// TRABEL_BENCH_FIXTURES is the cache of generated pictures (default ./bench-fixtures);
// TRABEL_BENCH_SCREEN=WxH lays the board out for another screen (default 1024x768).
// Internal: trabel_bench --child startup|memory APP [SET PAIR-OPTION] measures in a fresh
// process and prints "key=value" lines.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>

#include "board_screen.h"
#include "colours_fonts.h"
#include "deal.h"
#include "face_loader.h"
#include "fixtures.h"
#include "form.h"
#include "module1.h"
#include "options_screen.h"
#include "picture_sets.h"
#include "pictures.h"
#include "platform.h"
#include "random_source.h"
#include "sound.h"
#include "start_up.h"
#include "thumbnail_cache.h"
#include "title_screen.h"
#include "twips.h"

namespace {

QString g_app; ///< the fixtures' application folder
QSize g_screen(1024, 768);

class SilentSound final : public SoundPlayer
{
public:
    void play(const QString &, quint32) override {}
} g_silent;

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

/// A field of /proc/self/status (VmHWM: peak resident memory), in kB.
double statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(QByteArray(key) + ':'))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').value(0).toDouble();
    return -1;
}

std::string loadAverage()
{
    double l[3] = {};
    return ::getloadavg(l, 3) == 3 ? QStringLiteral("%1 %2 %3")
                                         .arg(l[0], 0, 'f', 2)
                                         .arg(l[1], 0, 'f', 2)
                                         .arg(l[2], 0, 'f', 2)
                                         .toStdString()
                                   : "?";
}

void setUp(const QString &app)
{
    Platform::setAppFolder(app);
    Twips::setScreen(g_screen * Twips::kPerPixel);
    Sound::setPlayer(&g_silent);
    Runtime::setMessageBoxHandler(
        [](const QString &text) { qWarning("message box: %s", qPrintable(text)); });
    Runtime::setEndHandler([] {});
    QApplication::setFont(designFont(8.25, false));
}

/// Throws every screen away; the board's face loader waits for its running decodes.
void closeAll()
{
    Runtime::resetForTests();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

/// The desktop's thumbnail cache the board reads and writes: a folder of its own, emptied for
/// every sample unless a figure keeps it warm from one game to the next.
std::unique_ptr<QTemporaryDir> g_cache;
void freshCache()
{
    g_cache = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(g_cache->path()));
}

/// Deals the same pictures in every game it is seeded for.
struct SameDeal final : RandomSource
{
    std::mt19937 engine;
    quint32 seed = 1;
    void seedFromTimeOfDay() override { engine.seed(seed); }
    float next() override { return std::uniform_real_distribution<float>(0.f, 1.f)(engine); }
} g_sameDeal;

/// The options screen as the player leaves it before JUGAR: a set and a pair option chosen.
void chooseSet(const QString &set, int pairOption, bool warmCache = false)
{
    closeAll();
    if (!warmCache)
        freshCache();
    Module1::reset();
    Runtime::Show<Form1>()->Combo1->setText(set);
    Module1::PairOption = quint8(pairOption);
}

/// Playable: Show<Form2>() returned, one processEvents() (expose and paint) and a grab() of the
/// window, which draws every card again.
Form2 *openBoard(double *playableMs, QElapsedTimer &clock)
{
    clock.start();
    Form2 *board = Runtime::Show<Form2>();
    if (!board)
        return nullptr;
    QCoreApplication::processEvents();
    board->grab();
    *playableMs = msSince(clock);
    return board;
}

bool allFacesShown(const Form2 *board)
{
    for (int k = 0; k < 2 * board->TotalPairs(); ++k)
        if (board->Image1[k]->picture().isNull())
            return false;
    return true;
}

/// Waits in the event loop (not spinning: the workers keep the cores) until `done`, two minutes at
/// most.
bool waitFor(const std::function<bool()> &done)
{
    QTimer wake;
    wake.start(25);
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

/// Until every card has its face (a preview or the picture).
bool waitAllFaces(const Form2 *board)
{
    return waitFor([board] { return allFacesShown(board); });
}

/// A picture and the size, in device pixels, the board asks its loader for.
struct Face
{
    QString path;
    QSize size;
};

Face faceOf(const Form2 *board, int slot)
{
    return {board->File1.Path + u'/' + board->File1.List(board->pictureOf(slot)),
            board->Image1[slot]->size() * board->devicePixelRatioF()};
}

/// The board's distinct pictures at the size each is shown.
QList<Face> facesOf(const Form2 *board)
{
    QList<Face> out;
    QSet<int> seen;
    for (int k = 0; k < 2 * board->TotalPairs(); ++k)
        if (!seen.contains(board->pictureOf(k))) {
            seen.insert(board->pictureOf(k));
            out.append(faceOf(board, k));
        }
    return out;
}

/// One scaled decode alone on this thread, in ms.
double decodeAlone(const Face &f)
{
    QElapsedTimer t;
    t.start();
    if (Pictures::loadScaled(f.path, f.size).isNull())
        qWarning("could not decode %s", qPrintable(f.path));
    return msSince(t);
}

/// Runs this program in a child mode and returns its "key=value" lines.
QHash<QString, double> child(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
    QHash<QString, double> kv;
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        return kv;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(u'\n'))
        if (line.contains(u'='))
            kv.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toDouble());
    return kv;
}

// ---------------------------------------------------------------------------------------------
// Figures

/// One sample of a figure: its time in ms (negative: failed), counters set on `state`.
using Sample = std::function<double(benchmark::State &state)>;

/// Registers a figure: `repetitions` samples, printed as median and p99 (nearest rank) with the
/// target as the label.
void figure(const std::string &name, const std::string &target, int repetitions, Sample sample)
{
    benchmark::RegisterBenchmark(name.c_str(),
                                 [target, sample](benchmark::State &state) {
                                     for (auto _ : state) {
                                         const double ms = sample(state);
                                         if (ms < 0) {
                                             state.SkipWithError("the sample failed");
                                             break;
                                         }
                                         state.SetIterationTime(ms / 1e3);
                                     }
                                     state.SetLabel(target);
                                 })
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly()
        ->ComputeStatistics(
            "p99",
            [](const std::vector<double> &v) {
                std::vector<double> s = v;
                std::sort(s.begin(), s.end());
                return s[std::clamp<size_t>(size_t(std::ceil(0.99 * s.size())), 1, s.size()) - 1];
            })
        ->Unit(benchmark::kMillisecond);
}

/// Makes the phone-format sets the first time a figure needs them.
bool phoneSetsReady()
{
    static const bool ready = Fixtures::preparePhoneSets(g_app);
    return ready;
}

/// The figures of one board: playable, every face decoded (against the limit: one scaled decode
/// of each distinct picture alone, summed, over the cores), a click on a card whose face is not
/// decoded yet (against that one decode alone), and peak memory in a fresh process.
void boardFigures(const std::string &id, const QString &set, const std::string &what,
                  int pairOption, int runs, int memoryRuns, double memoryTargetMb)
{
    const std::string pairs = std::to_string(Deck::SetPairCount(pairOption)) + " pairs, " + what;
    const bool phone = id.starts_with('8');
    const auto figure = [set](const std::string &name, const std::string &target, int runs,
                              Sample sample) {
        ::figure(name, target, runs, [set, sample](benchmark::State &state) {
            return set.startsWith(u"fotos-") && !phoneSetsReady() ? -1.0 : sample(state);
        });
    };
    figure(id + ".1 board playable, " + pairs, "target <= 100 ms", runs, [=](benchmark::State &) {
        chooseSet(set, pairOption);
        QElapsedTimer clock;
        double ms = -1;
        openBoard(&ms, clock);
        closeAll();
        return ms;
    });
    figure(id + ".2 every face sharp, " + pairs,
           "target <= 1.2 x limit_ms; shown_ms - playable_ms <= 100", runs,
           [=](benchmark::State &state) {
               chooseSet(set, pairOption);
               QElapsedTimer clock;
               double playable = 0;
               Form2 *board = openBoard(&playable, clock);
               // A picture is sharp once the loader hands it over for good (its preview or not).
               QSet<int> sharp;
               if (board)
                   QObject::connect(board->findChild<FaceLoader *>(), &FaceLoader::decoded, board,
                                    [&sharp](int key) { sharp.insert(key); });
               const QList<Face> faces = board ? facesOf(board) : QList<Face>();
               if (!board || !waitAllFaces(board))
                   return -1.0;
               const double shown = msSince(clock);
               if (!waitFor([&] { return sharp.size() >= faces.size(); }))
                   return -1.0;
               const double all = msSince(clock);
               closeAll(); // waits for the workers: the decodes below run alone
               double sum = 0;
               for (const Face &f : faces)
                   sum += decodeAlone(f);
               const double limit = sum / QThread::idealThreadCount();
               state.counters["playable_ms"] = playable;
               state.counters["shown_ms"] = shown;
               state.counters["limit_ms"] = limit;
               state.counters["x_limit"] = all / limit;
               state.counters["per_face_ms"] = sum / faces.size();
               return all;
           });
    figure(id + ".3 click, face not decoded yet, " + pairs,
           "target <= 1.1 x one_decode_ms; p99 <= 16 ms with a preview", 3 * runs,
           [=, n = 0](benchmark::State &state) mutable {
               chooseSet(set, pairOption);
               Form2 *board = Runtime::Show<Form2>();
               if (!board)
                   return -1.0;
               // At once, before any event: no worker has finished this card's face.
               const int slot = (7 * n++) % (2 * board->TotalPairs());
               const Face face = faceOf(board, slot);
               QElapsedTimer t;
               t.start();
               board->picture2_Click(slot);
               board->Picture2[slot]->grab(); // not exposed yet: grab() paints the card
               const double ms = msSince(t);
               closeAll();
               // The click decodes with the cores to itself: so does the decode it is held against.
               QElapsedTimer alone;
               alone.start();
               Pictures::loadFull(face.path, face.size, QThread::idealThreadCount());
               state.counters["one_decode_ms"] = msSince(alone);
               return ms;
           });
    if (memoryRuns > 0)
        figure(
            id + ".4 peak memory, " + (phone ? "clicks included, " : "") + pairs,
            "target peak_MB <= " + std::to_string(int(memoryTargetMb)), memoryRuns,
            [=](benchmark::State &state) {
                QStringList args{QStringLiteral("memory"), g_app, set, QString::number(pairOption)};
                const auto kv = child(phone ? args << QStringLiteral("clicks") : args);
                state.counters["peak_MB"] = kv.value(QStringLiteral("hwm_kb")) / 1024;
                return kv.isEmpty() ? -1.0 : kv.value(QStringLiteral("ms"));
            });
}

/// Counts the paint events a widget receives.
struct PaintCounter : QObject
{
    int count = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        return count += e->type() == QEvent::Paint, false;
    }
};

/// Waits until the loader has handed every face over for good; false after two minutes.
bool waitAllSharp(Form2 *board)
{
    auto *sharp = new QSet<int>;
    QObject::connect(board->findChild<FaceLoader *>(), &FaceLoader::decoded, board,
                     [sharp](int key) { sharp->insert(key); });
    const int faces = int(facesOf(board).size());
    const bool done = waitFor([&] { return sharp->size() >= faces; });
    delete sharp;
    return done;
}

/// Opens the board of the set chosen as every board with this seed does: the same pictures dealt.
Form2 *openSameDeal(quint32 seed, double *playableMs, QElapsedTimer &clock)
{
    g_sameDeal.seed = seed;
    Platform::setRandom(&g_sameDeal);
    Form2 *board = openBoard(playableMs, clock);
    Platform::setRandom(nullptr);
    return board;
}

/// A first game on a fresh cache, to every face sharp; the board then goes, and with it its loader
/// once it has stored what it had to.
bool firstGame(const QString &set, int pairOption, quint32 seed)
{
    chooseSet(set, pairOption);
    QElapsedTimer clock;
    double playable = 0;
    Form2 *board = openSameDeal(seed, &playable, clock);
    const bool ok = board && waitAllSharp(board);
    closeAll();
    return ok;
}

/// The same album played again on the cache its first game left, with the same pictures dealt: a
/// click on a card at once (no face has arrived yet), and every face sharp after the board is
/// playable.
void secondGameFigures(const std::string &id, const QString &set, const std::string &what,
                       int pairOption)
{
    const std::string pairs = std::to_string(Deck::SetPairCount(pairOption)) + " pairs, " + what;
    const auto ready = [set] { return !set.startsWith(u"fotos-") || phoneSetsReady(); };
    figure(id + ".1 second game: click to face, " + pairs, "target p99 <= 16 ms", 12,
           [=, n = 0](benchmark::State &) mutable {
               if (!ready() || (n == 0 && !firstGame(set, pairOption, 7)))
                   return -1.0;
               chooseSet(set, pairOption, true);
               g_sameDeal.seed = 7;
               Platform::setRandom(&g_sameDeal);
               Form2 *board = Runtime::Show<Form2>();
               Platform::setRandom(nullptr);
               if (!board)
                   return -1.0;
               const int slot = (5 * n++) % (2 * board->TotalPairs());
               QElapsedTimer t;
               t.start();
               board->picture2_Click(slot);
               board->Picture2[slot]->grab(); // not exposed yet: grab() paints the card
               const double ms = msSince(t);
               const bool shown = !board->Image1[slot]->picture().isNull();
               closeAll();
               return shown ? ms : -1.0;
           });
    figure(id + ".2 second game: every face sharp after playable, " + pairs, "target <= 100 ms", 3,
           [=, n = 0](benchmark::State &state) mutable {
               const quint32 seed = 11 + n++;
               if (!ready() || !firstGame(set, pairOption, seed))
                   return -1.0;
               chooseSet(set, pairOption, true);
               QElapsedTimer clock;
               double playable = 0;
               Form2 *board = openSameDeal(seed, &playable, clock);
               const bool ok = board && waitAllSharp(board);
               const double sharp = msSince(clock);
               state.counters["playable_ms"] = playable;
               closeAll();
               return ok ? sharp - playable : -1.0;
           });
}

/// A click on a card whose face is decoded, to its face painted: the first and second cards of
/// mismatched pairs, turned back by the timer's handler, on one board kept open.
double clickReady(benchmark::State &)
{
    static QPointer<Form2> board;
    static std::mt19937 rng(12345);
    static int first = -1;
    if (!board) {
        chooseSet(Fixtures::kPhotoSet, 4);
        QElapsedTimer clock;
        double ms = 0;
        board = openBoard(&ms, clock);
        if (!board || !waitAllFaces(board))
            return -1;
        QCoreApplication::processEvents();
    }
    const int n = 2 * board->TotalPairs();
    int k;
    do
        k = int(rng() % unsigned(n));
    while (k == first || (first >= 0 && board->pictureOf(k) == board->pictureOf(first)));
    PaintCounter painted;
    board->Image1[k]->installEventFilter(&painted);
    QElapsedTimer t;
    t.start();
    board->picture2_Click(k);
    do
        QCoreApplication::processEvents();
    while (painted.count == 0 && t.elapsed() < 200);
    const double ms = msSince(t);
    board->Image1[k]->removeEventFilter(&painted);
    if (first >= 0) {
        board->Timer1_Timer();
        QCoreApplication::processEvents();
    }
    first = first >= 0 ? -1 : k;
    return ms;
}

/// Reading the cache's thumbnails of a 21-pair board's pictures, one after another.
double readThumbnails(benchmark::State &state)
{
    static std::vector<Face> faces;
    static bool warm = false;
    if (!warm) {
        warm = true;
        if (!firstGame(Fixtures::kPhotoSet, 4, 3))
            return -1;
        chooseSet(Fixtures::kPhotoSet, 4, true);
        QElapsedTimer clock;
        double playable = 0;
        if (Form2 *board = openSameDeal(3, &playable, clock))
            for (const Face &f : facesOf(board))
                faces.push_back(f);
        closeAll();
    }
    QElapsedTimer t;
    t.start();
    int fits = 0;
    for (const Face &f : faces)
        fits += ThumbnailCache::find(f.path, Pictures::naturalSize(f.path), f.size).fits;
    const double ms = msSince(t);
    state.counters["faces"] = double(faces.size());
    return fits == int(faces.size()) && fits > 0 ? ms : -1.0;
}

void registerFigures()
{
    const int runs = 7;
    boardFigures("1a", Fixtures::kPhotoSet, "photos (4000x3000 JPEG)", 4, runs, 5, 120);
    boardFigures("1b", QStringLiteral("animales"), "animales (GIF 256x256)", 4, runs, 0, 0);
    figure("3b click, face decoded, 21 pairs, photos", "target p99 <= 8 ms", 400, clickReady);
    figure("6 process start to title screen painted", "target <= 250 ms", 14,
           [](benchmark::State &state) {
               static const bool warm =
                   !child({QStringLiteral("startup"), g_app}).isEmpty(); // warms the file cache
               Q_UNUSED(warm);
               QProcess p;
               p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
               QElapsedTimer t;
               t.start();
               p.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--child"), QStringLiteral("startup"), g_app});
               QByteArray out;
               double ms = -1;
               while (ms < 0 && p.waitForReadyRead(30000))
                   if ((out += p.readAllStandardOutput()).contains("painted"))
                       ms = msSince(t);
               p.waitForFinished(30000);
               state.counters["main_to_painted_ms"] =
                   (out + p.readAllStandardOutput()).split('=').value(1).toDouble();
               return ms;
           });
    figure("7 options listing + 6-pair deal, folder of 5000 files", "target <= 150 ms", 14,
           [](benchmark::State &state) {
               closeAll();
               Module1::reset();
               QElapsedTimer t;
               t.start();
               Form1 *options = Runtime::Show<Form1>();
               QCoreApplication::processEvents();
               options->grab();
               state.counters["listing_ms"] = msSince(t);
               options->Combo1->setText(Fixtures::kManySet);
               Module1::PairOption = 0;
               Form2 *board = Runtime::Show<Form2>();
               if (!board)
                   return -1.0;
               QCoreApplication::processEvents();
               board->grab();
               return msSince(t);
           });
    figure("9 options screen with a Pictures folder of 500 albums of 50 files", "target <= 100 ms",
           14, [](benchmark::State &) {
               static const QString pictures = Fixtures::preparePicturesFolder(g_app);
               closeAll();
               Module1::reset();
               qputenv("XDG_PICTURES_DIR", QFile::encodeName(pictures));
               QElapsedTimer t;
               t.start();
               Form1 *options = Runtime::Show<Form1>();
               QCoreApplication::processEvents();
               options->grab();
               const double ms = msSince(t);
               const bool listed = options->Combo1->count() >= 500;
               qunsetenv("XDG_PICTURES_DIR");
               closeAll();
               return listed ? ms : -1.0;
           });
    // Phone formats, on the large and the small board; per_face_ms on the .2 rows is the decode
    // per face with (b, c) and without (a, d, e) an embedded preview.
    const std::pair<QString, std::string> phone[] = {
        {Fixtures::kPhotoSet, "JPEG"},
        {Fixtures::kJpegThumbSet, "JPEG + 160x120 EXIF thumbnail"},
        {Fixtures::kHeicThumbSet, "HEIC + 320x240 thumbnail"},
        {Fixtures::kHeicSet, "HEIC, no thumbnail"},
        {Fixtures::kAvifSet, "AVIF"},
    };
    for (const int option : {4, 0})
        for (size_t i = 0; i < std::size(phone); ++i)
            boardFigures(QStringLiteral("8%1%2")
                             .arg(QChar(u'a' + int(i)))
                             .arg(Deck::SetPairCount(option))
                             .toStdString(),
                         phone[i].first, phone[i].second, option, 3, 1, 200);
    // The same albums played a second time, on the thumbnails the first game stored.
    for (const int option : {4, 0})
        for (size_t i = 0; i < std::size(phone); ++i)
            secondGameFigures(QStringLiteral("10%1%2")
                                  .arg(QChar(u'a' + int(i)))
                                  .arg(Deck::SetPairCount(option))
                                  .toStdString(),
                              phone[i].first, phone[i].second, option);
    figure("11 reading the thumbnails of a 21-pair board, one thread", "target <= 100 ms", 14,
           readThumbnails);
}

// ---------------------------------------------------------------------------------------------
// Child processes

/// Start-up as main() does it, to the title screen painted; prints "painted" at that moment.
int childStartup(int argc, char **argv, const QString &app, const QElapsedTimer &sinceMain)
{
    QApplication a(argc, argv);
    StartUp::prepare(a);
    Platform::setAppFolder(app);
    Form5 *title = Runtime::Show<Form5>();
    QCoreApplication::processEvents();
    if (!title || title->grab().isNull())
        return 1;
    std::printf("painted=%.3f\n", msSince(sinceMain));
    std::fflush(stdout);
    Runtime::resetForTests();
    Sound::shutdown();
    return 0;
}

/// Our board in a fresh process, to every face decoded, with clicks: time and peak memory.
int childMemory(const QString &set, int pairOption, bool clicks)
{
    chooseSet(set, pairOption);
    QElapsedTimer clock;
    double playable = 0;
    Form2 *board = openBoard(&playable, clock);
    // Clicks while the background decodes run: every 200 ms a card whose face has not arrived.
    for (int k = 0; clicks && board && k < 2 * board->TotalPairs() && !allFacesShown(board); ++k) {
        if (!board->Image1[k]->picture().isNull())
            continue;
        board->picture2_Click(k);
        if (board->Timer1->isActive())
            board->Timer1_Timer();
        QElapsedTimer pause;
        pause.start();
        waitFor([&] { return pause.elapsed() >= 200; });
    }
    if (!board || !waitAllFaces(board))
        return 1;
    std::printf("ms=%.3f\nhwm_kb=%.0f\n", msSince(clock), statusKb("VmHWM"));
    closeAll();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    StartUp::beforeApplication(); // as the game's main() does
    QElapsedTimer sinceMain;
    sinceMain.start();
    const QString cache =
        QDir(qEnvironmentVariable("TRABEL_BENCH_FIXTURES", QStringLiteral("bench-fixtures")))
            .absolutePath();
    const QStringList size = QString::fromLatin1(qgetenv("TRABEL_BENCH_SCREEN")).split(u'x');
    if (size.size() == 2)
        g_screen = QSize(size[0].toInt(), size[1].toInt());
    // The offscreen platform's screen is 800 × 600 unless told; children inherit the setting.
    const QString screenFile = QStringLiteral("%1/screen-%2x%3.json")
                                   .arg(cache)
                                   .arg(g_screen.width())
                                   .arg(g_screen.height());
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen"
        && Fixtures::writeOffscreenScreen(screenFile, g_screen.width(), g_screen.height()))
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screenFile));
    // The options screen also lists the players' own sets: keep the machine's own out.
    QDir().mkpath(cache + QStringLiteral("/xdg-data"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(cache + QStringLiteral("/xdg-data")));

    if (argc >= 4 && qstrcmp(argv[1], "--child") == 0) {
        g_app = QString::fromLocal8Bit(argv[3]);
        if (qstrcmp(argv[2], "startup") == 0)
            return childStartup(argc, argv, g_app, sinceMain);
        QApplication a(argc, argv);
        setUp(g_app);
        if (qstrcmp(argv[2], "memory") == 0 && argc >= 6) // a 7th argument: with clicks
            return childMemory(QString::fromLocal8Bit(argv[4]), QByteArray(argv[5]).toInt(),
                               argc >= 7);
        return 2;
    }

    benchmark::Initialize(&argc, argv);
    QApplication a(argc, argv);
    g_app = Fixtures::prepare(cache, QStringLiteral(TRABEL_SOURCE_DATA));
    if (g_app.isEmpty())
        return 1;
    setUp(g_app);
    // A first board, not counted: loads the image plugins and warms the file cache.
    chooseSet(Fixtures::kPhotoSet, 4);
    if (Form2 *warm = Runtime::Show<Form2>())
        waitAllFaces(warm);
    closeAll();

    benchmark::AddCustomContext("qt", qVersion());
    benchmark::AddCustomContext("screen", QStringLiteral("%1x%2, offscreen")
                                              .arg(g_screen.width())
                                              .arg(g_screen.height())
                                              .toStdString());
    benchmark::AddCustomContext("fixtures", g_app.toStdString());
    benchmark::AddCustomContext("load_average_before", loadAverage());
    registerFigures();
    benchmark::RunSpecifiedBenchmarks();
    closeAll();
    std::printf("Load average (1, 5, 15 min) after: %s\n", loadAverage().c_str());
    benchmark::Shutdown();
    return 0;
}
