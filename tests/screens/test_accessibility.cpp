// A whole game by keyboard as a screen reader sees it, through the real accessibility layer.
#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include "app_fixture.h"
#include "accessible_controls.h"
#include "board_accessibility.h"

namespace {

QList<QPair<QAccessible::Event, QObject *>> g_sent; // what the reader was told

void record(QAccessibleEvent *event) { g_sent.append({event->type(), event->object()}); }
bool wasSent(QAccessible::Event type, QObject *object) { return g_sent.contains(qMakePair(type, object)); }
QAccessibleInterface *iface(QObject *o) { return QAccessible::queryAccessibleInterface(o); }
QString nameOf(QObject *o) { return iface(o)->text(QAccessible::Name); }

QList<QObject *> tree(QAccessibleInterface *root) { // every object below root
    QList<QObject *> out;
    for (int i = 0; i < root->childCount(); ++i)
        out << root->child(i)->object() << tree(root->child(i));
    return out;
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Events reach the handler only while the platform takes them, as with a reader running.
        QAccessible::installUpdateHandler(record);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        Accessible::install();
        BoardAccessibility::install();
    }

    void aWholeGameByKeyboard_data() {
        // What each outcome tells on the card turned; a first card tells nothing.
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("told"); // mismatch, turned back, pair, last pair
        QTest::addColumn<QString>("next");     // the player in turn after the mismatch
        QTest::newRow("one player") << QString() << QStringList{
            "No es pareja", "Las dos cartas vuelven a estar boca abajo", "Pareja para Ana",
            "Pareja para Ana. Fin de la partida"} << "Ana";
        QTest::newRow("two players") << QStringLiteral("Luis") << QStringList{
            "No es pareja. Le toca a Luis", "Las dos cartas vuelven a estar boca abajo. Le toca a Luis",
            "Pareja para Luis, que vuelve a jugar", "Pareja para Luis. Fin de la partida"} << "Luis";
    }
    void aWholeGameByKeyboard() {
        QFETCH(QString, second);
        QFETCH(QStringList, told);
        QFETCH(QString, next);
        AppFixture app;
        app.makePictureSet("s", 12);
        Module1::Player1Name = "Ana";
        Module1::Player2Name = second;
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText("s");
        QTest::keyClick(options->Command1[0], Qt::Key_Return);
        QTest::keyClick(options->Command2, Qt::Key_Return);
        QTRY_VERIFY(Runtime::loaded<Form2>());
        Form2 *board = Runtime::loaded<Form2>();
        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board));
        QCOMPARE(nameOf(board), "Tablero, le toca a Ana");
        // The cards are a table of 4 columns; a cell is a button named by its place.
        QAccessibleInterface *card6 = iface(board->Picture2[6]);
        QAccessibleTableInterface *grid = card6->parent()->tableInterface();
        QVERIFY(grid && grid->columnCount() == 4 && card6->parent()->childCount() == 12);
        QCOMPARE(grid->cellAt(1, 2)->object(), board->Picture2[6]);
        QCOMPARE(card6->role(), QAccessible::Button);
        QVERIFY(card6->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QCOMPARE(card6->text(QAccessible::Name), "Carta 7, boca abajo");
        // Tab goes between the cards and the quit button.
        for (QWidget *w : QList<QWidget *>{board->Picture2[0], board->Command1, board->Picture2[0]}) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : board, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), w);
        }

        // The game as steps: a slot to go to and turn (−1: the flip-back tick), and what is told.
        const auto [a, b] = mismatchedSlots(board);
        QList<std::pair<int, QString>> steps{{a, {}}, {b, told[0]}, {-1, told[1]}};
        for (int k = 0; k < 12; ++k)
            for (int s = k + 1; s < 12; ++s)
                if (board->pictureOf(s) == board->pictureOf(k))
                    steps << std::pair{k, QString()} << std::pair{s, told[2]};
        steps.last().second = told[3];
        for (const auto &[slot, description] : steps) {
            const int k = slot < 0 ? b : slot;
            QWidget *card = board->Picture2[k];
            if (slot < 0) { // the two cards turn back; the reader hears the keyboard's card anew
                g_sent.clear();
                board->Timer1_Timer();
                QCOMPARE(QApplication::focusWidget(), card);
                QCOMPARE(nameOf(board), "Tablero, le toca a " + next);
            } else { // every move of the keyboard frame is a focus move the reader hears
                while (QApplication::focusWidget() != card) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                    QVERIFY(wasSent(QAccessible::Focus, QApplication::focusWidget()));
                }
                g_sent.clear();
                QTest::keyClick(card, Qt::Key_Space);
            }
            // Named by place and face, told what happened, spoken anew with both.
            const QString face = slot < 0 ? "boca abajo"
                                          : board->Label2->caption() + (description.startsWith("Pareja") ? ", pareja encontrada" : "");
            QCOMPARE(nameOf(card), QString("Carta %1, ").arg(k + 1) + face);
            QCOMPARE(iface(card)->text(QAccessible::Description), description);
            QVERIFY(wasSent(QAccessible::NameChanged, card));
            QTRY_VERIFY(wasSent(QAccessible::Focus, card) && (slot < 0 || wasSent(QAccessible::Focus, board->Picture2[k]->inner())));
        }
        QCOMPARE(nameOf(board), "Tablero, fin de la partida");
        QAccessibleInterface *pairs = iface(board->Text1[second.isEmpty() ? 0 : 1]);
        QCOMPARE(pairs->text(QAccessible::Name), QString("Parejas de %1: 6").arg(next));
        QVERIFY(pairs->role() == QAccessible::StaticText && pairs->state().readOnly);
        finishGame(board, [](Form4 *results) {
            QAccessibleInterface *dialog = iface(results);
            QCOMPARE(dialog->role(), QAccessible::Dialog);
            QCOMPARE(dialog->text(QAccessible::Name), results->Label1->caption());
            QCOMPARE(dialog->text(QAccessible::Description), results->Label2->caption());
            QCOMPARE(results->focusWidget(), results->Command1);
        });
    }

    void theOtherScreens() {
        AppFixture app;
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(!tree(iface(title)).contains(title->Shape1));
        Form3 *players = Runtime::Show<Form3>();
        const QList<QObject *> shown = tree(iface(players));
        // A frame without a caption is left out; what it holds is read.
        QVERIFY(!shown.contains(players->Frame1[0]) && shown.contains(players->Text1[0]) && shown.contains(players->Frame1[1]));
        Form1 *options = Runtime::Show<Form1>();
        // The pair buttons are exclusive choices to a reader (12 pairs at the start); the look stays.
        for (int pressed : {2, 4, 0}) {
            g_sent.clear();
            QTest::mouseClick(options->Command1[pressed], Qt::LeftButton);
            for (int i = 0; i < 5; ++i) {
                QAccessibleInterface *button = iface(options->Command1[i]);
                QCOMPARE(button->text(QAccessible::Name), options->Command1[i]->caption() + " parejas");
                QVERIFY(button->state().checkable && !options->Command1[i]->isCheckable());
                QCOMPARE(bool(button->state().checked), i == pressed);
            }
            QCOMPARE(wasSent(QAccessible::StateChanged, options->Command1[pressed]), pressed != 2);
        }
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
