#pragma once

#include <QString>

// The states a data set passes through, in the order their names are listed.
enum class DatasetState {
    Inactive,
    Browse,
    Edit,
    Insert,
    SetKey,
    CalcFields,
    Filter,
    NewValue,
    OldValue,
    CurValue,
    BlockRead,
    InternalCalc,
    Opening,
};

// What the stock-card screen shows for a state of the stock table (the data
// part of DataSource_tableStateChange): the state's name for status panel 0,
// and whether the card buttons (new, copy, edit, delete), the filter field, the
// group list and the grid may be used; not while a card is being edited.
struct StockTableStateView
{
    QString panelText;
    bool controlsEnabled = true;

    static StockTableStateView of(DatasetState state);
};
