#include "accessible_controls.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "controls.h"
#include "form.h"

namespace {

constexpr char kChoice[] = "accessibleChoice";
constexpr char kRole[] = "accessibleRole";

/// A button; one of an exclusive set of choices reads as checked or not.
class ButtonAccessible : public QAccessibleWidget
{
public:
    explicit ButtonAccessible(QAbstractButton *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (button()->property(kChoice).isValid()) {
            s.checkable = true;
            s.checked = Accessible::isChecked(button());
        }
        return s;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction() && button()->isEnabled())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton *button() const { return static_cast<QAbstractButton *>(widget()); }
};

/// A text box that takes no input: a read-only value, named by its meaning and the value.
class ValueAccessible : public QAccessibleWidget
{
public:
    explicit ValueAccessible(QLineEdit *box) : QAccessibleWidget(box, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        const QString value = static_cast<QLineEdit *>(widget())->text();
        if (t == QAccessible::Value)
            return value;
        if (t == QAccessible::Name) {
            const QString meaning = widget()->accessibleName();
            return meaning.isEmpty() ? value : meaning + QStringLiteral(": ") + value;
        }
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        // Not enabled only so that nobody types into it: it is read, not greyed out.
        QAccessible::State s = QAccessibleWidget::state();
        s.disabled = false;
        s.readOnly = true;
        return s;
    }
};

QAccessibleInterface *controlsFactory(const QString &, QObject *object)
{
    if (auto *form = qobject_cast<Form *>(object))
        return new ScreenAccessible(form, QAccessible::Window);
    // Made for every button: the interface is often asked for while the button is still being
    // set up, before it is made a choice.
    if (auto *button = qobject_cast<CommandButton *>(object))
        return new ButtonAccessible(button);
    auto *box = qobject_cast<TextBox *>(object);
    if (box && !box->isEnabled()) {
        // The value is part of the name: a new value is a new name.
        QObject::connect(box, &QLineEdit::textChanged, box,
                         [box] { Accessible::nameChanged(box); });
        return new ValueAccessible(box);
    }
    return nullptr;
}

} // namespace

void Accessible::install()
{
    QAccessible::installFactory(controlsFactory);
}

void Accessible::setRole(QWidget *window, QAccessible::Role role)
{
    window->setProperty(kRole, int(role));
}

bool Accessible::isDecoration(const QObject *object)
{
    if (qobject_cast<const Shape *>(object))
        return true;
    const auto *frame = qobject_cast<const Frame *>(object);
    return frame && frame->caption().isEmpty();
}

void Accessible::setChoice(QAbstractButton *button, bool checked)
{
    const QVariant before = button->property(kChoice);
    button->setProperty(kChoice, checked);
    if (before.isValid() && before.toBool() != checked) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(button, changed);
        QAccessible::updateAccessibility(&event);
    }
}

bool Accessible::isChecked(const QAbstractButton *button)
{
    return button->property(kChoice).toBool();
}

void Accessible::nameChanged(QObject *object)
{
    QAccessibleEvent event(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void Accessible::setName(QWidget *widget, const QString &name)
{
    if (widget->accessibleName() == name)
        return;
    widget->setAccessibleName(name);
    nameChanged(widget);
}

void Accessible::setDescription(QWidget *widget, const QString &description)
{
    if (widget->accessibleDescription() == description)
        return;
    widget->setAccessibleDescription(description);
    QAccessibleEvent event(widget, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

ScreenAccessible::ScreenAccessible(QWidget *window, QAccessible::Role role)
    : QAccessibleWidget(window, role)
{
}

QAccessible::Role ScreenAccessible::role() const
{
    const QVariant role = widget()->property(kRole);
    return role.isValid() ? QAccessible::Role(role.toInt()) : QAccessibleWidget::role();
}

void ScreenAccessible::collect(const QObject *parent, QList<QObject *> &out)
{
    for (QObject *o : parent->children()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || w->isWindow())
            continue;
        if (qobject_cast<const Shape *>(w))
            continue;
        if (Accessible::isDecoration(w))
            collect(w, out);
        else
            out.append(w);
    }
}

QList<QObject *> ScreenAccessible::children() const
{
    QList<QObject *> out;
    collect(widget(), out);
    return out;
}

int ScreenAccessible::childCount() const
{
    return int(children().size());
}

QAccessibleInterface *ScreenAccessible::child(int index) const
{
    const QList<QObject *> list = children();
    if (index < 0 || index >= list.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(list.at(index));
}

int ScreenAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    return child ? int(children().indexOf(child->object())) : -1;
}
