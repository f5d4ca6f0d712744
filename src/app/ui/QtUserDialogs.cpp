#include "app/ui/QtUserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon boxIcon(UserDialogs::Icon icon)
{
    switch (icon) {
    case UserDialogs::Icon::Information:
        return QMessageBox::Information;
    case UserDialogs::Icon::Warning:
        return QMessageBox::Warning;
    case UserDialogs::Icon::Error:
        return QMessageBox::Critical;
    case UserDialogs::Icon::Question:
        return QMessageBox::Question;
    case UserDialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton standardButton(UserDialogs::Answer answer)
{
    switch (answer) {
    case UserDialogs::Answer::Ok:
        return QMessageBox::Ok;
    case UserDialogs::Answer::Cancel:
        return QMessageBox::Cancel;
    case UserDialogs::Answer::Yes:
        return QMessageBox::Yes;
    case UserDialogs::Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons standardButtons(UserDialogs::Buttons buttons)
{
    switch (buttons) {
    case UserDialogs::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case UserDialogs::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case UserDialogs::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

UserDialogs::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return UserDialogs::Answer::Cancel;
    case QMessageBox::Yes:
        return UserDialogs::Answer::Yes;
    case QMessageBox::No:
        return UserDialogs::Answer::No;
    default:
        return UserDialogs::Answer::Ok;
    }
}

// The buttons speak Slovak like the texts above them, with Alt letters of their own.
void nameButtonsInSlovak(QMessageBox &box)
{
    const std::pair<QMessageBox::StandardButton, QString> names[] = {
        {QMessageBox::Yes, u"Án&o"_s}, {QMessageBox::No, u"&Nie"_s}, {QMessageBox::Cancel, u"&Zrušiť"_s}};
    for (const auto &[button, name] : names) {
        if (QAbstractButton *shown = box.button(button))
            shown->setText(name);
    }
}

// Gives the keys back to the window that had them when a box or dialog opened. Without
// a window manager nothing else does, and the cashier's next keys would go nowhere.
class KeysReturn
{
public:
    KeysReturn() : m_window(QApplication::activeWindow()) {}
    ~KeysReturn()
    {
        if (m_window && m_window->isVisible() && m_window->isEnabled())
            m_window->activateWindow();
    }
    KeysReturn(const KeysReturn &) = delete;
    KeysReturn &operator=(const KeysReturn &) = delete;

private:
    QPointer<QWidget> m_window;
};

} // namespace

UserDialogs::Answer QtUserDialogs::show(const Message &message)
{
    const KeysReturn keysReturn;
    QWidget *owner = message.ownedByMainWindow ? m_mainWindow.data() : nullptr;
    QMessageBox box(boxIcon(message.icon), message.caption, message.text, standardButtons(message.buttons),
                    owner);
    nameButtonsInSlovak(box);
    box.setDefaultButton(standardButton(message.defaultAnswer));
    if (message.topMost)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return answerOf(box.exec());
}

QString QtUserDialogs::chooseFile(const FileRequest &request)
{
    const KeysReturn keysReturn;
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder, request.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.existingOnly && !request.forSaving ? QFileDialog::ExistingFile
                                                                  : QFileDialog::AnyFile);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (request.chosenFilter)
        *request.chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

// A list rather than a drop-down: every sheet or table is in sight at once, and
// Enter takes the one chosen by the arrow keys.
int QtUserDialogs::chooseItem(const ItemRequest &request)
{
    if (request.items.isEmpty())
        return -1;
    const KeysReturn keysReturn;
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.label);
    dialog.setComboBoxItems(request.items);
    dialog.setComboBoxEditable(false);
    dialog.setOption(QInputDialog::UseListViewForComboBoxItems);
    dialog.setTextValue(request.items.value(request.current));
    dialog.setOkButtonText(u"OK"_s);
    dialog.setCancelButtonText(u"Zrušiť"_s);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(request.items.indexOf(dialog.textValue()));
}
