#pragma once

#include <array>

// The numbered texts of the language's message file that the program shows.
// The number is the contract with the shipped .msg files, so an enumerator's
// value never changes; a text used in two places keeps one name.
enum class Msg : int {
    // Start-up, main window and tray icon.
    AccessTestCaption = 187, // caption of the box: path + Windows error text
    OtherPosRunning = 114,   // a window titled "POKLTM" exists; the program ends
    OtherPosRunningCaption = 115,
    PrinterNotFoundRetry = 118, // Yes/No: detect the printer again
    PrinterNotFoundCaption = 119,
    TrayHint = 113,            // tray hint once the messages are read
    DetectingHint = 106,       // tray hint while the printer is detected
    ConnectedHint = 112,       // tray hint after a successful detection
    PrinterNotAnswering = 108, // tray hint and status panel 3 of the main window
    CloseQuestion = 137,       // Yes/No before the program ends
    CloseCaption = 138,

    // Printer checks before a document (sale screen, print, cash gate and cash "OK").
    PrinterStateCaption = 17, // caption of "printer not detected" and "ON LINE status" boxes

    // Sale screen.
    DataFolderNotCreated = 65,    // error raised when the data folder cannot be made
    SaleCaptionDemo = 162,        // window caption in DEMO mode
    SaleCaption = 163,            // window caption otherwise
    DocumentNumberPrefix = 79,    // status panel 1, followed by the document number
    ClosingNumberPrefix = 80,     // status panel 0, followed by the daily-closing number
    HelpBoxCaption = 152,         // document box caption while help is shown
    DocumentBoxCaption = 153,     // document box caption when help is closed
    OpenDocumentBoxCaption = 174, // document box caption on entering the search field
    SearchByName = 169,           // Label_vloz per search column
    SearchByCode = 170,
    SortByPrice = 171,
    QueryFailed = 168, // search query or next-key query failed
    ZeroPriceQuestion = 178,
    LargeQuantityQuestion = 179,
    NameTooShort = 180,
    ItemNotStored = 181,
    ItemStoreDatabaseError = 182, // followed by a line break and the engine's text
    TotalBoxCaption = 183,        // total box caption after each recomputation
    TotalBoxPaidExactly = 68,     // total box caption after a print without change
    AmountTooHigh = 156,          // document total, payment amount or cash amount above its limit
    AmountTooHighCaption = 157,
    ResultMissingRetry = 158, // Yes/No: wait for the print result again
    SaleWarningCaption = 159, // caption of the sale screen's questions and database errors
    NotPrintedRetry = 160,    // Yes/No: print the document again
    SaleErrorCaption = 161,   // caption of a failed query and of NotPrintedRetry

    // Data tables.
    StockTableMissing = 172,
    StockTableMissingCaption = 173,
    SalesFolderMissing = 175, // follows the data folder and a line break
    SalesFolderMissingCaption = 176,
    SalesTableNotCreated = 177, // followed directly by the engine's text

    // Payment dialog (ChangeDue also captions the sale screen's total box after a print).
    PaymentShortCaption = 63, // dialog caption while the payment is short
    ChangeDue = 78,
    RemainingToPay = 199,

    // Cash-operations dialog.
    DepositAmountLabel = 191,
    WithdrawalAmountLabel = 193,
    CashPrintButton = 195,
    CashPrinting = 196, // "OK" caption while the voucher is handed over
    VoucherNotConfirmed = 197,
    VoucherNotConfirmedCaption = 198,

    // Stock cards (AllGroups also heads the sales overview's group filter).
    CardSaveCaption = 200,
    CardNotSaved = 201,
    CardCodeEmpty = 202,
    AllGroups = 203,
    CardNameEmpty = 205,
    CardNameEmptyCaption = 206,
    StockFolderMissing = 207, // follows the folder path and a line break
    StockFolderMissingCaption = 208,
    StockTableNotCreated = 209,
    StockCardsCaption = 210, // caption of search, edit and database errors
    FilterByName = 211,      // Label_filter per search mode
    FilterByCode = 212,
    StockSearchFailed = 213,
    CardNotEditable = 214,
    DeleteCardQuestion = 215, // followed by the card's name and "?"
    DeleteCardCaption = 216,

