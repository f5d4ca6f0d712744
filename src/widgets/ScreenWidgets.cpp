#include "widgets/ScreenWidgets.h"

#include "widgets/StableHeaderView.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QLineEdit *ScreenWidgets::lineEdit(QWidget *parent, const QString &name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    return edit;
}

QGroupBox *ScreenWidgets::box(const QString &name, const QString &title, QWidget *content)
{
    auto *group = new QGroupBox(title);
    group->setObjectName(name);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(content);
    return group;
}

QTableView *ScreenWidgets::grid(const QString &name)
{
    auto *view = new QTableView;
    view->setObjectName(name);
    // Headers that keep their palettes, so that repaints find their cached pictures.
    view->setHorizontalHeader(new StableHeaderView(Qt::Horizontal, view));
    view->setVerticalHeader(new StableHeaderView(Qt::Vertical, view));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setTabKeyNavigation(false);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

QPushButton *ScreenWidgets::button(const QString &name, const QString &text)
{
    auto *pushButton = new QPushButton(text);
    pushButton->setObjectName(name);
    pushButton->setAutoDefault(false);
    return pushButton;
}

bool ScreenWidgets::insideOpenList(const QWidget *widget)
{
    return widget && widget->window()->windowType() == Qt::Popup;
}

void ScreenWidgets::nameForReaders(QWidget *widget, const QString &name)
{
    widget->setAccessibleName(name);
    if (!widget->toolTip().isEmpty())
        widget->setAccessibleDescription(widget->toolTip());
}
