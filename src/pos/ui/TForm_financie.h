#pragma once

#include "pos/CashVoucher.h"

#include <QDialog>

#include <functional>

struct Configuration;
class CashOperationGate;
class CashVoucherPrint;
class MessageTable;
class UserDialogs;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// " Hotovostné operácie": a cash deposit or withdrawal voucher, its amount split over the
// payment means, an additional text and the cashier who made it. Opened through the cash
// operation gate by the sale screen's "Vklad" and "Výber"; the arithmetic is CashVoucher's
// and the print CashVoucherPrint's.
class TForm_financie : public QDialog
{
    Q_OBJECT
public:
    static constexpr int AmountLength = 14;
    static constexpr int PaymentLength = 13;
    static constexpr int OpenHeight = 350;
    static constexpr int ClosedHeight = 400;

    struct Services
    {
        const Configuration &config;
        const MessageTable &messages;
        UserDialogs &dialogs;
        CashOperationGate &gate;
        CashVoucherPrint &print;
        std::function<void()> clearParagon;     // the sale screen's paragon box and number
        std::function<void()> showLastDocument; // the sale screen's status panels and UID
    };

    explicit TForm_financie(Services services, QWidget *parent = nullptr);

    // The gate: brings an open dialog to the front, or checks the printer and shows the
    // dialog modally for `mode` at `topLeft`. False when the printer refused.
    // `place` gives the top-left corner for the dialog's size.
    bool open(CashVoucher::Mode mode, const std::function<QPoint(QSize)> &place = {});
    const CashVoucher &voucher() const { return m_voucher; }

    // Every way out (Escape, OK, the window's close) closes through here.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Building and the flow (TForm_financie.cpp).
    void buildLayout();
    QGroupBox *buildPaymentBox();
    void prepareMode(CashVoucher::Mode mode);
    void restoreAfterClosing();
    void FormShow();
    void FormClose();
    void BitBtn_okClick();
    bool readVoucher();
    bool checkText();
    void showPrinted();
    void showRemaining();
    void refuse(const QString &text, QWidget *field);
    void refuseMissingCashier();
    void readyToPrint();
    QString message(int slot) const;

    // Keys and focus routes (TForm_financieKeys.cpp).
    bool amountKey(QLineEdit *field, QKeyEvent *event, bool minusAllowed);
    bool textKey(QKeyEvent *event);
    void Edit_celkomEnter();
    void Edit_celkomExit();
    void Edit_hotovostEnter();
    void Edit_hotovostEnterKey();
    void Edit_hotovostExit();
    void CB_platidloClick(int entry);
    void CB_vyhotovilExit();
    void storePayment();
    int selectedMeans() const;
    bool cashierMissing() const;
    void later(std::function<void()> step);

    Services m_services;
    CashVoucher m_voucher;
    QList<int> m_entryMeans;  // the payment means of each entry of CB_platidlo
    QChar m_separator = u'.'; // the locale's decimal separator, "," or "."
    bool m_closing = false;
    bool m_refusalQueued = false;

    QLabel *Label_cena = nullptr;
    QLineEdit *Edit_celkom = nullptr;
    QLineEdit *Edit_info = nullptr;
    QComboBox *CB_vyhotovil = nullptr;
    QGroupBox *GB_platidla = nullptr;
    QComboBox *CB_platidlo = nullptr;
    QLineEdit *Edit_hotovost = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label_zostavauhradit = nullptr;
    QGroupBox *GB_vratit = nullptr;
    QLabel *Label_vydavok = nullptr;
    QGroupBox *GB_faktury = nullptr;
    QLineEdit *Edit_faktura = nullptr;
    QLineEdit *Edit_cislofa = nullptr;
    QPushButton *BitBtn_ok = nullptr;
};