    // Price-list maintenance and import.
    BinaryPriceListFailed = 91,
    ServiceCaption = 217,
    SaveSettingsQuestion = 218,
    SerialNumberMissing = 219,
    LoadPriceListTitle = 220,  // file dialog title
    LoadPriceListFilter = 221, // file dialog name filter
    ImportFileMissing = 222,
    ImportFileMissingCaption = 223,
    SettingsCopyFailed = 224, // followed by the companion file's path, " \r\n" and SettingsKept
    SettingsKept = 225,
    SettingsCopyFailedCaption = 226,
    MergeDone = 227, // followed by the row count and MergeRowsMoved; also the caption
    MergeRowsMoved = 228,
    MergeDatabaseError = 229, // followed directly by the error text
    MergeErrorCaption = 230,
    ReplacePriceListQuestion = 231,
    ReplacePriceListCaption = 232,
    OldPriceListBackedUp = 233,
    ImportRowError = 234, // followed by " ", the rows done so far and the error text
};

// Every number the program cites, in number order: the shipped message files
// must give each of them a text.
inline constexpr std::array kCitedMessages = {
    Msg::PrinterStateCaption,
    Msg::PaymentShortCaption,
    Msg::DataFolderNotCreated,
    Msg::TotalBoxPaidExactly,
    Msg::ChangeDue,
    Msg::DocumentNumberPrefix,
    Msg::ClosingNumberPrefix,
    Msg::BinaryPriceListFailed,
    Msg::DetectingHint,
    Msg::PrinterNotAnswering,
    Msg::ConnectedHint,
    Msg::TrayHint,
    Msg::OtherPosRunning,
    Msg::OtherPosRunningCaption,
    Msg::PrinterNotFoundRetry,
    Msg::PrinterNotFoundCaption,
    Msg::CloseQuestion,
    Msg::CloseCaption,
    Msg::HelpBoxCaption,
    Msg::DocumentBoxCaption,
    Msg::AmountTooHigh,
    Msg::AmountTooHighCaption,
    Msg::ResultMissingRetry,
    Msg::SaleWarningCaption,
    Msg::NotPrintedRetry,
    Msg::SaleErrorCaption,
    Msg::SaleCaptionDemo,
    Msg::SaleCaption,
    Msg::QueryFailed,
    Msg::SearchByName,
    Msg::SearchByCode,
    Msg::SortByPrice,
    Msg::StockTableMissing,
    Msg::StockTableMissingCaption,
    Msg::OpenDocumentBoxCaption,
    Msg::SalesFolderMissing,
    Msg::SalesFolderMissingCaption,
    Msg::SalesTableNotCreated,
    Msg::ZeroPriceQuestion,
    Msg::LargeQuantityQuestion,
    Msg::NameTooShort,
    Msg::ItemNotStored,
    Msg::ItemStoreDatabaseError,
    Msg::TotalBoxCaption,
    Msg::AccessTestCaption,
    Msg::DepositAmountLabel,
    Msg::WithdrawalAmountLabel,
    Msg::CashPrintButton,
    Msg::CashPrinting,
    Msg::VoucherNotConfirmed,
    Msg::VoucherNotConfirmedCaption,
    Msg::RemainingToPay,
    Msg::CardSaveCaption,
    Msg::CardNotSaved,
    Msg::CardCodeEmpty,
    Msg::AllGroups,
    Msg::CardNameEmpty,
    Msg::CardNameEmptyCaption,
    Msg::StockFolderMissing,
    Msg::StockFolderMissingCaption,
    Msg::StockTableNotCreated,
    Msg::StockCardsCaption,
    Msg::FilterByName,
    Msg::FilterByCode,
    Msg::StockSearchFailed,
    Msg::CardNotEditable,
    Msg::DeleteCardQuestion,
    Msg::DeleteCardCaption,
    Msg::ServiceCaption,
    Msg::SaveSettingsQuestion,
    Msg::SerialNumberMissing,
    Msg::LoadPriceListTitle,
    Msg::LoadPriceListFilter,
    Msg::ImportFileMissing,
    Msg::ImportFileMissingCaption,
    Msg::SettingsCopyFailed,
    Msg::SettingsKept,
    Msg::SettingsCopyFailedCaption,
    Msg::MergeDone,
    Msg::MergeRowsMoved,
    Msg::MergeDatabaseError,
    Msg::MergeErrorCaption,
    Msg::ReplacePriceListQuestion,
    Msg::ReplacePriceListCaption,
    Msg::OldPriceListBackedUp,
    Msg::ImportRowError,
};

// A slip when a number is added (out of order or listed twice) shows at compile time.
static_assert(
    [] {
        for (std::size_t i = 1; i < kCitedMessages.size(); ++i) {
            if (static_cast<int>(kCitedMessages[i - 1]) >= static_cast<int>(kCitedMessages[i]))
                return false;
        }
        return true;
    }(),
    "kCitedMessages must be in strictly ascending number order");
