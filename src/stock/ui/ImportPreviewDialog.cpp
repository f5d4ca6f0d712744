#include "stock/ui/ImportPreviewDialog.h"

#include "stock/ImportRowSource.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <memory>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The columns the import takes, by position.
const QStringList ColumnTitles{u"1 Názov"_s, u"2 Kód"_s,       u"3 Cena"_s,
                               u"4 Počet"_s, u"5 DPH (0-6)"_s, u"6 MJ (poradie)"_s};

void addSeparator(QComboBox *box, const QString &name, QChar separator)
{
    box->addItem(name, QVariant::fromValue(separator));
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(QString path, ImportFile::Options options, QWidget *parent)
    : QDialog(parent), m_path(std::move(path)), m_options(std::move(options))
{
    setObjectName(u"TForm_import_nahlad"_s);
    setWindowTitle(u"Náhľad importu"_s);
    buildLayout();
    showOptions();
    reread();
    connect(CB_oddelovac, &QComboBox::currentIndexChanged, this, [this] { reread(); });
    connect(CB_kodovanie, &QComboBox::currentIndexChanged, this, [this] { reread(); });
    connect(ChBox_nazvy, &QCheckBox::toggled, this, [this] { reread(); });
}

void ImportPreviewDialog::buildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"Súbor: %1"_s.arg(QFileInfo(m_path).fileName())));
    auto *form = new QFormLayout;
    CB_oddelovac = new QComboBox;
    CB_oddelovac->setObjectName(u"CB_oddelovac"_s);
    addSeparator(CB_oddelovac, u"bodkočiarka ;"_s, u';');
    addSeparator(CB_oddelovac, u"čiarka ,"_s, u',');
    addSeparator(CB_oddelovac, u"tabulátor"_s, u'\t');
    addSeparator(CB_oddelovac, u"zvislá čiara |"_s, u'|');
    CB_kodovanie = new QComboBox;
    CB_kodovanie->setObjectName(u"CB_kodovanie"_s);
    CB_kodovanie->addItem(u"Windows-1250 (stredoeurópske)"_s, int(CsvImportSource::Encoding::Cp1250));
    CB_kodovanie->addItem(u"UTF-8"_s, int(CsvImportSource::Encoding::Utf8));
    ChBox_nazvy = new QCheckBox(u"Prvý riadok obsahuje &názvy stĺpcov"_s);
    ChBox_nazvy->setObjectName(u"ChBox_nazvy"_s);
    auto *separatorLabel = new QLabel(u"&Oddeľovač:"_s);
    separatorLabel->setBuddy(CB_oddelovac);
    auto *encodingLabel = new QLabel(u"&Kódovanie:"_s);
    encodingLabel->setBuddy(CB_kodovanie);
    form->addRow(separatorLabel, CB_oddelovac);
    form->addRow(encodingLabel, CB_kodovanie);
    layout->addLayout(form);
    // Only a text file has a separator and an encoding; the other kinds say theirs themselves.
    const bool text = ImportFile::kindOf(m_path) == ImportFile::Kind::Text;
    for (QWidget *widget : {static_cast<QWidget *>(separatorLabel), static_cast<QWidget *>(CB_oddelovac),
                            static_cast<QWidget *>(encodingLabel), static_cast<QWidget *>(CB_kodovanie)})
        widget->setVisible(text);
    // The fields of a database table have names of their own, never a title row.
    const ImportFile::Kind kind = ImportFile::kindOf(m_path);
    ChBox_nazvy->setVisible(kind != ImportFile::Kind::Dbf && kind != ImportFile::Kind::Paradox &&
                            kind != ImportFile::Kind::Access);
    layout->addWidget(ChBox_nazvy);
    Grid_nahlad = new QTableWidget(0, int(ColumnTitles.size()));
    Grid_nahlad->setObjectName(u"Grid_nahlad"_s);
    Grid_nahlad->setAccessibleName(u"Náhľad importu"_s);
    Grid_nahlad->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_nahlad->setFocusPolicy(Qt::NoFocus);
    Grid_nahlad->setMinimumSize(640, 260);
    layout->addWidget(Grid_nahlad, 1);
    m_problem = new QLabel;
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto *buttons = new QDialogButtonBox;
    QPushButton *go = buttons->addButton(u"&Importovať"_s, QDialogButtonBox::AcceptRole);
    go->setObjectName(u"BitBtn_importuj"_s);
    go->setDefault(true);
    buttons->addButton(u"&Zrušiť"_s, QDialogButtonBox::RejectRole)->setObjectName(u"BitBtn_zrus"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void ImportPreviewDialog::showOptions()
{
    const QSignalBlocker separatorSignals(CB_oddelovac);
    const QSignalBlocker encodingSignals(CB_kodovanie);
    const QSignalBlocker titleSignals(ChBox_nazvy);
    const QChar separator = m_options.separator.value_or(u';');
    int at = CB_oddelovac->findData(QVariant::fromValue(separator));
    if (at < 0) {
        addSeparator(CB_oddelovac, u"„%1“"_s.arg(separator), separator);
        at = CB_oddelovac->count() - 1;
    }
    CB_oddelovac->setCurrentIndex(at);
    const auto encoding = m_options.encoding.value_or(CsvImportSource::Encoding::Cp1250);
    CB_kodovanie->setCurrentIndex(CB_kodovanie->findData(int(encoding)));
    ChBox_nazvy->setChecked(m_options.titleRow);
}

void ImportPreviewDialog::takeOptions()
{
    if (ImportFile::kindOf(m_path) == ImportFile::Kind::Text) {
        m_options.separator = CB_oddelovac->currentData().value<QChar>();
        m_options.encoding = CsvImportSource::Encoding(CB_kodovanie->currentData().toInt());
    }
    m_options.titleRow = ChBox_nazvy->isChecked();
}

// Read anew with every change, through the same reader the import uses, so the
// rows are the ones the import will take.
void ImportPreviewDialog::reread()
{
    takeOptions();
    Grid_nahlad->setRowCount(0);
    Grid_nahlad->setColumnCount(int(ColumnTitles.size()));
    m_problem->clear();
    QString error;
    const std::unique_ptr<ImportRowSource> source = ImportFile::open(m_path, m_options, &error);
    ImportRow row;
    ImportRowSource::Read read = ImportRowSource::Read::Failed;
    QStringList numbers;
    while (source && Grid_nahlad->rowCount() < PreviewRows &&
           (read = source->next(row)) == ImportRowSource::Read::Row) {
        const int at = Grid_nahlad->rowCount();
        Grid_nahlad->insertRow(at);
        numbers << QString::number(row.number);
        Grid_nahlad->setColumnCount(std::max(Grid_nahlad->columnCount(), int(row.cells.size())));
        for (int column = 0; column < row.cells.size(); ++column)
            Grid_nahlad->setItem(at, column, new QTableWidgetItem(row.cells.at(column)));
    }
    if (!source)
        m_problem->setText(error);
    else if (read == ImportRowSource::Read::Failed)
        m_problem->setText(source->error());
    QStringList titles = ColumnTitles;
    for (int column = int(titles.size()); column < Grid_nahlad->columnCount(); ++column)
        titles << u"%1 (nepoužije sa)"_s.arg(column + 1);
    Grid_nahlad->setHorizontalHeaderLabels(titles);
    Grid_nahlad->setVerticalHeaderLabels(numbers);
    Grid_nahlad->resizeColumnsToContents();
}

bool ImportPreviewDialog::review(QWidget *parent, const QString &path, ImportFile::Options &options)
{
    ImportPreviewDialog dialog(path, options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}
