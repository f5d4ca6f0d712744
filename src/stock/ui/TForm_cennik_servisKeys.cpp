// The maintenance screen's keys: Enter adds and renames list entries.
#include "stock/ui/TForm_cennik_servis.h"

#include "stock/ui/ServiceNameList.h"
#include "stock/ui/ServiceOmiraPanel.h"
#include "stock/ui/ServiceStockPanel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

void TForm_cennik_servis::installFilters()
{
    const QList<QObject *> watched = {m_stock->unitField(),     m_stock->groupField(),
                                      m_stock->unitList(),      m_stock->unitList()->lineEdit(),
                                      m_stock->groupList(),     m_stock->groupList()->lineEdit(),
                                      m_omira->titleField(),    m_stock->dataFolderField(),
                                      m_stock->inputFileField()};
    for (QObject *object : watched)
        object->installEventFilter(this);
}

bool TForm_cennik_servis::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return enterKey(watched);
    }
    return QDialog::eventFilter(watched, event);
}

// Enter never reaches the dialog from these fields: it adds or renames an entry.
bool TForm_cennik_servis::enterKey(QObject *watched)
{
    if (watched == m_stock->unitField())
        m_units->addFromEntry();
    else if (watched == m_stock->unitList() || watched == m_stock->unitList()->lineEdit())
        m_units->renameFromList();
    else if (watched == m_stock->groupList() || watched == m_stock->groupList()->lineEdit())
        m_groups->renameFromList();
    else // the group field, and the title and path fields, which add what stands in the group field
        m_groups->addFromEntry();
    return true;
}
