// Where a set name leads, the Pictures albums offered, and a folder dropped on the options screen.
#include <QLineEdit>
#include <QMimeData>

#include "app_fixture.h"
#include "files.h"
#include "picture_sets.h"

namespace {

void touch(const QString &folder, const QStringList &files) { // empty files: nothing is opened
    QDir().mkpath(folder);
    for (const QString &f : files)
        writeFile(folder + u'/' + f, {});
}

QStringList numbered(int count) { QStringList out; for (int i = 0; i < count; ++i) out << QString("f%1.jpg").arg(i); return out; }

} // namespace

class PictureSetsTest : public QObject {
    Q_OBJECT
    QTemporaryDir root;
    QString at(const QString &relative) const { return root.path() + u'/' + relative; }

private slots:
    void initTestCase() {
        qputenv("HOME", at("home").toLocal8Bit());
        qputenv("XDG_DATA_HOME", at("data").toLocal8Bit());
        qputenv("XDG_PICTURES_DIR", at("home/Imágenes").toLocal8Bit());
        touch(at("data/trabel/graficos/mios"), {});
        touch(at("data/trabel/graficos/playa"), {});
        for (const char *album : {"Vacaciones 2026", "fiesta", "playa"})
            touch(at("home/Imágenes/") + album, numbered(24));
        touch(at("home/Imágenes/pocas"), numbered(3));
        touch(at("home/Imágenes/casi"), numbered(5) + QStringList{"Thumbs.db", ".oculta.jpg", "desktop.ini"});
    }

    void namesLeadToFolders_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("folder"); // "app/" stands for the application folder
        QTest::addColumn<bool>("offered");
        QTest::newRow("shipped") << "animales" << "app/graficos/animales" << true;
        QTest::newRow("shipped before an album") << "fiesta" << "app/graficos/fiesta" << true;
        QTest::newRow("own") << "mios" << "data/trabel/graficos/mios" << true;
        QTest::newRow("own before an album") << "playa" << "data/trabel/graficos/playa" << true;
        QTest::newRow("album") << "Vacaciones 2026" << "home/Imágenes/Vacaciones 2026" << true;
        QTest::newRow("album of 3") << "pocas" << "home/Imágenes/pocas" << false;
        QTest::newRow("5 by the listing's rule") << "casi" << "home/Imágenes/casi" << false;
        QTest::newRow("absolute path") << at("x/../lejos") << "lejos" << false;
        QTest::newRow("home path") << "~/fotos/" << "home/fotos" << false;
        QTest::newRow("nowhere") << "nada" << "app/graficos/nada" << false;
    }
    void namesLeadToFolders() {
        QFETCH(QString, name);
        QFETCH(QString, folder);
        QFETCH(bool, offered);
        AppFixture app;
        for (const char *set : {"animales", "fiesta"})
            touch(app.path(QString("graficos/") + set), numbered(6));
        const QStringList before = snapshot(root.path());
        QCOMPARE(PictureSets::folder(name), folder.startsWith("app/") ? app.path(folder.mid(4)) : at(folder));
        const QStringList names = PictureSets::names(Files::subFolders(PictureSets::shippedFolder()));
        QCOMPARE(names.count(name), offered ? 1 : 0);
        QCOMPARE(names.mid(0, 2), QStringList({"animales", "fiesta"}));
        QCOMPARE(snapshot(root.path()), before);
    }

    void aDroppedPhotoDealsFromItsFolder() {
        AppFixture app;
        const QString album = at("home/Imágenes/Cumpleaños");
        for (int i = 0; i < 6; ++i)
            QVERIFY(AppFixture::writePicture(album + QString("/foto%1.png").arg(i), {48, 36}));
        const QStringList before = snapshot(root.path());
        Form1 *options = Runtime::Show<Form1>();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(album + "/foto3.png")});
        // Dropped on the list's text, as a player aims: it reaches the screen.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(options->Combo1->lineEdit(), &enter);
        QCoreApplication::sendEvent(options->Combo1->lineEdit(), &drop);
        QCOMPARE(options->Combo1->text(), album);
        options->Command1[0]->click();
        options->Command2->click();
        Form2 *board = Runtime::loaded<Form2>();
        QVERIFY(board && app.messages.isEmpty());
        QCOMPARE(board->File1.Path, album);
        QCOMPARE(board->TotalPairs(), 6);
        QCOMPARE(snapshot(root.path()), before);
    }
};

QTEST_MAIN(PictureSetsTest)
#include "test_picture_sets.moc"
