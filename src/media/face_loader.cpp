#include "face_loader.h"

#include <QEvent>
#include <QMetaObject>
#include <QThread>
#include <QTimer>

#include "pictures.h"
#include "thumbnail_cache.h"
#include "thumbnail_key.h"

#ifdef Q_OS_LINUX
#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>
#endif

struct FaceLoader::Job
{
    enum class Stage { New, Glancing, Glanced, Decoding, Done };
    int key = 0;
    QString path;
    QSize natural;
    QSize size;
    int storeBox = 0; ///< the box of the thumbnail to store once the picture is decoded
    Stage stage = Stage::New;
    Pictures::Glance glance;
    QImage picture;
    bool urgent = false; ///< a card shows it: its picture is decoded before the others
    // Touched on the owner's thread only.
    bool previewSent = false;
    bool pictureSent = false;
};

namespace {

/// Background decodes give way to the thread that owns the loader: while the board is being
/// built, or a clicked card's face is decoded on the spot, the workers would otherwise take the
/// cores from it (with two workers on two cores a clicked face took about three times as long as
/// its decode alone). When that thread is idle the workers still get every core. Linux nice
/// values are per thread, and the decoders' own threads inherit them.
void lowerWorkerPriority()
{
#ifdef Q_OS_LINUX
    const int tid = int(gettid());
    errno = 0;
    const int current = getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        setpriority(PRIO_PROCESS, tid, qMin(19, current + 10));
#endif
}

} // namespace

FaceLoader::FaceLoader(QObject *parent) : QObject(parent) {}

FaceLoader::~FaceLoader()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    for (std::thread &worker : m_workers)
        worker.join();
}

void FaceLoader::request(int key, const QString &path, const QSize &natural, const QSize &size)
{
    if (m_jobs.contains(key))
        return;
    auto job = std::make_shared<Job>();
    job->key = key;
    job->path = path;
    job->natural = natural;
    job->size = size;
    m_jobs.insert(key, job);
    {
        const std::lock_guard lock(m_mutex);
        m_order.push_back(job);
    }
    m_changed.notify_all();
}

void FaceLoader::start()
{
    if (m_workers.empty())
        for (int i = 0; i < qMax(1, QThread::idealThreadCount()); ++i)
            m_workers.emplace_back([this] { work(); });
}

void FaceLoader::startAfterFirstPaint(QObject *window)
{
    window->installEventFilter(this);
}

bool FaceLoader::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        // Queued: the paint this event begins, and the window's flush after it, come first.
        QTimer::singleShot(0, this, &FaceLoader::start);
    }
    return false;
}

std::shared_ptr<FaceLoader::Job> FaceLoader::nextJob(bool *full)
{
    if (m_held > 0)
        return {};
    // Every preview before any picture, and a card's own picture before the others.
    for (const bool urgentOnly : {true, false})
        for (const auto &job : m_order)
            if (job->stage == Job::Stage::New && (job->urgent || !urgentOnly)) {
                *full = false;
                return job;
            }
    for (const bool urgentOnly : {true, false})
        for (const auto &job : m_order)
            if (job->stage == Job::Stage::Glanced && (job->urgent || !urgentOnly)
                && fitsBudget(job->glance.decodeBytes)) {
                *full = true;
                return job;
            }
    return {};
}

bool FaceLoader::fitsBudget(qint64 bytes) const
{
    return m_decodingBytes == 0 || m_decodingBytes + bytes <= kDecodeBudget;
}

void FaceLoader::work()
{
    lowerWorkerPriority();
    std::unique_lock lock(m_mutex);
    for (;;) {
        bool full = false;
        std::shared_ptr<Job> job;
        // Thumbnails are stored when no face waits, and even when the loader goes: they take
        // milliseconds each.
        m_changed.wait(
            lock, [&] { return m_stopping || (job = nextJob(&full)) || !m_thumbnails.empty(); });
        if (job && !full)
            glance(*job, lock);
        else if (job)
            decode(*job, lock, 1);
        else if (!m_thumbnails.empty())
            storeNext(lock);
        else
            return;
        m_changed.notify_all();
    }
}

void FaceLoader::glance(Job &job, std::unique_lock<std::mutex> &lock)
{
    job.stage = Job::Stage::Glancing;
    const bool writable = m_cacheWritable;
    lock.unlock();
    // A thumbnail in the cache that covers the face makes the rest needless.
    const ThumbnailCache::Lookup cached = ThumbnailCache::find(job.path, job.natural, job.size);
    Pictures::Glance glance;
    if (cached.fits) {
        glance.preview = cached.image;
        glance.fits = true;
    } else {
        glance = Pictures::glance(job.path, job.size);
        if (!glance.fits && !cached.image.isNull()
            && (glance.preview.isNull() || glance.preview.width() < cached.image.width()))
            glance.preview = cached.image;
    }
    lock.lock();
    job.storeBox = writable ? cached.storeBox : 0;
    // An embedded preview that is the face may make the thumbnail too, when it is large enough.
    if (job.storeBox && glance.fits && !cached.fits)
        m_thumbnails.emplace_back(job.path, job.natural, QImage(), job.storeBox);
    job.glance = std::move(glance);
    glanced(job);
}

