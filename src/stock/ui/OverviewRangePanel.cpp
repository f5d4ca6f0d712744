#include "stock/ui/OverviewRangePanel.h"

#include "base/UserDialogs.h"
#include "widgets/ScreenWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kDateFormat = u"dd.MM.yyyy"_s;
const QString kCaption = u"Prehľad predaja"_s;

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Leaving the window (a message box, another program) is neither entering nor leaving a field.
bool withinWindow(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

// The next or previous control that the Tab key would reach.
void moveFocus(QWidget *from, bool forward)
{
    QWidget *next = from;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next != from &&
             !(next->isEnabled() && next->isVisible() && (next->focusPolicy() & Qt::TabFocus)));
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

// Replaces two digits of a masked date, the rest as shown.
void putDigits(QLineEdit *field, int position, const QString &digits)
{
    QString text = field->displayText();
    text.replace(position, 2, digits);
    field->setText(text);
}

} // namespace

OverviewRangePanel::OverviewRangePanel(UserDialogs &dialogs, QObject *parent)
    : QObject(parent), m_dialogs(dialogs)
{
    CB_rok = new QComboBox;
    CB_rok->setObjectName(u"CB_rok"_s);
    CB_rok->setEditable(true);
    CB_rok->setInsertPolicy(QComboBox::NoInsert);
    Label_rok = new QLabel(u"&Rok"_s);
    Label_rok->setBuddy(CB_rok);
    CB_rok->setAccessibleName(u"Rok"_s);
    Edit_duod = ScreenWidgets::lineEdit(nullptr, u"Edit_duod"_s, 9);
    Edit_duod->setAccessibleName(u"Číslo uzávierky od"_s);
    Label_od = new QLabel(u"&Od"_s);
    Label_od->setBuddy(Edit_duod);
    Edit_dudo = ScreenWidgets::lineEdit(nullptr, u"Edit_dudo"_s, 9);
    Edit_dudo->setAccessibleName(u"Číslo uzávierky do"_s);
    Label_do = new QLabel(u"D&o"_s);
    Label_do->setBuddy(Edit_dudo);
    CB_datum = new QCheckBox(u"&Datum"_s);
    CB_datum->setObjectName(u"CB_datum"_s);
    for (QLineEdit **date : {&MaskEdit_datumod, &MaskEdit_datumdo}) {
        *date = new QLineEdit;
        (*date)->setInputMask(u"99.99.9999;_"_s);
    }
    MaskEdit_datumod->setObjectName(u"MaskEdit_datumod"_s);
    MaskEdit_datumod->setAccessibleName(u"Dátum od"_s);
    MaskEdit_datumdo->setObjectName(u"MaskEdit_datumdo"_s);
    MaskEdit_datumdo->setAccessibleName(u"Dátum do"_s);

    for (QLineEdit *field : {Edit_duod, Edit_dudo, MaskEdit_datumod, MaskEdit_datumdo}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this] { m_changed = true; });
    }
    CB_rok->installEventFilter(this);
    connect(CB_rok, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (!m_settingTables)
            emit tableChosen(text);
    });
    connect(CB_datum, &QCheckBox::toggled, this, &OverviewRangePanel::modeToggled);
    setRangeMode(SalesOverviewChoices::RangeMode::Closings);
}

void OverviewRangePanel::setTables(const QStringList &files, const QString &selected)
{
    m_settingTables = true;
    CB_rok->clear();
    CB_rok->addItems(files);
    CB_rok->setCurrentIndex(int(files.indexOf(selected)));
    CB_rok->setEditText(selected);
    m_settingTables = false;
}

QString OverviewRangePanel::tableName() const
{
    return CB_rok->currentText();
}

void OverviewRangePanel::setClosingRange(int from, int to)
{
    m_from = from;
    m_to = to;
    Edit_duod->setText(QString::number(from));
    Edit_dudo->setText(QString::number(to));
}

void OverviewRangePanel::setDateRange(const QDate &from, const QDate &to)
{
    m_dateFrom = from;
    m_dateTo = to;
    MaskEdit_datumod->setText(from.toString(kDateFormat));
    MaskEdit_datumdo->setText(to.toString(kDateFormat));
}

void OverviewRangePanel::setRangeMode(SalesOverviewChoices::RangeMode mode)
{
    m_mode = mode;
    const bool dates = mode == SalesOverviewChoices::RangeMode::Dates;
    const QSignalBlocker blocker(CB_datum);
    CB_datum->setChecked(dates);
    Edit_duod->setEnabled(!dates);
    Edit_dudo->setEnabled(!dates);
    MaskEdit_datumod->setEnabled(dates);
    MaskEdit_datumdo->setEnabled(dates);
}

void OverviewRangePanel::fillChoices(SalesOverviewChoices &choices) const
{
    choices.rangeMode = m_mode;
    choices.closingFrom = m_from;
    choices.closingTo = m_to;
    choices.dateFrom = m_dateFrom;
    choices.dateTo = m_dateTo;
}

void OverviewRangePanel::modeToggled(bool dates)
{
    setRangeMode(dates ? SalesOverviewChoices::RangeMode::Dates : SalesOverviewChoices::RangeMode::Closings);
    (dates ? MaskEdit_datumod : Edit_duod)->setFocus(Qt::OtherFocusReason);
    emit rangeChanged();
}

// ---- Keys and focus --------------------------------------------------------

bool OverviewRangePanel::isRangeField(QObject *object) const
{
    return object == Edit_duod || object == Edit_dudo || isDateField(object);
}

bool OverviewRangePanel::isDateField(QObject *object) const
{
    return object == MaskEdit_datumod || object == MaskEdit_datumdo;
}

