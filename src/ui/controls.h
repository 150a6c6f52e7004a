#pragma once

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

/// The controls the screens are built from, with the runtime's properties: background and text
/// colours as 0x00BBGGRR, captions shown as plain text.

/// A push button: coloured, or showing a picture.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CommandButton(QWidget *parent = nullptr);
    void setBackColour(quint32 bgr);
    void setCaption(const QString &caption) { setText(caption); }
    QString caption() const { return text(); }

protected:
    /// Enter presses a focused button, as Space does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void restyle();
    quint32 m_back = 0x00C0C0C0;
};

/// A caption. Word-wrapped and clipped to its box; never interprets its text as markup.
class Label : public QLabel
{
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr);
    void setCaption(const QString &caption);
    /// The font the caption is drawn in (or starts from, when it shrinks to fit).
    void setFont(const QFont &font);
    /// Draws a caption too long for the box in a smaller font, down to `minimumPixels`.
    void setShrinkToFit(bool shrink, int minimumPixels = 10);
    QString caption() const { return text(); }
    /// An opaque background in a colour; without one the label is transparent.
    void setBackColour(quint32 bgr);
    void setForeColour(quint32 bgr);
    void setCentred(bool centred);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitText();

    QFont m_designFont;
    bool m_shrink = false;
    int m_minimumPixels = 10;
};

/// A one-line text box; when not enabled it only displays its text.
class TextBox : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);
    void setBackColour(quint32 bgr);
    void setCentred(bool centred);
};

/// A frame with a caption, holding other controls.
class Frame : public QGroupBox
{
    Q_OBJECT
public:
    explicit Frame(QWidget *parent = nullptr);
    void setBackColour(quint32 bgr);
    void setCaption(const QString &caption) { setTitle(caption); }
    QString caption() const { return title(); }
};

/// An editable drop-down list.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget *parent = nullptr);
    void setBackColour(quint32 bgr);
    /// The text in its edit field.
    QString text() const { return currentText(); }
    void setText(const QString &text) { setEditText(text); }

protected:
    void changeEvent(QEvent *event) override;
};

/// A rectangle outline, for decoration.
class Shape : public QWidget
{
    Q_OBJECT
public:
    explicit Shape(QWidget *parent = nullptr);
    void setBorder(quint32 bgr, int widthPixels);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour = Qt::black;
    int m_width = 1;
};

/// An image: draws its picture stretched over its own box. Clicks go through it to its container.
class ImageBox : public QWidget
{
    Q_OBJECT
public:
    explicit ImageBox(QWidget *parent = nullptr);
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
};

/// A picture box: a bordered box that draws its picture unscaled from its inner top left corner,
/// cut at its edges, and holds other controls in its inner area.
class PictureBox : public QWidget
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
    void setPicture(const QPixmap &picture);
    QPixmap picture() const { return m_picture; }
    /// The inner area: children placed here count their position from its top left corner.
    QWidget *inner() const;

    static constexpr int kBorder = 2;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    class Inner;
    Inner *m_inner;
    QPixmap m_picture;
    bool m_pressed = false;
};
