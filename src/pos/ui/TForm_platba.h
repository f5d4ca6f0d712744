#pragma once

#include "pos/PaymentCalculation.h"
#include "pos/PaymentSession.h"

#include <QDialog>

#include <array>
#include <functional>

struct Configuration;
class MessageTable;
class UserDialogs;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Úhrada dokladu": how the customer pays a receipt. Shown modally by the print of the
// sale screen; it reads and writes the print's PaymentSession and leaves the arithmetic
// to PaymentCalculation.
class TForm_platba : public QDialog
{
    Q_OBJECT
public:
    static constexpr int LabelledMeans = 8;
    static constexpr int MemoColumns = 40;

    struct Services
    {
        const Configuration &config;
        const MessageTable &messages;
        UserDialogs &dialogs;
        DocumentDiscountOperation applyDiscount; // the sale screen's whole-document discount
        std::function<void(int ms)> pause;       // the link's busy wait
        std::function<void()> cashRegister;      // "Pokladna": the sale screen takes over again
    };

    explicit TForm_platba(Services services, QWidget *parent = nullptr);

    // Shows the dialog modally for `session` and returns when it closed.
    void run(PaymentSession &session);
    // Escape and "Pokladna": the document stays unprinted.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildLayout();
    void prepare();
    QString totalText() const;
    void showAmounts();
    void showRemaining(bool changeOrExact, const QString &amount);
    void chooseMeans(int entry);
    void enterAmount();
    void leaveAmount();
    void storeAmount();
    void applyDiscount();
    void keepMemoColumns();
    void printDocument();
    void cashRegister();
    bool dialogKey(int key);
    bool filterAmountKey(QKeyEvent *event);
    bool filterListKey(QKeyEvent *event);
    bool filterPercentKey(QKeyEvent *event);

    Services m_services;
    PaymentCalculation m_calc;
    PaymentSession *m_session = nullptr;

    QLabel *m_total = nullptr;
    QLineEdit *m_percent = nullptr;
    QLabel *m_discountAmount = nullptr;
    QLabel *m_beforeDiscount = nullptr;
    QComboBox *m_means = nullptr;
    QLineEdit *m_amount = nullptr;
    QLabel *m_remainingCaption = nullptr;
    QLabel *m_remaining = nullptr;
    QPlainTextEdit *m_memo = nullptr;
    std::array<QLabel *, LabelledMeans> m_names{};
    std::array<QLabel *, LabelledMeans> m_amounts{};
    QPushButton *m_cashRegister = nullptr;
    QPushButton *m_print = nullptr;
};
