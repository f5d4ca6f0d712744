#pragma once

#include "stock/ImportFile.h"

#include <QDialog>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

// The first rows of a file to import as the import will read them, with the
// reading options found in the file: a text file's separator and encoding, and
// whether the first row names the columns. The user corrects what was found
// wrongly and sees the rows again at once.
class ImportPreviewDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int PreviewRows = 10;

    ImportPreviewDialog(QString path, ImportFile::Options options, QWidget *parent = nullptr);

    const ImportFile::Options &options() const { return m_options; }

    // Shows the dialog; true with `options` as the user left them when the user goes on.
    static bool review(QWidget *parent, const QString &path, ImportFile::Options &options);

private:
    void buildLayout();
    void showOptions();
    void takeOptions();
    void reread();

    QString m_path;
    ImportFile::Options m_options;
    QComboBox *CB_oddelovac = nullptr;
    QComboBox *CB_kodovanie = nullptr;
    QCheckBox *ChBox_nazvy = nullptr;
    QTableWidget *Grid_nahlad = nullptr;
    QLabel *m_problem = nullptr;
};
