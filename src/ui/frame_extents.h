#pragma once

#include <QMargins>

class QWidget;

/// The frame a window manager draws around a top-level window.
namespace FrameExtents {

/// The frame `window` will have, in logical pixels, known before the window is first shown: on
/// X11 the window manager is asked for it (the window's native window is created for that). Zero
/// margins where nothing says: no window manager, one that does not answer in time, or another
/// window system.
QMargins beforeShowing(QWidget *window);

} // namespace FrameExtents
