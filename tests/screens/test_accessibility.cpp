// A whole game by keyboard as a screen reader sees it, through the real accessibility layer.
#include <QAccessible>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtTest>

#include "app_fixture.h"
#include "board_screen.h"
#include "deal.h"
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
    }

    void aWholeGameByKeyboard_data()
    {
        QTest::addColumn<QString>("second");
        QTest::newRow("one player") << QString();
        QTest::newRow("two players") << QStringLiteral("Luis");
    }
    void aWholeGameByKeyboard()
    {
        QFETCH(QString, second);
        AppFixture app;
        app.useShippedLanguage();
        app.makePictureSet(QStringLiteral("s"), 12);
        Module1::Player1Name = QStringLiteral("Ana");
        Module1::Player2Name = second;
        Form1 *options = Runtime::Show<Form1>();
        options->Combo1->setText(QStringLiteral("s"));
        QTest::keyClick(options->Command1[0], Qt::Key_Return);
        QTest::keyClick(options->Command2, Qt::Key_Return);
        QVERIFY(QTest::qWaitFor([] { return Runtime::loaded<Form2>() != nullptr; }, 2000));
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
        QVERIFY(card6->state().focusable);
        QVERIFY(card6->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QCOMPARE(card6->text(QAccessible::Name), QStringLiteral("Carta 7, boca abajo"));
        // Every move of the keyboard frame is a focus move the reader hears.
        const auto goTo = [&](int slot) {
            while (board->markedSlot() != slot) {
                g_sent.clear();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
                QWidget *card = board->Picture2[board->markedSlot()];
                QVERIFY(QApplication::focusWidget() == card && wasSent(QAccessible::Focus, card));
            }
        };
        // Each turn is told on the focused card, as changes the reader speaks for it.
        const auto turn = [&](int slot, const QString &name, const QString &description) {
            goTo(slot);
            g_sent.clear();
            QWidget *card = board->Picture2[slot];
            QTest::keyClick(card, Qt::Key_Space);
            QCOMPARE(nameOf(card), name);
            QVERIFY(wasSent(QAccessible::NameChanged, card));
            QTRY_VERIFY(wasSent(QAccessible::Focus, board->Picture2[slot]->inner()) && wasSent(QAccessible::Focus, card));
            QCOMPARE(iface(card)->text(QAccessible::Description), description);
            QVERIFY(description.isEmpty() || wasSent(QAccessible::DescriptionChanged, card));
        };
        const auto face = [&](int slot) {
            return QStringLiteral("Carta %1, ").arg(slot + 1) + board->pictureName(board->pictureOf(slot));
        };
        // Tab goes between the cards and the quit button.
        for (QWidget *next : {(QWidget *)board->Picture2[0], (QWidget *)board->Command1, (QWidget *)board->Picture2[0]}) {
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : board, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QCOMPARE(nameOf(board->Command1), QStringLiteral("Salir"));
        const auto [a, b] = mismatchedSlots(board);
        turn(a, face(a), QString());
        const QString next = second.isEmpty() ? QStringLiteral("Ana") : second;
        turn(b, face(b),
             second.isEmpty() ? QStringLiteral("No es pareja") : QStringLiteral("No es pareja. Le toca a ") + next);
        QCOMPARE(nameOf(board), QStringLiteral("Tablero, le toca a ") + next);
        g_sent.clear();
        board->Timer1_Timer();
        QWidget *back = board->Picture2[b];
        QCOMPARE(nameOf(back), QStringLiteral("Carta %1, boca abajo").arg(b + 1));
        QVERIFY(iface(back)->text(QAccessible::Description).startsWith(QStringLiteral("Las dos cartas vuelven")));
        QVERIFY(wasSent(QAccessible::NameChanged, back) && wasSent(QAccessible::Focus, back));
        QCOMPARE(QApplication::focusWidget(), back);
        for (int pair = 0; pair < 6; ++pair) {
            const int first = int(std::find(board->game().faceUp.begin(), board->game().faceUp.end(), false) - board->game().faceUp.begin());
            QList<int> both;
            for (int k = 0; k < 12; ++k)
                if (board->pictureOf(k) == board->pictureOf(first))
                    both.append(k);
            turn(both[0], face(both[0]), QString());
            const QString found = QStringLiteral(", pareja encontrada");
            const QString told = pair == 5 ? QStringLiteral(". Fin de la partida")
                                 : second.isEmpty() ? QString() : QStringLiteral(", que vuelve a jugar");
            turn(both[1], face(both[1]) + found, QStringLiteral("Pareja para ") + next + told);
            QCOMPARE(nameOf(board->Picture2[both[0]]), face(both[0]) + found);
        }
        QAccessibleInterface *pairs = iface(board->Text1[next == QStringLiteral("Ana") ? 0 : 1]);
        QCOMPARE(pairs->text(QAccessible::Name), QStringLiteral("Parejas de %1: 6").arg(next));
        QCOMPARE(pairs->role(), QAccessible::StaticText);
        QVERIFY(pairs->state().readOnly && !pairs->state().disabled);
        bool shown = false;
        whenShown<Form4>([&](Form4 *results) {
            shown = true;
            QAccessibleInterface *dialog = iface(results);
            QCOMPARE(dialog->role(), QAccessible::Dialog);
            QVERIFY(results->Label1->caption().startsWith(QStringLiteral("Ana ")));
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
