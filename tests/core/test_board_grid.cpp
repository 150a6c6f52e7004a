// Card slot grid and the fitting of a face picture into its slot.

#include <QtTest>

#include "board_grid.h"
#include "deal.h"
#include "face_fit.h"

class TestBoardGrid : public QObject
{
    Q_OBJECT

private slots:
    void pairsPerOption_data();
    void pairsPerOption();
    void layoutOnFullScreen_data();
    void layoutOnFullScreen();
    void slotSizeUsesWholeQuotient_data();
    void slotSizeUsesWholeQuotient();
    void slotsTouchWithoutGaps_data();
    void slotsTouchWithoutGaps();
    void slot0Placement();

    void fitFace_data();
    void fitFace();
    void centredTop_data();
    void centredTop();
};

void TestBoardGrid::pairsPerOption_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("pairs");

    QTest::newRow("option 0") << 0 << 6;
    QTest::newRow("option 1") << 1 << 10;
    QTest::newRow("option 2") << 2 << 12;
    QTest::newRow("option 3") << 3 << 15;
    QTest::newRow("option 4") << 4 << 21;
    QTest::newRow("below range clamps to 0") << -1 << 6;
    QTest::newRow("above range clamps to 4") << 9 << 21;
}

void TestBoardGrid::pairsPerOption()
{
    QFETCH(int, option);
    QFETCH(int, pairs);

    QCOMPARE(pairsForOption(option), pairs);
    QCOMPARE(gridRow(option).pairs, pairs);
    QCOMPARE(Deck::SetPairCount(option), pairs);
    // The grid has exactly one slot per card and never more than the board holds.
    const GridRow row = gridRow(option);
    QVERIFY(row.columns * row.rows >= 2 * pairs);
    QVERIFY(2 * pairs <= kMaxSlots);
    QCOMPARE(layoutGrid(option, 15360, 11520).places.size(), 2 * pairs);
}

void TestBoardGrid::layoutOnFullScreen_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("lastSlot");
    QTest::addColumn<int>("lastLeft");
    QTest::addColumn<int>("lastTop");

    // A 15360 × 11520 twip screen.
    QTest::newRow("6 pairs") << 0 << 4 << 3690 << 3690 << 11 << 11430 << 7740;
    QTest::newRow("10 pairs") << 1 << 5 << 2947 << 2755 << 19 << 12148 << 8625;
    QTest::newRow("12 pairs") << 2 << 6 << 2445 << 2765 << 23 << 12585 << 8655;
    QTest::newRow("15 pairs") << 3 << 6 << 2460 << 2204 << 29 << 12660 << 9176;
    QTest::newRow("21 pairs") << 4 << 7 << 2104 << 1830 << 41 << 12984 << 9510;
}

void TestBoardGrid::layoutOnFullScreen()
{
    QFETCH(int, option);
    QFETCH(int, columns);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, lastSlot);
    QFETCH(int, lastLeft);
    QFETCH(int, lastTop);

    const GridLayout g = layoutGrid(option, 15360, 11520);
    QCOMPARE(g.columns, columns);
    QCOMPARE(g.slotWidth, width);
    QCOMPARE(g.slotHeight, height);
    QCOMPARE(g.places.size(), lastSlot + 1);

    QCOMPARE(g.places.first(), QRect(360, 360, width, height));
    const QRect last = g.places.at(lastSlot);
    QCOMPARE(last.left(), lastLeft);
    QCOMPARE(last.top(), lastTop);
    QCOMPARE(last.width(), width);
    QCOMPARE(last.height(), height);
    // The last slot lies in the last column of the last row.
    QCOMPARE(last.right() + 1, 360 + columns * width);
    // Nothing is placed off the screen.
    for (const QRect &r : g.places) {
        QVERIFY2(r.right() < 15360 && r.bottom() < 11520,
                 qPrintable(QStringLiteral("slot at %1,%2").arg(r.left()).arg(r.top())));
    }
}

void TestBoardGrid::slotSizeUsesWholeQuotient_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("width not a multiple of 4 columns") << 0 << 20490 << 11520 << 4972 << 3690;
    QTest::newRow("height not a multiple of 3 rows") << 0 << 15360 << 11522 << 3690 << 3690;
    QTest::newRow("7 columns, 6 rows, both rounded down") << 4 << 15366 << 11525 << 2105 << 1830;
    QTest::newRow("5 columns of 9599") << 1 << 9599 << 7199 << 1794 << 1674;
}

void TestBoardGrid::slotSizeUsesWholeQuotient()
{
    QFETCH(int, option);
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);
    QFETCH(int, width);
    QFETCH(int, height);

    const GridLayout g = layoutGrid(option, screenWidth, screenHeight);
    QCOMPARE(g.slotWidth, width);
    QCOMPARE(g.slotHeight, height);
    for (const QRect &r : g.places)
        QCOMPARE(r.size(), QSize(width, height));
}

void TestBoardGrid::slotsTouchWithoutGaps_data()
{
    QTest::addColumn<int>("option");
    for (int option = 0; option <= 4; ++option)
        QTest::addRow("option %d", option) << option;
}

