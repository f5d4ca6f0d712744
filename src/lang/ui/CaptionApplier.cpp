#include "lang/ui/CaptionApplier.h"

#include "base/IniFile.h"
#include "lang/CaptionTable.h"
#include "widgets/PanelStatusBar.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

QWidget *findScreen(const QList<QWidget *> &screens, const QString &name)
{
    for (QWidget *screen : screens) {
        if (screen && screen->objectName() == name)
            return screen;
    }
    return nullptr;
}

QObject *findElement(QWidget *screen, const QString &name)
{
    if (screen->objectName() == name)
        return screen;
    return screen->findChild<QObject *>(name);
}

// A tab page's caption is the title of its tab.
bool setTabCaption(QWidget *page, const QString &text)
{
    auto *stack = qobject_cast<QStackedWidget *>(page->parentWidget());
    auto *tabs = stack ? qobject_cast<QTabWidget *>(stack->parentWidget()) : nullptr;
    if (!tabs)
        return false;
    tabs->setTabText(tabs->indexOf(page), text);
    return true;
}

void setCaption(QObject *element, QWidget *screen, const QString &text)
{
    if (element == screen)
        screen->setWindowTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(element))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(element))
        button->setText(text);
    else if (auto *group = qobject_cast<QGroupBox *>(element))
        group->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(element))
        action->setText(text);
    else if (auto *menu = qobject_cast<QMenu *>(element))
        menu->setTitle(text);
    else if (auto *widget = qobject_cast<QWidget *>(element); widget && setTabCaption(widget, text))
        return;
    else
        element->setProperty("text", text);
}

void setHint(QObject *element, const QString &text)
{
    if (auto *widget = qobject_cast<QWidget *>(element))
        widget->setToolTip(text);
    else if (auto *action = qobject_cast<QAction *>(element))
        action->setToolTip(text);
}

void setColumnTitle(QObject *element, int column, const QString &text)
{
    auto *view = qobject_cast<QAbstractItemView *>(element);
    if (view && view->model() && column < view->model()->columnCount()) {
        view->model()->setHeaderData(column, Qt::Horizontal, text);
        return;
    }
    // The grid has no columns yet: it takes its titles from here when it gets them.
    element->setProperty(QByteArray("columnTitle") + QByteArray::number(column), text);
}

void apply(const CaptionEntry &entry, QObject *element, QWidget *screen, const QString &text)
{
    switch (entry.target) {
    case CaptionTarget::Caption:
        setCaption(element, screen, text);
        break;
    case CaptionTarget::Hint:
        setHint(element, text);
        break;
    case CaptionTarget::ColumnTitle:
        setColumnTitle(element, entry.index, text);
        break;
    case CaptionTarget::StatusPanel:
        if (auto *statusBar = qobject_cast<PanelStatusBar *>(element))
            statusBar->setPanelText(entry.index, text);
        break;
    case CaptionTarget::KeptText:
        element->setProperty(QByteArray("keptText") + QByteArray::number(entry.index), text);
        break;
    }
}

} // namespace

void CaptionApplier::apply_captions(const QString &captionFile, const QList<QWidget *> &screens)
{
    IniFile file(captionFile);
    file.load();
    for (const CaptionEntry &entry : captionTable()) {
        QWidget *screen = findScreen(screens, QString::fromLatin1(entry.screen));
        QObject *element = screen ? findElement(screen, QString::fromLatin1(entry.element)) : nullptr;
        if (!element)
            continue;
        const QString key = QString::fromLatin1(entry.key);
        apply(entry, element, screen, file.readString(QString::fromLatin1(entry.section), key, key));
    }
}
