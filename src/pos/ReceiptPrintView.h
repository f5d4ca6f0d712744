#pragma once

#include <QString>

// What the print of a receipt changes on the sale screen. The sale screen implements it;
// every call has a do-nothing default, so a caller without a screen overrides only what
// it wants to see.
class ReceiptPrintView
{
public:
    virtual ~ReceiptPrintView() = default;

    virtual void focusParagonNumber() {}
    virtual void focusSearchField() {}
    // The item discount field next to the search; the print sets it to "0".
    virtual void setDiscountPercentText(const QString &) {}
    // The main window's timer rests while the receipt is with the print manager.
    virtual void setMainTimerActive(bool) {}
    virtual void setGridFrozen(bool) {}
    // RE_doklad: cleared and shown (in front of the grid in demonstration mode) when the
    // composition starts, then one line per piece written.
    virtual void showDocumentBox(bool inFront) { (void)inFront; }
    virtual void addDocumentLine(const QString &) {}
    // The total box after the hand-over: its caption and the change or remaining amount.
    virtual void showChange(const QString &caption, const QString &amount)
    {
        (void)caption;
        (void)amount;
    }
    // A printed receipt: status panels 1 and 3 get the document's label and time,
    // EditUID its UID, and the document total is 0.
    virtual void showPrinted(const QString &label, const QString &time, const QString &uid)
    {
        (void)label;
        (void)time;
        (void)uid;
    }
    // The end of every print: grid unfrozen, search field cleared, paragon box unchecked
    // and its number cleared, the main window's UID field set to `lastUid`, search field
    // focused.
    virtual void finishPrint(const QString &lastUid) { (void)lastUid; }
    // The rows of the open document changed without a print of this screen (a receipt
    // found printed after the program was interrupted): the grid and total must reload.
    virtual void reloadDocument() {}
};
