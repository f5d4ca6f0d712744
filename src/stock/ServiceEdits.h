#pragma once

#include "stock/NameListEdits.h"
#include "stock/PointOfSaleSettings.h"
#include "stock/RichTextDocument.h"

#include <optional>

// Everything the price-list maintenance screen hands to a confirmed save.
struct ServiceEdits
{
    PointOfSaleSettings settings; // the data folder and every other key as edited
    NameListEdits units;
    NameListEdits groups;
    std::optional<RichTextDocument> header; // empty: hlavicka.cfg is left as it is
};
