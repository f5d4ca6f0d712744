#pragma once

#include <QDateTime>
#include <QString>

class DataFile;
class MessageTable;
class Progress;
class UserDialogs;

struct PriceListLoadingContext
{
    QString dataFolder;
    DataFile &stock; // the stock file, open
    const MessageTable &messages;
    UserDialogs &dialogs;
    Progress &progress;
};

// Loading a price list from a file the operator chooses: an old binary price
// list (".BIN") adds its cards, the stock table of another installation (".DB")
// is merged into ours after a backup, and that installation's unit and group
// names (the ".ini" beside it) replace ours. Every outcome is told through the
// dialogs; the caller refreshes what the returned changes name.
class PriceListLoading
{
public:
    struct Changes
    {
        bool cards = false;          // the stock table changed
        bool unitsAndGroups = false; // vx60_sklad.ini was replaced
    };

    explicit PriceListLoading(PriceListLoadingContext context);

    // `now` names the backup.
    Changes run(const QDateTime &now = QDateTime::currentDateTime());
    // The file chosen by the last run, empty when none was.
    const QString &chosenFile() const { return m_chosen; }

private:
    QString chooseFile();
    Changes loadBinary(const QString &path);
    Changes mergeTable(const QString &path, const QDateTime &now);
    bool isStockFile(const QString &path) const;
    bool copyCompanion(const QString &companion);
    void tellMerged(qint64 moved, qint64 skipped);

    PriceListLoadingContext m_context;
    QString m_chosen;
};
