// A whole game by keyboard as a screen reader sees it, through the real accessibility layer.
#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtTest>

#include "app_fixture.h"
#include "board_accessibility.h"
#include "board_screen.h"
#include "module1.h"
#include "options_screen.h"
#include "players_screen.h"
#include "results_screen.h"
#include "title_screen.h"

namespace {

QList<QPair<QAccessible::Event, QObject *>> g_sent; // what the reader was told

void record(QAccessibleEvent *event) { g_sent.append({event->type(), event->object()}); }
bool wasSent(QAccessible::Event type, QObject *object) { return g_sent.contains(qMakePair(type, object)); }
QAccessibleInterface *iface(QObject *o) { return QAccessible::queryAccessibleInterface(o); }
QString nameOf(QObject *o) { return iface(o)->text(QAccessible::Name); }

QList<QObject *> tree(QAccessibleInterface *root) // every object below root
{
    QList<QObject *> out;
    for (int i = 0; i < root->childCount(); ++i)
        out += QList<QObject *>{root->child(i)->object()} + tree(root->child(i));
    return out;
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Events reach the handler only while the platform takes them, as with a reader running.
        QAccessible::installUpdateHandler(record);
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        BoardAccessibility::install();
    }

    void aWholeGameByKeyboard_data()
    {
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
    void aWholeGameByKeyboard()
    {
        QFETCH(QString, second);
        QFETCH(QStringList, told);
        QFETCH(QString, next);
        AppFixture app;
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = second;
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText(QStringLiteral("s"));
        QTest::keyClick(options->Command1[0], Qt::Key_Return);
        QTest::keyClick(options->Command2, Qt::Key_Return);
        QTRY_VERIFY(Runtime::loaded<Form2>());
        Form2 *board = Runtime::loaded<Form2>();
        board->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(board));
        QAccessibleInterface *window = iface(board);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Tablero, le toca a Ana"));
        QAccessibleInterface *grid = nullptr;
        for (int i = 0; i < window->childCount(); ++i)
            grid = window->child(i)->role() == QAccessible::Table ? window->child(i) : grid;
        QVERIFY(grid);
        QCOMPARE(grid->childCount(), 12);
        QCOMPARE(grid->tableInterface()->columnCount(), 4);
        QAccessibleInterface *card6 = grid->tableInterface()->cellAt(1, 2);
        QCOMPARE(card6->object(), board->Picture2[6]);
        QCOMPARE(card6->role(), QAccessible::Button);
        QCOMPARE(card6->tableCellInterface()->rowIndex() * 10 + card6->tableCellInterface()->columnIndex(), 12);
        QVERIFY(card6->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QCOMPARE(card6->text(QAccessible::Name), QStringLiteral("Carta 7, boca abajo"));
        // Tab goes between the cards and the quit button.
        for (QWidget *w : {(QWidget *)board->Picture2[0], (QWidget *)board->Command1, (QWidget *)board->Picture2[0]}) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : board, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), w);
        }
        QCOMPARE(nameOf(board->Command1), QStringLiteral("Salir"));

        // The game as steps: a slot to go to and turn (−1: the flip-back tick), and what is told.
        const auto [a, b] = mismatchedSlots(board);
        QList<std::pair<int, QString>> steps{{a, {}}, {b, told[0]}, {-1, told[1]}};
        for (int k = 0; k < 12; ++k)
            for (int s = k + 1; s < 12; ++s)
                if (board->CardPicture()[s] == board->CardPicture()[k])
                    steps << std::pair{k, QString()} << std::pair{s, told[2]};
        steps.last().second = told[3];
        for (const auto &[slot, description] : steps) {
            g_sent.clear();
            if (slot < 0) { // the two cards turn back; the reader hears the keyboard's card anew
                board->Timer1_Timer();
                QWidget *back = board->Picture2[b];
                QCOMPARE(QApplication::focusWidget(), back);
                QCOMPARE(nameOf(back), QStringLiteral("Carta %1, boca abajo").arg(b + 1));
                QCOMPARE(iface(back)->text(QAccessible::Description), description);
                QVERIFY(wasSent(QAccessible::NameChanged, back));
                QTRY_VERIFY(wasSent(QAccessible::Focus, back));
                QCOMPARE(nameOf(board), QStringLiteral("Tablero, le toca a ") + next);
                continue;
            }
            // Every move of the keyboard frame is a focus move the reader hears.
            while (QApplication::focusWidget() != board->Picture2[slot]) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                QVERIFY(wasSent(QAccessible::Focus, QApplication::focusWidget()));
            }
            g_sent.clear();
            QWidget *card = board->Picture2[slot];
            QTest::keyClick(card, Qt::Key_Space);
            // Named by place and picture, told what happened, spoken anew with both.
            QString name = QStringLiteral("Carta %1, ").arg(slot + 1) + board->Label2->caption();
            if (description.startsWith(QStringLiteral("Pareja")))
                name += QStringLiteral(", pareja encontrada");
            QCOMPARE(nameOf(card), name);
            QCOMPARE(iface(card)->text(QAccessible::Description), description);
            QVERIFY(wasSent(QAccessible::NameChanged, card));
            QTRY_VERIFY(wasSent(QAccessible::Focus, board->Picture2[slot]->inner()) && wasSent(QAccessible::Focus, card));
        }
        QCOMPARE(nameOf(board), QStringLiteral("Tablero, fin de la partida"));
        QAccessibleInterface *pairs = iface(board->Text1[second.isEmpty() ? 0 : 1]);
        QCOMPARE(pairs->text(QAccessible::Name), QStringLiteral("Parejas de %1: 6").arg(next));
        QVERIFY(pairs->role() == QAccessible::StaticText && pairs->state().readOnly);
        bool shown = false;
        whenShown<Form4>([&](Form4 *results) {
            shown = true;
            QAccessibleInterface *dialog = iface(results);
            QCOMPARE(dialog->role(), QAccessible::Dialog);
            QCOMPARE(dialog->text(QAccessible::Name), results->Label1->caption());
            QCOMPARE(dialog->text(QAccessible::Description), results->Label2->caption());
            QCOMPARE(results->focusWidget(), results->Command1);
            results->Command2_Click();
        });
        QVERIFY(QTest::qWaitFor([&] { return shown && app.ends == 1; }, 15000));
    }

    void pairButtonsAreExclusiveChoices_data()
    {
        QTest::addColumn<int>("pressed");
        for (int i : {4, 0, 2})
            QTest::newRow(qPrintable(QString::number(i))) << i;
    }
    void pairButtonsAreExclusiveChoices()
    {
        QFETCH(int, pressed);
        AppFixture app;
        Form1 *options = Runtime::Show<Form1>();
        QCOMPARE(nameOf(options->Combo1), QStringLiteral("Carpeta de imágenes"));
        g_sent.clear();
        QTest::mouseClick(options->Command1[pressed], Qt::LeftButton);
        for (int i = 0; i < 5; ++i) {
            QAccessibleInterface *button = iface(options->Command1[i]);
            QCOMPARE(button->text(QAccessible::Name), options->Command1[i]->caption() + QStringLiteral(" parejas"));
            QVERIFY(button->state().checkable);
            QCOMPARE(bool(button->state().checked), i == pressed);
            QVERIFY(!options->Command1[i]->isCheckable()); // the look stays as it was
        }
        QCOMPARE(wasSent(QAccessible::StateChanged, options->Command1[pressed]), pressed != 2);
    }

    void labelsAndDecorations()
    {
        AppFixture app;
        app.useShippedLanguage();
        Form5 *title = Runtime::Show<Form5>();
        QVERIFY(!tree(iface(title)).contains(title->Shape1));
        Form3 *players = Runtime::Show<Form3>();
        QCOMPARE(QStringList({nameOf(players->Text1[0]), nameOf(players->Text1[1]), nameOf(players->Text2)}),
                 QStringList({"Nombre", "Jugador 1", "Jugador 2"}));
        const QList<QObject *> shown = tree(iface(players));
        // A frame without a caption is left out; what it holds is read.
        QVERIFY(!shown.contains(players->Frame1[0]) && shown.contains(players->Text1[0]) && shown.contains(players->Frame1[1]));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
