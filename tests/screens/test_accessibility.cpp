// The screens and a whole game by keyboard as a screen reader sees them, through the real layer.
#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include "accessible_controls.h"
#include "app_fixture.h"
#include "board_accessibility.h"

static QList<QPair<QAccessible::Event, QObject *>> g_sent; // what the reader was told

const auto record = [](QAccessibleEvent *e) { g_sent.append({e->type(), e->object()}); };
const auto wasSent = [](QAccessible::Event type, QObject *o) { return g_sent.contains({type, o}); };
const auto iface = [](QObject *o) { return QAccessible::queryAccessibleInterface(o); };
const auto nameOf = [](QObject *o) { return iface(o)->text(QAccessible::Name); };
const auto focused = [] { return QApplication::focusWidget(); };

static QList<QObject *> tree(QAccessibleInterface *root) // every object below root
{
    QList<QObject *> out;
    for (int i = 0; i < root->childCount(); ++i)
        out << root->child(i)->object() << tree(root->child(i));
    return out;
}

class AccessibilityTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Events reach the handler only while the platform takes them, as with a reader running.
        QAccessible::installUpdateHandler(record);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        Accessible::install();
        BoardAccessibility::install();
    }
    void byKeyboard_data()
    {
        // Player 2; what the card turned tells on a mismatch, the turn back, a pair, the last pair.
        QTest::addColumn<QStringList>("told");
        const QString down = "Las dos cartas vuelven a estar boca abajo";
        QTest::newRow("one player") << QStringList{"", "No es pareja", down, "Pareja para Ana",
                                                   "Pareja para Ana. Fin de la partida"};
        QTest::newRow("two players") << QStringList{
            "Luis", "No es pareja. Le toca a Luis", down + ". Le toca a Luis",
            "Pareja para Luis, que vuelve a jugar", "Pareja para Luis. Fin de la partida"};
    }
    void byKeyboard()
    {
        QFETCH(QStringList, told);
        const QString next = told[0].isEmpty() ? "Ana" : told[0]; // in turn after the mismatch
        AppFixture app;
        app.makePictureSet("s", 12);
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(!tree(iface(title)).contains(title->Shape1));
        Form3 *players = Runtime::Show<Form3>();
        const QList<QObject *> shown = tree(iface(players));
        // A frame without a caption is left out; what it holds is read.
        QVERIFY(!shown.contains(players->Frame1[0]));
        QVERIFY(shown.contains(players->Text1[0]) && shown.contains(players->Frame1[1]));
        Module1::Player1Name = "Ana";
        Module1::Player2Name = told[0];
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText("s");
        // The pair buttons are exclusive choices to a reader (12 pairs at the start); same look.
        const auto &buttons = options->Command1;
        for (int pressed : {2, 0, 4}) {
            g_sent.clear();
            QTest::mouseClick(buttons[pressed], Qt::LeftButton);
            for (int i = 0; i < 5; ++i) {
                QAccessibleInterface *button = iface(buttons[i]);
                QCOMPARE(button->text(QAccessible::Name), buttons[i]->caption() + " parejas");
                QVERIFY(button->state().checkable && !buttons[i]->isCheckable());
                QCOMPARE(bool(button->state().checked), i == pressed);
            }
            QCOMPARE(wasSent(QAccessible::StateChanged, buttons[pressed]), pressed != 2);
        }
        QTest::keyClick(buttons[0], Qt::Key_Return);
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
        QVERIFY(card6->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        QCOMPARE(card6->text(QAccessible::Name), "Carta 7, boca abajo");
        // Tab goes between the cards and the quit button.
        for (QWidget *w : QWidgetList{board->Picture2[0], board->Command1, board->Picture2[0]}) {
            QTest::keyClick(focused() ? focused() : board, Qt::Key_Tab);
            QCOMPARE(focused(), w);
        }
        // The game as steps: a slot to go to and turn (−1: the flip-back tick), and what is told.
        const auto [a, b] = mismatchedSlots(board);
        QList<std::pair<int, QString>> steps{{a, {}}, {b, told[1]}, {-1, told[2]}};
        for (int k = 0; k < 12; ++k)
            for (int s = k + 1; s < 12; ++s)
                if (board->pictureOf(s) == board->pictureOf(k))
                    steps << std::pair{k, QString()} << std::pair{s, told[3]};
        steps.last().second = told[4];
        for (const auto &[slot, description] : steps) {
            const int k = slot < 0 ? b : slot;
            CardSlot *card = board->Picture2[k];
            if (slot < 0) { // the two cards turn back; the reader hears the keyboard's card anew
                g_sent.clear();
                board->Timer1_Timer();
                QCOMPARE(focused(), card);
                QCOMPARE(nameOf(board), "Tablero, le toca a " + next);
            } else { // every move of the keyboard frame is a focus move the reader hears
                while (focused() != card) {
                    QTest::keyClick(focused(), Qt::Key_Right);
                    QVERIFY(wasSent(QAccessible::Focus, focused()));
                }
                g_sent.clear();
                QTest::keyClick(card, Qt::Key_Space);
            }
            // Named by place and face, told what happened, spoken anew with both.
            QString face = slot < 0 ? "boca abajo" : board->Label2->caption();
            face += description.startsWith("Pareja") ? ", pareja encontrada" : "";
            QCOMPARE(nameOf(card), QString("Carta %1, ").arg(k + 1) + face);
            QCOMPARE(iface(card)->text(QAccessible::Description), description);
            QVERIFY(wasSent(QAccessible::NameChanged, card));
            QTRY_VERIFY(wasSent(QAccessible::Focus, card)
                        && (slot < 0 || wasSent(QAccessible::Focus, card->inner())));
        }
        QCOMPARE(nameOf(board), "Tablero, fin de la partida");
        QAccessibleInterface *pairs = iface(board->Text1[told[0].isEmpty() ? 0 : 1]);
        QCOMPARE(pairs->text(QAccessible::Name), QString("Parejas de %1: 6").arg(next));
        QVERIFY(pairs->role() == QAccessible::StaticText && pairs->state().readOnly);
        finishGame(board, [](Form4 *results) {
            QCOMPARE(iface(results)->role(), QAccessible::Dialog);
            QCOMPARE(nameOf(results), results->Label1->caption());
            QCOMPARE(iface(results)->text(QAccessible::Description), results->Label2->caption());
            QCOMPARE(results->focusWidget(), results->Command1);
        });
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
