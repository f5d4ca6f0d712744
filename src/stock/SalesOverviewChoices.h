#pragma once

#include <QDate>
#include <QString>

#include <optional>

// What the operator chose on the sales overview: which rows of the yearly
// sales table count, how the sold items are summed up, their order and the
// filter on one column. Plain data: the screen fills it in, the statements are
// composed from it (SalesOverviewStatements).
struct SalesOverviewChoices
{
    enum class RangeMode { Closings, Dates };
    // How the item rows are summed up: "po dokladoch", "po uzávierkach", "súhrnne".
    enum class Grouping { ByDocument, ByClosing, Summary };
    // The sort choice: "Kódu", "Názvu", "Denej uzávierky", "Čísla dokladu", "Dátumu".
    enum class Sort { Code, Name, Closing, Document, Date };
    // The item grid's columns that a filter can apply to, by their position.
    enum class Column { Closing = 0, Document = 1, Date = 2, Code = 3, Name = 4 };

    RangeMode rangeMode = RangeMode::Closings;
    int closingFrom = 0;
    int closingTo = 0;
    QDate dateFrom;
    QDate dateTo;

    Grouping grouping = Grouping::ByDocument;
    Sort sort = Sort::Closing;
    bool descending = false;

    Column filterColumn = Column::Closing;
    QString filterText;
    // The stock group (SKLAD) the item rows are limited to; none for all groups.
    std::optional<int> group;

    // Whether the item rows of `grouping` carry `column` (a closing number, a
    // document number or a date is summed away by the coarser groupings).
    static bool shows(Grouping grouping, Column column)
    {
        switch (column) {
        case Column::Closing:
            return grouping != Grouping::Summary;
        case Column::Document:
        case Column::Date:
            return grouping == Grouping::ByDocument;
        case Column::Code:
        case Column::Name:
            return true;
        }
        return false;
    }
};