void TestBoardGrid::slotsTouchWithoutGaps()
{
    QFETCH(int, option);

    const GridLayout g = layoutGrid(option, 15360, 11520);
    const int columns = g.columns;
    for (int k = 0; k < g.places.size(); ++k) {
        const QRect r = g.places.at(k);
        const QString where = QStringLiteral("slot %1").arg(k);
        if ((k + 1) % columns != 0 && k + 1 < g.places.size()) {
            const QRect right = g.places.at(k + 1);
            QVERIFY2(right.left() == r.right() + 1, qPrintable(where));
            QVERIFY2(right.top() == r.top(), qPrintable(where));
        }
        if (k + columns < g.places.size()) {
            const QRect below = g.places.at(k + columns);
            QVERIFY2(below.top() == r.bottom() + 1, qPrintable(where));
            QVERIFY2(below.left() == r.left(), qPrintable(where));
        }
        // A slot starting a row is in the first column.
        if (k % columns == 0)
            QVERIFY2(r.left() == 360, qPrintable(where));
    }
    // No two slots share a place.
    for (int a = 0; a < g.places.size(); ++a)
        for (int b = a + 1; b < g.places.size(); ++b)
            QVERIFY(!g.places.at(a).intersects(g.places.at(b)));
}

void TestBoardGrid::slot0Placement()
{
    const GridLayout g = layoutGrid(0, 15360, 11520);
    // With 4 columns slot 4 starts the second row.
    QCOMPARE(g.places.at(4).topLeft(), QPoint(360, 360 + g.slotHeight));
    QCOMPARE(g.places.at(3).topLeft(), QPoint(360 + 3 * g.slotWidth, 360));

    const GridLayout moved = layoutGrid(0, 15360, 11520, 1000, 2000);
    QCOMPARE(moved.places.at(0).topLeft(), QPoint(1000, 2000));
    QCOMPARE(moved.places.at(5).topLeft(), QPoint(1000 + g.slotWidth, 2000 + g.slotHeight));
}

void TestBoardGrid::fitFace_data()
{
    QTest::addColumn<int>("slotWidth");
    QTest::addColumn<int>("slotHeight");
    QTest::addColumn<qint64>("naturalWidth");
    QTest::addColumn<qint64>("naturalHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("top");

    QTest::newRow("4:3 picture in a 21-pair slot")
        << 2100 << 1830 << qint64(9600) << qint64(7200) << 2100 << 1575 << 127;
    QTest::newRow("height rounded down")
        << 2100 << 1830 << qint64(9600) << qint64(7201) << 2100 << 1575 << 127;
    QTest::newRow("small slot, height rounded down")
        << 3 << 10 << qint64(4) << qint64(3) << 3 << 2 << 4;
    QTest::newRow("square picture in a square slot")
        << 3690 << 3690 << qint64(512) << qint64(512) << 3690 << 3690 << 0;
    QTest::newRow("picture taller than its slot")
        << 2100 << 1830 << qint64(1000) << qint64(2000) << 2100 << 4200 << -1185;
    QTest::newRow("taller, odd difference")
        << 2104 << 1831 << qint64(1000) << qint64(1000) << 2104 << 2104 << -136;
    QTest::newRow("huge natural size")
        << 2445 << 2765 << qint64(3000000) << qint64(1500000) << 2445 << 1222 << 771;
}

void TestBoardGrid::fitFace()
{
    QFETCH(int, slotWidth);
    QFETCH(int, slotHeight);
    QFETCH(qint64, naturalWidth);
    QFETCH(qint64, naturalHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, top);

    const FaceFit f = ::fitFace(slotWidth, slotHeight, naturalWidth, naturalHeight);
    QCOMPARE(f.width, width);
    QCOMPARE(f.height, height);
    QCOMPARE(f.top, top);
    // Centred: the space above and below differs by at most one twip.
    const int below = slotHeight - (f.top + f.height);
    QVERIFY(qAbs(below - f.top) <= 1);
}

void TestBoardGrid::centredTop_data()
{
    QTest::addColumn<double>("difference");
    QTest::addColumn<int>("top");

    QTest::newRow("odd whole difference") << 101.0 << 50;
    QTest::newRow("odd negative difference truncates toward zero") << -101.0 << -50;
    QTest::newRow("even difference") << 254.0 << 127;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("half rounds to even, down") << 100.5 << 50;
    QTest::newRow("half rounds to even, up") << 101.5 << 51;
    QTest::newRow("negative half rounds to even") << -100.5 << -50;
    QTest::newRow("negative half rounds to even, away") << -101.5 << -51;
    QTest::newRow("above half rounds up") << 100.6 << 50;
    QTest::newRow("below half rounds down") << 101.4 << 50;
    QTest::newRow("rounded, not truncated") << 101.6 << 51;
    QTest::newRow("negative rounded, not truncated") << -101.6 << -51;
    QTest::newRow("just under 2 rounds to 2") << 1.6 << 1;
    QTest::newRow("minus one") << -1.0 << 0;
    QTest::newRow("minus three") << -3.0 << -1;
}

void TestBoardGrid::centredTop()
{
    QFETCH(double, difference);
    QFETCH(int, top);

    QCOMPARE(::centredTop(difference), top);
}

QTEST_GUILESS_MAIN(TestBoardGrid)
#include "test_board_grid.moc"