bool OverviewRangePanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == CB_rok && event->type() == QEvent::KeyPress) {
        // Enter takes the typed name and goes on, as in the other fields.
        if (isEnter(static_cast<QKeyEvent *>(event)->key())) {
            moveFocus(CB_rok, true);
            return true;
        }
        return false;
    }
    if (!isRangeField(watched))
        return false;
    auto *field = static_cast<QLineEdit *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
        return handleKey(field, static_cast<QKeyEvent *>(event));
    case QEvent::FocusIn:
        if (withinWindow(static_cast<QFocusEvent *>(event)))
            fieldEntered(field);
        break;
    case QEvent::FocusOut:
        if (withinWindow(static_cast<QFocusEvent *>(event))) {
            if (isDateField(field))
                dateLeft(field);
            else
                closingLeft(field);
        }
        break;
    default:
        break;
    }
    return false;
}

bool OverviewRangePanel::handleKey(QLineEdit *field, QKeyEvent *event)
{
    const int key = event->key();
    if (isEnter(key) || key == Qt::Key_Down || key == Qt::Key_Up) {
        moveFocus(field, key != Qt::Key_Up);
        return true;
    }
    if (isDateField(field))
        return dateKey(field, event);
    // Closing numbers: digits and Backspace, nothing else that types.
    const QString typed = event->text();
    if (typed.isEmpty() || key == Qt::Key_Backspace || key == Qt::Key_Delete)
        return false;
    return !(typed.size() == 1 && typed.at(0).isDigit());
}

// The day, the month and the first two digits of the year take only what can
// still make a date of this century, so that most slips never reach the check
// on leaving the field.
bool OverviewRangePanel::dateKey(QLineEdit *field, QKeyEvent *event)
{
    int position = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    if (position == 2 || position == 5)
        ++position; // the mask steps over the dot
    const QString typed = event->text();
    if (position == 6)
        return event->key() == Qt::Key_Backspace || (!typed.isEmpty() && typed != u"2"_s);
    if (typed.size() != 1 || !typed.at(0).isDigit())
        return false;
    const QChar digit = typed.at(0);
    const QString shown = field->displayText();
    const QChar next = position + 1 < shown.size() ? shown.at(position + 1) : QChar();
    switch (position) {
    case 0:
        if (digit > u'3')
            return true;
        if (digit == u'3' && next.isDigit() && next > u'2') {
            putDigits(field, 0, u"30"_s);
            field->setSelection(1, 1);
            return true;
        }
        return false;
    case 1:
        return shown.at(0) == u'3' && digit > u'1';
    case 3:
        if (digit > u'1')
            return true;
        if (digit == u'1' && next.isDigit() && next > u'2') {
            putDigits(field, 3, u"10"_s);
            field->setSelection(4, 1);
            return true;
        }
        return false;
    case 4:
        return shown.at(3) == u'1' && digit > u'2';
    case 7:
        return digit > u'1';
    default:
        return false;
    }
}

void OverviewRangePanel::fieldEntered(QLineEdit *field)
{
    m_changed = false;
    // After the focus has settled: a mouse click would otherwise place the caret over the selection.
    QTimer::singleShot(0, field, [field] {
        if (field->hasFocus())
            field->selectAll();
    });
}

void OverviewRangePanel::closingLeft(QLineEdit *field)
{
    bool ok = false;
    const int number = field->text().toInt(&ok);
    if (!ok) {
        QTimer::singleShot(0, field, [field] {
            if (field->isVisible() && field->isEnabled())
                field->setFocus(Qt::OtherFocusReason);
        });
        return;
    }
    if (field == Edit_duod) {
        m_from = number;
        if (m_to < m_from) {
            m_to = m_from;
            Edit_dudo->setText(QString::number(m_to));
        }
    } else {
        m_to = number;
        if (m_to < m_from) {
            m_from = m_to;
            Edit_duod->setText(QString::number(m_from));
        }
    }
    if (m_changed)
        emit rangeChanged();
}

void OverviewRangePanel::dateLeft(QLineEdit *field)
{
    const QString typed = field->displayText();
    const QDate date = QDate::fromString(typed, kDateFormat);
    if (!date.isValid()) {
        refuseDate(field, typed);
        return;
    }
    if (field == MaskEdit_datumod) {
        m_dateFrom = date;
        if (m_dateTo < m_dateFrom) {
            m_dateTo = m_dateFrom;
            MaskEdit_datumdo->setText(m_dateTo.toString(kDateFormat));
        }
    } else {
        m_dateTo = date;
        if (m_dateTo < m_dateFrom) {
            m_dateFrom = m_dateTo;
            MaskEdit_datumod->setText(m_dateFrom.toString(kDateFormat));
        }
    }
    if (m_changed)
        emit rangeChanged();
}

// A date that does not exist keeps the last good one: the cashier is told which
// text was wrong and stays in the field to correct it.
void OverviewRangePanel::refuseDate(QLineEdit *field, const QString &typed)
{
    const QDate kept = field == MaskEdit_datumod ? m_dateFrom : m_dateTo;
    field->setText(kept.toString(kDateFormat));
    m_changed = false;
    const QString shown = QString(typed).replace(u'_', u' ').trimmed();
    // The box is shown once the focus change is over, never inside it.
    QTimer::singleShot(0, field, [this, field, shown] {
        if (!field->isVisible() || !field->isEnabled())
            return;
        m_dialogs.warn(u"Dátum „%1“ nie je platný.\r\nZadajte deň, mesiac a rok v tvare dd.mm.rrrr, "
                       "napríklad 05.03.2026."_s.arg(shown),
                       kCaption);
        field->setFocus(Qt::OtherFocusReason);
    });
}
