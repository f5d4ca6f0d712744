#pragma once

#include <QAbstractTableModel>
#include <QLocale>

class SaleDocument;

// The document grid: the open rows of the document being composed.
class SaleDocumentModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Kod, Nazov, Pocet, Mj, Cena, ColumnCount };

    explicit SaleDocumentModel(const SaleDocument &document, QObject *parent = nullptr);

    // Shows the rows the document holds now.
    void refresh();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const SaleDocument &m_document;
    QLocale m_locale;
};
