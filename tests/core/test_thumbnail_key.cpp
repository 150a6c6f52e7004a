// The names and checks of the desktop's shared thumbnail cache: URIs escaped as GLib escapes them
// (the expected names come from GLib's g_filename_to_uri and md5sum), stamps judged as GLib
// judges them, and the folder a face needs.
#include <QtEndian>
#include <QtTest>

#include "thumbnail_key.h"

using namespace ThumbnailKey;

namespace {
QByteArray chunk(const char *type, const QByteArray &data) {
    QByteArray b(4, '\0');
    qToBigEndian(quint32(data.size()), b.data());
    return b + type + data + "crc!";
}
const QByteArray kPng = QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", QByteArray(13, 1)) + chunk("IDAT", "x") + chunk("IEND", {});
const Stamp kStamp{"file:///f/a%20b.jpg", 1700000000, 4242};
QByteArray text(const QByteArray &key, const QByteArray &value, const char *type = "tEXt") { return chunk(type, key + '\0' + value); }
} // namespace

class TestThumbnailKey : public QObject {
    Q_OBJECT
private slots:
    void names_data() {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("uri");
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces and accents") << QByteArray("/home/ana/Im\xc3\xa1genes/Vacaciones 2026/ni\xc3\xb1os.heic")
            << QByteArray("file:///home/ana/Im%C3%A1genes/Vacaciones%202026/ni%C3%B1os.heic") << "ae88b24f7a165de56a34699e168a9d2a.png";
        QTest::newRow("# & ( )") << QByteArray("/f/#1 & (2).jpg") << QByteArray("file:///f/%231%20&%20(2).jpg") << "91d83a3f10944597f76b16670eba2dfe.png";
        QTest::newRow("; % ? [ ]") << QByteArray("/f/a;b%c?d[e]") << QByteArray("file:///f/a%3Bb%25c%3Fd%5Be%5D") << "eef54fcff262d434b4cab01479e83013.png";
        QTest::newRow("kept as they are") << QByteArray("/f/!$'*+,=:@~_.jpg") << QByteArray("file:///f/!$'*+,=:@~_.jpg") << "9d53833790ec9c8564735a71460537d8.png";
        QTest::newRow("not UTF-8") << QByteArray("/f/mal\xff.png") << QByteArray("file:///f/mal%FF.png") << "5510d68664622c97ea9db080a86da7c0.png";
    }
    void names() {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, uri);
        QFETCH(QString, name);
        QCOMPARE(fileUri(path), uri);
        QCOMPARE(fileName(uri), name);
    }

    void stamps_data() {
        QTest::addColumn<QByteArray>("png");
        QTest::addColumn<bool>("valid");
        const QByteArray ours = withStamp(kPng, kStamp, "Trabel");
        const QByteArray head = kPng.left(33), uri = text("Thumb::URI", kStamp.uri), mtime = text("Thumb::MTime", "1700000000");
        QTest::newRow("written here") << ours << true;
        QTest::newRow("moved: another URI") << withStamp(kPng, {"file:///f/a b.jpg", kStamp.mtime, kStamp.size}, "x") << false;
        QTest::newRow("changed: an older MTime") << withStamp(kPng, {kStamp.uri, kStamp.mtime - 1, kStamp.size}, "x") << false;
        QTest::newRow("changed in the same second: another Size") << withStamp(kPng, {kStamp.uri, kStamp.mtime, 1}, "x") << false;
        QTest::newRow("no Size, keys after the pixels") << kPng + mtime + uri << true;
        QTest::newRow("no MTime") << head + uri + kPng.mid(33) << false;
        QTest::newRow("keys compressed (zTXt)") << head + text("Thumb::URI", kStamp.uri, "zTXt") + mtime << false;
        QTest::newRow("cut inside the keys") << ours.left(60) << false;
        QTest::newRow("a chunk longer than the file") << head + chunk("tEXt", "Thumb::URI").replace(0, 4, "\xff\xff\xff\xf0") + uri + mtime << false;
        QTest::newRow("not a PNG") << ours.mid(1) << false;
    }
    void stamps() {
        QFETCH(QByteArray, png);
        QFETCH(bool, valid);
        QCOMPARE(isThumbnailOf(png, kStamp), valid);
    }

    void folders_data() {
        QTest::addColumn<QSize>("face");
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<int>("folder"); // −1: none covers the face
        QTest::addColumn<QSize>("stored"); // the thumbnail in that folder
        QTest::newRow("a 21-pair card") << QSize(128, 96) << QSize(4000, 3000) << 0 << QSize(128, 96);
        QTest::newRow("a pixel wider") << QSize(129, 97) << QSize(4000, 3000) << 1 << QSize(256, 192);
        QTest::newRow("upright") << QSize(300, 400) << QSize(3000, 4000) << 2 << QSize(384, 512);
        QTest::newRow("a small picture is never enlarged") << QSize(600, 400) << QSize(300, 200) << 3 << QSize(300, 200);
        QTest::newRow("larger than any box") << QSize(1025, 768) << QSize(4000, 3000) << -1 << QSize();
    }
    void folders() {
        QFETCH(QSize, face);
        QFETCH(QSize, natural);
        QFETCH(int, folder);
        QFETCH(QSize, stored);
        QCOMPARE(folderCovering(face), folder);
        if (folder >= 0)
            QCOMPARE(sizeInBox(natural, kFolders[folder].box), stored);
    }
};

QTEST_GUILESS_MAIN(TestThumbnailKey)
#include "test_thumbnail_key.moc"
