#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

struct Configuration;
class DataFile;
class MessageTable;
class QLineEdit;
class QTabWidget;
class ServiceCashierPanel;
class ServiceImportPanel;
class ServiceInfoPanel;
class ServiceNameList;
class ServiceOmiraPanel;
class ServiceStockPanel;
class UserDialogs;
struct PointOfSaleSettings;

// What the price-list maintenance screen reaches outside the stock part; the
// application owns all of it and fills the callbacks.
struct PriceListServiceContext
{
    QString programFolder; // pokladna.ini lies below it
    Configuration &config; // the settings in effect, taken over by a confirmed save
    const MessageTable &messages;
    UserDialogs &dialogs;
    DataFile &stockFile; // the cards whose units and groups the lists name
    // The printer's header lines (data request "h"): the reply file's text, or
    // nothing when the printer gave no data.
    std::function<std::optional<QString>()> readPrinterHeader;
    std::function<void()> detectPrinter;
    // The stock-card screen refills its unit and group lists and searches again.
    std::function<void()> refreshStockScreen;
    // The sale screen refills its unit list and its status panel 4.
    std::function<void()> saleScreenSettingsChanged;
    // "Načítaj cenník"; true when it changed the units or groups.
    std::function<bool()> loadPriceList;
    std::function<void()> importPriceList;
};

// The price-list maintenance screen "Cenník údržba": units and groups, payment
// means and cashiers, the receipt header, the printer and the print-manager
// link. It edits copies, reloaded at each showing; they reach memory and the
// files only when the closing question is answered Yes and every field holds.
class TForm_cennik_servis : public QDialog
{
    Q_OBJECT

public:
    explicit TForm_cennik_servis(PriceListServiceContext context, QWidget *parent = nullptr);
    ~TForm_cennik_servis() override;

    // Shows the screen modally, centred on `over` (the stock-card screen), or
    // brings it forward when it is already open.
    void open(const QRect &over);

    QTabWidget *tabs() const { return PageControl1; }

    void BitBtn_hlavickaClick();
    void BitBtn_koniecClick() { reject(); }

public slots:
    // Escape, the close box and "Koniec": the closing question, then the save.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectActions();
    void installFilters();
    void loadFromMemory();
    void loadNameLists();
    void loadHeader();

    bool enterKey(QObject *watched);
    void browseDataFolder();
    void browseInputFile();
    void terminateClicked();
    void cashierRequiredClicked(bool checked);
    void loadPriceListClicked();

    bool confirmedSave();
    bool fieldsHold(PointOfSaleSettings &settings);
    void refuseField(QWidget *tab, QLineEdit *field, const QString &text);
    QString caption() const;

    PriceListServiceContext m_context;
    QTabWidget *PageControl1 = nullptr;
    ServiceOmiraPanel *m_omira = nullptr;
    ServiceStockPanel *m_stock = nullptr;
    ServiceInfoPanel *m_info = nullptr;
    ServiceCashierPanel *m_cashiers = nullptr;
    ServiceImportPanel *m_import = nullptr;
    ServiceNameList *m_units = nullptr;
    ServiceNameList *m_groups = nullptr;
    bool m_headerLoaded = true; // false: hlavicka.cfg could not be read and is left alone
};
