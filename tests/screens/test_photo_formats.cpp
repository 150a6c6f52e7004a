// Photos as phones save them: HEIC and AVIF, turned by their header, and the previews embedded in
// HEIC and JPEG files, first alone and then on the board. The pictures are made by
// tools/make_photo_tests.py: each a plain colour with a blue block in its top left corner.
#include <QAccessible>
#include <tuple>

#include "app_fixture.h"
#include "scripted_random.h"
#include "pictures.h"

namespace {

const QString kPhotos = QStringLiteral(TRABEL_SOURCE_DATA "/../tests/data/fotos/");

bool near(QRgb got, const QColor &want) {
    return qAbs(qRed(got) - want.red()) + qAbs(qGreen(got) - want.green()) + qAbs(qBlue(got) - want.blue()) < 40;
}

} // namespace

class PhotoFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void pictures_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("face");
        QTest::addColumn<QColor>("colour"); // none: the file does not decode
        const QColor red(200, 30, 30), green(30, 180, 60);
        QTest::newRow("HEIC") << "plano.heic" << QSize(120, 90) << QColor(230, 140, 30);
        QTest::newRow("HEIC turned by its header") << "girado.heic" << QSize(90, 120) << QColor(150, 60, 170);
        QTest::newRow("AVIF") << "plano.avif" << QSize(120, 90) << QColor(90, 140, 40);
        QTest::newRow("AVIF turned the other way") << "girado.avif" << QSize(90, 120) << QColor(40, 160, 170);
        // The previews are green, their pictures red: the face tells which one was decoded.
        QTest::newRow("HEIC thumbnail as large as the face") << "miniatura.heic" << QSize(160, 120) << green;
        QTest::newRow("HEIC thumbnail smaller than the face") << "miniatura.heic" << QSize(200, 150) << red;
        QTest::newRow("EXIF thumbnail larger than the face") << "miniatura.jpg" << QSize(120, 90) << green;
        QTest::newRow("EXIF thumbnail smaller than the face") << "miniatura.jpg" << QSize(161, 120) << red;
        QTest::newRow("EXIF thumbnail turned with its picture") << "miniatura-girada.jpg" << QSize(90, 120) << green;
        QTest::newRow("EXIF thumbnail that does not decode") << "miniatura-rota.jpg" << QSize(120, 90) << red;
        QTest::newRow("HEIC cut short") << "cortado.heic" << QSize(120, 90) << QColor();
        QTest::newRow("HEIC claiming 60000 x 60000") << "enorme.heic" << QSize(120, 90) << QColor();
    }
    void pictures() {
        QFETCH(QString, file);
        QFETCH(QSize, face);
        QFETCH(QColor, colour);
        // Every picture is 320 × 240 as it is meant to be seen, or the other way up.
        const QSize natural = !colour.isValid() ? QSize() : face.width() > face.height() ? QSize(320, 240) : QSize(240, 320);
        QCOMPARE(Pictures::naturalSize(kPhotos + file), natural);
        const QImage image = Pictures::loadScaled(kPhotos + file, face);
        QCOMPARE(image.size(), colour.isValid() ? face : QSize(0, 0));
        const int w = face.width(), h = face.height();
        // Upright: the blue block at the top left, and nowhere else.
        for (const QPoint &at : {QPoint(w / 2, h / 2), QPoint(w * 9 / 10, h / 10), QPoint(w / 10, h * 9 / 10), QPoint(w * 9 / 10, h * 9 / 10)})
            QVERIFY(image.isNull() || near(image.pixel(at), colour));
        QVERIFY(image.isNull() || near(image.pixel(w / 10, h / 10), QColor(20, 30, 200)));
    }

    // A card turned while only its picture's preview is decoded shows the preview, and then the
    // picture in its place with nothing else about the game changed. grande.heic has a green
    // thumbnail and a red 4000 x 3000 picture, far slower to decode than the board to open.
    void previewThenPicture() {
        AppFixture app;
        for (int i = 1; i <= 6; ++i)
            QVERIFY(writeFile(app.path("graficos/grandes/g%1.heic").arg(i), readFile(kPhotos + "grande.heic")));
        ScriptedRandom random;
        Platform::setRandom(&random);
        Runtime::Show<Form1>()->Combo1->setText("grandes");
        Module1::PairOption = 0;
        Form2 *board = Runtime::Show<Form2>();
        QVERIFY(board);
        int partner = 1;
        while (board->CardPicture()[partner] != board->CardPicture()[0])
            ++partner;
        const auto centre = [board](int k) {
            const QImage face = board->Image1[k]->picture().toImage();
            return face.isNull() ? QRgb(0) : face.pixel(face.width() / 2, face.height() / 2);
        };
        const auto state = [board] {
            const CardGame &g = board->game();
            return std::tuple(g.PairsFound, g.Player1Pairs, g.CardsTurned, board->Text1[0]->text(),
                              board->Label2->caption(), board->Timer1->isActive(),
                              QAccessible::queryAccessibleInterface(board->Picture2[0])->text(QAccessible::Name),
                              board->Image1[0]->geometry(), board->Image1[0]->picture().size());
        };
        board->picture2_Click(0);
        board->picture2_Click(partner); // a pair, both from the preview
        const auto before = state();
        const QColor green(30, 180, 60), red(200, 30, 30);
        QVERIFY(near(centre(0), green) && near(centre(partner), green));
        QVERIFY(QTest::qWaitFor([&] { return near(centre(0), red) && near(centre(partner), red); }, 20000));
        QCOMPARE(state(), before);
        QVERIFY(board->Image1[0]->isVisible() && board->Image1[partner]->isVisible());
    }
};

QTEST_MAIN(PhotoFormatsTest)
#include "test_photo_formats.moc"
