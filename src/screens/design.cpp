#include "design.h"

#include "colours_fonts.h"
#include "data_paths.h"
#include "twips.h"

LanguageFile languageFile(int lines)
{
    return LanguageFile(DataPaths::languageFile(), lines);
}

CommandButton *designButton(QWidget *parent, const QString &caption, quint32 back,
                            const QRect &twips, double points)
{
    auto *b = new CommandButton(parent);
    b->setCaption(caption);
    b->setBackColour(back);
    b->setFont(designFont(points, true));
    Twips::setGeometry(b, twips);
    return b;
}

Label *designLabel(QWidget *parent, const QString &caption, std::optional<quint32> fore,
                   const QRect &twips, double points, bool bold)
{
    auto *l = new Label(parent);
    l->setCaption(caption);
    if (fore)
        l->setForeColour(*fore);
    l->setFont(designFont(points, bold));
    Twips::setGeometry(l, twips);
    return l;
}

TextBox *displayBox(QWidget *parent, const QString &text, quint32 back, const QRect &twips,
                    double points)
{
    auto *t = new TextBox(parent);
    t->setEnabled(false); // first: a reader is told of a display box from its start
    t->setText(text);
    t->setCentred(true);
    t->setBackColour(back);
    t->setFont(designFont(points, true));
    Twips::setGeometry(t, twips);
    return t;
}

void setWindowColour(QWidget *window, quint32 bgr)
{
    QPalette p = window->palette();
    p.setColor(QPalette::Window, bgrColour(bgr));
    window->setPalette(p);
    window->setAutoFillBackground(true);
}
