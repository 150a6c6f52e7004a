#pragma once

#include <QRect>
#include <QString>
#include <optional>

#include "controls.h"
#include "language_file.h"

/// The language file, \idioma\idioma.txt in the application folder, opened anew: its first
/// `lines` lines.
LanguageFile languageFile(int lines);

/// Controls as the screens are drawn: place in twips, colours as 0x00BBGGRR, Arial in points.

CommandButton *designButton(QWidget *parent, const QString &caption, quint32 back,
                            const QRect &twips, double points);

/// A bold label (regular with bold = false); transparent unless it gets a background later.
Label *designLabel(QWidget *parent, const QString &caption, std::optional<quint32> fore,
                   const QRect &twips, double points, bool bold = true);

/// A text box that only displays: centred text, bold, not enabled.
TextBox *displayBox(QWidget *parent, const QString &text, quint32 back, const QRect &twips,
                    double points);

/// Fills a window's background with a colour.
void setWindowColour(QWidget *window, quint32 bgr);
