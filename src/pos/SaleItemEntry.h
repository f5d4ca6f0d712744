#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <optional>

class DataModule;
class MessageTable;
class SaleDocument;
class UserDialogs;

// The item fields of the sale screen as the cashier left them.
struct SaleItemInput
{
    QString nazov;
    QString nazov1;
    QString nazov2;
    QString kod;
    QString unit;
    QString price;
    QString quantity;
    QString discountPercent;
    QString discountAmount; // the amount the screen shows for the percent
    QString vatText;        // the rate shown for the chosen VAT entry
    int vatIndex = 0;
    bool obal = false;  // of the item-list row that is current
    int stockGroup = 0; // of the item-list row last scrolled to
};

// What the item is stored under besides its fields.
struct SaleItemContext
{
    int dailyClosingNumber = 0; // last learned from the printer
    int documentNumber = 0;
    QDateTime now;
    QLocale locale;
};

// Stores the item of the sale screen's fields as an open row of the document:
// the checks and questions, the amounts in cents, the row and its key, and
// what the cashier is told when any of it fails.
class SaleItemEntry
{
public:
    enum class Outcome {
        Stored,
        FocusPrice,    // price not a number, or zero and not confirmed
        FocusQuantity, // quantity not a number, or large and not confirmed
        FocusName,     // name too short
        NotStored,     // the database refused; the cashier was told
    };
    struct Result
    {
        Outcome outcome = Outcome::NotStored;
        bool clearDiscount = false; // a return carries no discount: both fields become "0"
        int key = 0;                // ID_PRIMARY of the stored row
    };

    SaleItemEntry(SaleDocument &document, DataModule &data, const MessageTable &messages,
                  UserDialogs &dialogs);

    Result store(const SaleItemInput &input, const SaleItemContext &context);

    // A number typed with the locale's decimal separator (or "."); empty when
    // the text is no number.
    static std::optional<double> parseNumber(const QString &text, const QLocale &locale);

private:
    bool confirmed(const QString &question, bool noIsDefault);
    void tellNotANumber(const QString &what, const QString &text, const QLocale &locale);
    Result insert(const SaleItemInput &input, const SaleItemContext &context, double price, double quantity);

    SaleDocument &m_document;
    DataModule &m_data;
    const MessageTable &m_messages;
    UserDialogs &m_dialogs;
};
