#include "form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <cmath>

#include "frame_extents.h"
#include "twips.h"

namespace {

QList<QPointer<Form>> &registry()
{
    static QList<QPointer<Form>> forms;
    return forms;
}

QList<QPointer<QEventLoop>> &modalLoops()
{
    static QList<QPointer<QEventLoop>> loops;
    return loops;
}

std::function<void()> &endHandler()
{
    static std::function<void()> handler;
    return handler;
}

std::function<void(const QString &)> &messageBoxHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}

void stopTimers(Form *form)
{
    for (QTimer *t : form->findChildren<QTimer *>())
        t->stop();
}

} // namespace

bool Runtime::s_ended = false;

Form::Form(QWidget *parent) : QWidget(parent, Qt::Window)
{
    registry().append(this);
}

Form::~Form() = default;

void Form::setClientTwips(int width, int height)
{
    setFixedSize(Twips::toPixels(width), Twips::toPixels(height));
}

void Form::moveTwips(int left, int top)
{
    move(Twips::toPixels(left), Twips::toPixels(top));
}

void Form::centreOnScreen()
{
    const QSize screen = Twips::screen();
    // Before the first showing the window manager is asked for the frame it will draw.
    const QMargins frame = isVisible() ? QMargins() : FrameExtents::beforeShowing(this);
    const QSize outer = isVisible() ? frameGeometry().size() : size().grownBy(frame);
    const int w = outer.width() * Twips::kPerPixel;
    const int h = outer.height() * Twips::kPerPixel;
    moveTwips(static_cast<int>(std::floor((screen.width() - w) / 2.0)),
              static_cast<int>(std::floor((screen.height() - h) / 2.0)));
    // A native window not shown yet is placed by its inner area, which lies inside the frame.
    if (!frame.isNull())
        move(pos() + QPoint(frame.left(), frame.top()));
}

QSize Form::maximisedClientTwips()
{
    // A maximised window keeps its title bar and may lose its borders: the frame asked for
    // before showing is never smaller, so what is laid out on this area stays in sight.
    if (!m_maximisedFrame && isVisible()) {
        const QRect in = geometry(), out = frameGeometry();
        m_maximisedFrame = QMargins(in.left() - out.left(), in.top() - out.top(),
                                    out.right() - in.right(), out.bottom() - in.bottom());
    }
    if (!m_maximisedFrame)
        m_maximisedFrame = FrameExtents::beforeShowing(this);
    const QMargins f = *m_maximisedFrame * Twips::kPerPixel;
    const QSize area = Twips::workArea();
    return QSize(qMax(0, area.width() - f.left() - f.right()),
                 qMax(0, area.height() - f.top() - f.bottom()));
}

void Form::present()
{
    show();
    bringForward();
}

void Form::bringForward()
{
    // The offscreen platform (tests) can neither raise nor activate.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
}

void Form::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_unloading)
        Runtime::unloadForm(this);
}

void Form::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit dismissed();
}

void Runtime::showModal(Form *form)
{
    QPointer<Form> guard(form);
    // Modality takes effect when a window is shown: one already on screen is shown again.
    if (form->isVisible() && form->windowModality() != Qt::ApplicationModal)
        form->hide();
    form->setWindowModality(Qt::ApplicationModal);
    form->present();
    if (s_ended || !guard || !guard->isLoaded() || !guard->isVisible())
        return;
    QEventLoop loop;
    QObject::connect(form, &Form::dismissed, &loop, &QEventLoop::quit);
    QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
    modalLoops().append(&loop);
    loop.exec(QEventLoop::DialogExec);
    modalLoops().removeAll(&loop);
    if (guard)
        guard->setWindowModality(Qt::NonModal);
}

void Runtime::unloadForm(Form *form)
{
    if (!form || form->m_unloading || s_ended)
        return;
    form->m_unloading = true;
    form->Form_Unload();
    if (s_ended)
        return;
    stopTimers(form);
    form->hide();
    emit form->dismissed();
    registry().removeAll(form);
    form->deleteLater();
    if (loadedForms().isEmpty())
        End();
}

void Runtime::End()
{
    if (s_ended)
        return;
    s_ended = true;
    discardAll(false);
    if (endHandler())
        endHandler()();
    else
        QCoreApplication::exit(0);
}

void Runtime::messageBox(const QString &text)
{
    if (messageBoxHandler()) {
        messageBoxHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Trabel"), text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void Runtime::setMessageBoxHandler(std::function<void(const QString &)> handler)
{
    messageBoxHandler() = std::move(handler);
}

void Runtime::setEndHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
}

QList<Form *> Runtime::loadedForms()
{
    QList<Form *> out;
    for (const QPointer<Form> &f : registry())
        if (f && f->isLoaded())
            out.append(f.data());
    return out;
}

void Runtime::resetForTests()
{
    discardAll(true);
    s_ended = false;
}

void Runtime::discardAll(bool now)
{
    // No handler of a discarded screen runs again: no timer, no signal.
    const auto forms = registry();
    registry().clear();
    for (const QPointer<Form> &f : forms) {
        if (!f)
            continue;
        f->m_unloading = true;
        stopTimers(f);
        f->blockSignals(true);
        if (now) {
            delete f.data();
        } else {
            f->hide();
            f->deleteLater();
        }
    }
    for (const QPointer<QEventLoop> &loop : modalLoops())
        if (loop)
            loop->quit();
}
