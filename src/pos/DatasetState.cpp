#include "pos/DatasetState.h"

#include <array>

namespace {

constexpr std::array<const char16_t *, 13> StateNames = {
    u"Inactive", u"Browse",   u"Edit",     u"Insert",    u"SetKey",       u"CalcFields", u"Filter",
    u"NewValue", u"OldValue", u"CurValue", u"BlockRead", u"InternalCalc", u"Opening",
};

} // namespace

StockTableStateView StockTableStateView::of(DatasetState state)
{
    StockTableStateView view;
    view.panelText = QString::fromUtf16(StateNames.at(size_t(state)));
    view.controlsEnabled = state != DatasetState::Edit && state != DatasetState::Insert;
    return view;
}
