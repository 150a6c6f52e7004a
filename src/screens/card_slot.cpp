#include "card_slot.h"

#include <QPainter>

#include "colours_fonts.h"

class CardSlot::Mark : public QWidget
{
public:
    explicit Mark(QWidget *parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QPen pen(QColor(0xFF, 0xB0, 0x00), 4);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.drawRect(rect().adjusted(2, 2, -2, -2));
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(rect().adjusted(4, 4, -5, -5));
    }
};

CardSlot::CardSlot(QWidget *parent) : PictureBox(parent)
{
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

CardSlot *CardSlot::cloneHidden(QWidget *parent) const
{
    auto *copy = new CardSlot(parent);
    copy->hide();
    copy->setPicture(picture());
    copy->setGeometry(geometry());
    return copy;
}

void CardSlot::setMarked(bool marked)
{
    if (marked && !m_mark) {
        m_mark = new Mark(this);
        m_mark->setGeometry(rect());
    }
    if (m_mark) {
        m_mark->setVisible(marked);
        m_mark->raise();
    }
}

bool CardSlot::isMarked() const
{
    return m_mark && !m_mark->isHidden();
}

void CardSlot::focusInEvent(QFocusEvent *event)
{
    PictureBox::focusInEvent(event);
    emit focused();
}

void CardSlot::resizeEvent(QResizeEvent *event)
{
    PictureBox::resizeEvent(event);
    if (m_mark)
        m_mark->setGeometry(rect());
}

void CardFace::setFallbackCaption(const QString &caption)
{
    m_fallback = caption;
    update();
}

CardFace *CardFace::cloneHidden(QWidget *parent) const
{
    auto *copy = new CardFace(parent);
    copy->hide();
    copy->setPicture(picture());
    copy->m_fallback = m_fallback;
    copy->setGeometry(geometry());
    return copy;
}

void CardFace::paintEvent(QPaintEvent *event)
{
    if (!picture().isNull() || m_fallback.isEmpty()) {
        ImageBox::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.fillRect(rect(), QColor(0xFA, 0xF6, 0xE8));
    p.setPen(QColor(0x30, 0x30, 0x30));
    p.setFont(designFont(12, true));
    p.drawText(rect().adjusted(6, 6, -6, -6), Qt::AlignCenter | Qt::TextWordWrap, m_fallback);
}
