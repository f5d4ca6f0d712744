#pragma once

// What a screen reader reads for the inputs and grids of a screen: each must have a name
// of its own, so that the cashier (and a test) can tell where the keys go.

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextEdit>
#include <QWidget>

namespace AccessibleNames {

// A widget that takes the cashier's keys or shows rows: a field, a list, a grid. The parts
// of a list (its line edit, its popup) are read as the list.
inline bool isInput(const QWidget *widget)
{
    for (const QWidget *parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (qobject_cast<const QComboBox *>(parent) || qobject_cast<const QAbstractSpinBox *>(parent))
            return false;
    }
    if (widget->window()->windowType() == Qt::Popup || qobject_cast<const QHeaderView *>(widget))
        return false;
    return qobject_cast<const QLineEdit *>(widget) || qobject_cast<const QComboBox *>(widget) ||
           qobject_cast<const QAbstractSpinBox *>(widget) || qobject_cast<const QTextEdit *>(widget) ||
           qobject_cast<const QPlainTextEdit *>(widget) || qobject_cast<const QAbstractItemView *>(widget);
}

inline QString nameOf(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
}

// The inputs of `screen` without a name, and those that share their name with another one
// (a group's title read for each of its fields), as "objectName: name".
inline QStringList faults(QWidget &screen)
{
    QStringList faults;
    QHash<QString, QString> named; // name -> the first input that has it
    const QList<QWidget *> widgets = screen.findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        if (!isInput(widget))
            continue;
        const QString id = widget->objectName().isEmpty()
                               ? QString::fromLatin1(widget->metaObject()->className())
                               : widget->objectName();
        const QString name = nameOf(widget);
        if (name.isEmpty())
            faults << id + QStringLiteral(": no name");
        else if (named.contains(name))
            faults << id + QStringLiteral(": \"") + name + QStringLiteral("\" as ") + named.value(name);
        else
            named.insert(name, id);
    }
    return faults;
}

} // namespace AccessibleNames
