#include "controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "colours_fonts.h"

namespace {

void fillBackground(QWidget *w, quint32 bgr)
{
    QPalette p = w->palette();
    const QColor c = bgrColour(bgr);
    p.setColor(QPalette::Window, c);
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Button, c);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

} // namespace

CommandButton::CommandButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    restyle();
}

void CommandButton::setBackColour(quint32 bgr)
{
    m_back = bgr;
    restyle();
}

void CommandButton::restyle()
{
    const QColor c = bgrColour(m_back);
    // Dark buttons get light text, so a caption can be read on any colour.
    const bool dark = 0.2126 * c.redF() + 0.7152 * c.greenF() + 0.0722 * c.blueF() < 0.18;
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %4;"
                                 " border: 2px solid; border-color: %2 %3 %3 %2; }"
                                 "QPushButton:pressed { border-color: %3 %2 %2 %3; }"
                                 "QPushButton:focus { border: 2px dashed %4; }")
                      .arg(c.name(), c.lighter(160).name(), c.darker(200).name(),
                           dark ? QStringLiteral("white") : QStringLiteral("black")));
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        animateClick();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

Label::Label(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    // A caption keeps its colour on a window that takes no input for a moment.
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::WindowText,
               p.color(QPalette::Active, QPalette::WindowText));
    setPalette(p);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

void Label::setShrinkToFit(bool shrink, int minimumPixels)
{
    m_shrink = shrink;
    m_minimumPixels = minimumPixels;
    fitText();
}

void Label::setFont(const QFont &font)
{
    m_designFont = font;
    QLabel::setFont(font);
    fitText();
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    fitText();
}

void Label::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    fitText();
}

void Label::fitText()
{
    if (!m_shrink)
        return;
    // Smaller steps of the design font until the wrapped caption fits the box.
    QFont f = m_designFont;
    const int flags = int(alignment()) | Qt::TextWordWrap;
    int px = f.pixelSize() > 0 ? f.pixelSize() : QFontInfo(f).pixelSize();
    for (; px > m_minimumPixels; --px) {
        f.setPixelSize(px);
        const QRect needed =
            QFontMetrics(f).boundingRect(QRect(0, 0, width(), 100000), flags, text());
        if (needed.height() <= height() && needed.width() <= width())
            break;
    }
    f.setPixelSize(qMax(px, m_minimumPixels));
    QLabel::setFont(f);
}

void Label::setBackColour(quint32 bgr)
{
    fillBackground(this, bgr);
}

void Label::setForeColour(quint32 bgr)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, bgrColour(bgr));
    setPalette(p);
}

void Label::setCentred(bool centred)
{
    setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
}

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setFrame(true);
}

void TextBox::setBackColour(quint32 bgr)
{
    const QColor c = bgrColour(bgr);
    setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; color: black;"
                                 " border: 1px solid #7a7a7a; padding: 0px; }"
                                 "QLineEdit:disabled { color: black; }")
                      .arg(c.name()));
}

void TextBox::setCentred(bool centred)
{
    setAlignment(centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
}

Frame::Frame(QWidget *parent) : QGroupBox(parent) {}

void Frame::setBackColour(quint32 bgr)
{
    fillBackground(this, bgr);
}

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void ComboBox::changeEvent(QEvent *event)
{
    QComboBox::changeEvent(event);
    // The edit field keeps the font it was made with: give it the box's.
    if (event->type() == QEvent::FontChange && lineEdit())
        lineEdit()->setFont(font());
}

void ComboBox::setBackColour(quint32 bgr)
{
    // Colours through the palette, not a style sheet: a style sheet hands the style a fresh
    // palette on every paint, and the style caches each of those drawings as a new pixmap, so the
    // box alone filled Qt's whole pixmap cache over a few hundred games.
    QPalette p = palette();
    const QColor c = bgrColour(bgr);
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, c);
        p.setColor(group, QPalette::Button, c);
        p.setColor(group, QPalette::Text, Qt::black);
        p.setColor(group, QPalette::ButtonText, Qt::black);
    }
    setPalette(p);
}

Shape::Shape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setBorder(quint32 bgr, int widthPixels)
{
    m_colour = bgrColour(bgr);
    m_width = qMax(1, widthPixels);
    update();
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QPen pen(m_colour, m_width);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    const int h = m_width / 2;
    p.drawRect(rect().adjusted(h, h, -h - (m_width % 2 ? 1 : 0), -h - (m_width % 2 ? 1 : 0)));
}

ImageBox::ImageBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ImageBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void ImageBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(rect(), m_picture);
}

class PictureBox::Inner : public QWidget
{
public:
    explicit Inner(PictureBox *box) : QWidget(box), m_box(box)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0xD4, 0xD0, 0xC8));
        if (!m_box->m_picture.isNull())
            p.drawPixmap(0, 0, m_box->m_picture);
    }

private:
    PictureBox *m_box;
};

QWidget *PictureBox::inner() const
{
    return m_inner;
}

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), m_inner(new Inner(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    m_inner->update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    // A sunken two-pixel border around the inner area.
    QPainter p(this);
    const QRect r = rect();
    const int w = r.width(), h = r.height();
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, 0, 0, h - 1);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(1, 1, w - 2, 1);
    p.drawLine(1, 1, 1, h - 2);
    p.setPen(Qt::white);
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(w - 1, 0, w - 1, h - 1);
    p.setPen(QColor(0xD4, 0xD0, 0xC8));
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
}

void PictureBox::resizeEvent(QResizeEvent *)
{
    m_inner->setGeometry(rect().adjusted(kBorder, kBorder, -kBorder, -kBorder));
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint()))
        emit clicked();
}