void FaceLoader::decode(Job &job, std::unique_lock<std::mutex> &lock, int threads)
{
    job.stage = Job::Stage::Decoding;
    const qint64 bytes = job.glance.decodeBytes;
    m_decodingBytes += bytes;
    // When its thumbnail is to be stored, the picture is decoded at the thumbnail's size, a
    // little larger than the face, and the face scaled from it.
    const int box = m_cacheWritable ? job.storeBox : 0;
    const QSize thumbnailSize = ThumbnailKey::sizeInBox(job.natural, box);
    lock.unlock();
    const QImage picture = Pictures::loadFull(job.path, box ? thumbnailSize : job.size, threads);
    const QImage face = box && !picture.isNull() ? picture.scaled(job.size, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation)
                                                 : picture;
    lock.lock();
    m_decodingBytes -= bytes;
    if (box && !picture.isNull())
        m_thumbnails.emplace_back(job.path, job.natural, picture, box);
    finish(job, face);
}

void FaceLoader::storeNext(std::unique_lock<std::mutex> &lock)
{
    auto [path, natural, thumbnail, box] = m_thumbnails.back();
    m_thumbnails.pop_back();
    const bool writable = m_cacheWritable;
    lock.unlock();
    if (thumbnail.isNull() && writable) {
        const Pictures::Glance preview =
            Pictures::glance(path, ThumbnailKey::sizeInBox(natural, box));
        thumbnail = preview.fits ? preview.preview : QImage();
    }
    const bool stored = thumbnail.isNull() || ThumbnailCache::store(path, thumbnail, box);
    lock.lock();
    // A cache that cannot be written (a read-only or full disk) is not tried again.
    if (writable && !stored)
        m_cacheWritable = false;
}

void FaceLoader::glanced(Job &job)
{
    if (job.glance.fits || job.glance.decodeBytes <= 0) {
        finish(job, job.glance.preview);
        return;
    }
    job.stage = Job::Stage::Glanced;
    if (!job.glance.preview.isNull())
        post(job.key, false);
}

void FaceLoader::finish(Job &job, const QImage &picture)
{
    // A picture that fails to decode leaves its preview, if it has one, on the card.
    job.picture = picture.isNull() ? job.glance.preview : picture;
    job.stage = Job::Stage::Done;
    post(job.key, true);
}

void FaceLoader::post(int key, bool sharp)
{
    // Queued even from the owner's thread: the signals keep their order and come once each.
    QMetaObject::invokeMethod(
        this, [this, key, sharp] { deliver(key, sharp); }, Qt::QueuedConnection);
}

void FaceLoader::deliver(int key, bool sharp)
{
    const auto job = m_jobs.value(key);
    if (!job || job->pictureSent || (!sharp && job->previewSent))
        return;
    QImage image;
    {
        const std::lock_guard lock(m_mutex);
        image = sharp ? job->picture : job->glance.preview;
    }
    if (sharp) {
        job->pictureSent = true;
        emit decoded(key, image);
    } else {
        job->previewSent = true;
        emit previewDecoded(key, image);
    }
}

QImage FaceLoader::image(int key, bool *sharp)
{
    bool dummy = false;
    bool &isSharp = sharp ? *sharp : dummy;
    isSharp = true;
    const auto job = m_jobs.value(key);
    if (!job)
        return {};
    std::unique_lock lock(m_mutex);
    job->urgent = true;
    for (;;) {
        const Job::Stage stage = job->stage;
        if (stage == Job::Stage::Done)
            return job->picture;
        if (stage >= Job::Stage::Glanced && !job->glance.preview.isNull()) {
            isSharp = false;
            lock.unlock();
            m_changed.notify_all(); // its picture goes first now
            return job->glance.preview;
        }
        // Whatever runs here, the workers start nothing new until it ends.
        ++m_held;
        if (stage == Job::Stage::New) {
            glance(*job, lock);
        } else if (stage == Job::Stage::Glanced && !fitsBudget(job->glance.decodeBytes)) {
            // No preview, and the workers' decodes hold the memory it needs: the first of them to
            // end makes room (the workers start nothing new meanwhile).
            m_changed.wait(
                lock, [&] { return job->stage != stage || fitsBudget(job->glance.decodeBytes); });
        } else if (stage == Job::Stage::Glanced) {
            // No preview: the picture itself, here and now, on every core a tiled one can use.
            decode(*job, lock, qMax(1, QThread::idealThreadCount()));
        } else {
            // A worker has it: wait for that one alone.
            m_changed.wait(lock, [&] { return job->stage != stage; });
        }
        --m_held;
        m_changed.notify_all();
    }
}
