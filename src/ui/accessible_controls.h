#pragma once

#include <QAccessibleWidget>
#include <QList>

class QAbstractButton;

/// How the controls read to assistive technology (a screen reader over AT-SPI), without changing
/// anything a player sees.
namespace Accessible {

/// Has the controls and the screens' windows read as described here. Called once, by main(),
/// after the application is made; a later install() of another layer's factory comes first.
void install();

/// Has a screen's window read in a role other than a plain window (a dialog).
void setRole(QWidget *window, QAccessible::Role role);

/// Whether a control is only decoration, left out of its screen's accessible tree: an outline, a
/// frame without a caption (its contents stay, in the frame's place).
bool isDecoration(const QObject *object);

/// Makes a button read as one of an exclusive set of choices, checked or not. The button keeps
/// its look: the state is only for assistive technology.
void setChoice(QAbstractButton *button, bool checked);
bool isChecked(const QAbstractButton *button);

/// Tells assistive technology that an object's name changed.
void nameChanged(QObject *object);
/// Sets a widget's accessible name or description and tells assistive technology of the change.
void setName(QWidget *widget, const QString &name);
void setDescription(QWidget *widget, const QString &description);

} // namespace Accessible

/// A screen's window as assistive technology reads it: decorations left out of its children.
class ScreenAccessible : public QAccessibleWidget
{
public:
    ScreenAccessible(QWidget *window, QAccessible::Role role);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessible::Role role() const override;

protected:
    /// The objects read as the window's children, in order.
    virtual QList<QObject *> children() const;
    /// A widget's own children that are read, with decorations replaced by their contents.
    static void collect(const QObject *parent, QList<QObject *> &out);
};
