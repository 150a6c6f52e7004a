#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSize>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

/// Decodes card faces in the background, each picture once, at the size it is shown.
///
/// Every requested picture is glanced at first, before any picture itself is decoded: its thumbnail
/// in the desktop's shared cache (thumbnail_cache.h), else its embedded preview, is decoded (a few
/// milliseconds) and handed over through previewDecoded(). A preview at least as large as the face
/// is the face for good; otherwise the picture itself is decoded next and handed over through
/// decoded(), and its thumbnail is stored in the cache for the next game. The workers (one per
/// core) run at a lower priority than the thread that owns the loader, and the decodes they run
/// side by side are bounded by the memory they take, not only by their number.
///
/// A face needed at once is taken with image(): the picture if it is decoded, else its preview
/// (decoded on the spot if need be), else the picture decoded on the calling thread while the
/// workers start nothing new.
class FaceLoader : public QObject
{
    Q_OBJECT
public:
    explicit FaceLoader(QObject *parent = nullptr);
    /// Drops the requests not yet started and waits for the decodes running.
    ~FaceLoader() override;

    /// Queues the picture at `path`, of `natural` pixels, to be shown at `size` device pixels,
    /// under `key`. Nothing is decoded in the background before start().
    void request(int key, const QString &path, const QSize &natural, const QSize &size);
    /// Starts the background work.
    void start();
    /// Starts it once `window` has been painted the first time: the board comes first.
    void startAfterFirstPaint(QObject *window);
    /// The best face there is now for `key` (null if it cannot be decoded). `*sharp` is false when
    /// it is a preview: the picture itself still arrives through decoded(), before the others.
    QImage image(int key, bool *sharp = nullptr);

    /// What the decodes run side by side, a click's included, may hold together, in bytes: two
    /// 12-megapixel HEVC photos (about 80 MB each), or many scaled JPEG decodes (a megabyte or two
    /// each); with what the game holds besides (about 30 MB), the game stays within 200 MB. One
    /// decode larger than this still runs when no other one does.
    static constexpr qint64 kDecodeBudget = 170LL << 20;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    /// A preview stands in for the face under `key` until decoded() brings the picture; at most
    /// once for each key, always before its decoded().
    void previewDecoded(int key, const QImage &image);
    /// The face under `key` for good (null: it could not be decoded); once for each key.
    void decoded(int key, const QImage &image);

private:
    struct Job;
    void work();
    std::shared_ptr<Job> nextJob(bool *full);
    bool fitsBudget(qint64 bytes) const;
    /// The glance or the decode of `job`, run with the lock released; the lock is held again after.
    void glance(Job &job, std::unique_lock<std::mutex> &lock);
    void decode(Job &job, std::unique_lock<std::mutex> &lock, int threads);
    void glanced(Job &job);
    void storeNext(std::unique_lock<std::mutex> &lock);
    void finish(Job &job, const QImage &picture);
    void post(int key, bool sharp);
    void deliver(int key, bool sharp);

    QHash<int, std::shared_ptr<Job>> m_jobs; ///< owner thread only
    mutable std::mutex m_mutex;              ///< guards everything below and each Job's state
    std::condition_variable m_changed;
    std::vector<std::shared_ptr<Job>> m_order; ///< in the order requested
    /// Thumbnails to store in the cache once no face waits: the picture's path and size, the
    /// thumbnail (null: its embedded preview, decoded at the box's size) and its box.
    std::vector<std::tuple<QString, QSize, QImage, int>> m_thumbnails;
    bool m_cacheWritable = true; ///< false once a thumbnail could not be stored
    qint64 m_decodingBytes = 0;
    int m_held = 0; ///< decodes on the owner's thread: the workers start nothing new meanwhile
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
