#pragma once

#include "controls.h"

/// A card slot of the board: a picture box that the keyboard can mark with a frame. The frame is
/// the keyboard focus, so that a screen reader follows it.
class CardSlot : public PictureBox
{
    Q_OBJECT
public:
    explicit CardSlot(QWidget *parent = nullptr);
    /// A hidden copy with the same settings (not the children), for a control array.
    CardSlot *cloneHidden(QWidget *parent) const;
    /// Shows or hides the frame that marks the slot as the keyboard's current place.
    void setMarked(bool marked);
    bool isMarked() const;

signals:
    /// The slot took the keyboard focus.
    void focused();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    class Mark;
    Mark *m_mark = nullptr;
};

/// A card's face: its picture, or, for a picture that could not be decoded, a plain face with the
/// picture's name, so that the players can still match it.
class CardFace : public ImageBox
{
    Q_OBJECT
public:
    using ImageBox::ImageBox;
    void setFallbackCaption(const QString &caption);
    /// A hidden copy with the same settings, for a control array.
    CardFace *cloneHidden(QWidget *parent) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_fallback;
};
