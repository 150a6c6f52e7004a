#include "frame_extents.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>
#include <cmath>
#include <cstdlib>
#include <xcb/xcb.h>

namespace FrameExtents {
namespace {

// How long a window manager may take to answer before the inner size stands in for the outer.
constexpr int kAnswerMs = 300;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t a = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return a;
}

/// The 32-bit values of a window's property of the given type; empty if it has none.
QList<quint32> property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t name, xcb_atom_t type)
{
    QList<quint32> out;
    const xcb_get_property_cookie_t cookie = xcb_get_property(c, 0, w, name, type, 0, 1024);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr);
    if (reply && reply->type == type && reply->format == 32) {
        const auto *values = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            out.append(values[i]);
    }
    std::free(reply);
    return out;
}

} // namespace

QMargins beforeShowing(QWidget *window)
{
    if (!window || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return {};
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    // A window manager that does not offer to tell the frame beforehand is not asked.
    if (!property(c, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM).contains(request))
        return {};

    const auto w = xcb_window_t(window->winId());
    QList<quint32> ltrb = property(c, w, extents, XCB_ATOM_CARDINAL);
    if (ltrb.size() != 4) {
        xcb_client_message_event_t ask{};
        ask.response_type = XCB_CLIENT_MESSAGE;
        ask.format = 32;
        ask.window = w;
        ask.type = request;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                       reinterpret_cast<const char *>(&ask));
        xcb_flush(c);
        // The answer is a property on the window; no handler of the program runs meanwhile.
        QElapsedTimer waited;
        waited.start();
        while ((ltrb = property(c, w, extents, XCB_ATOM_CARDINAL)).size() != 4
               && waited.elapsed() < kAnswerMs)
            QThread::msleep(2);
    }
    if (ltrb.size() != 4)
        return {};
    // The property is in device pixels, ordered left, right, top, bottom.
    const qreal dpr = qMax<qreal>(1.0, window->devicePixelRatioF());
    const auto logical = [dpr](quint32 v) {
        return int(std::lround(qMin<quint32>(v, 4096) / dpr));
    };
    return QMargins(logical(ltrb[0]), logical(ltrb[2]), logical(ltrb[1]), logical(ltrb[3]));
}

} // namespace FrameExtents
