#pragma once

#include <span>

// Which property of an element receives a translated text.
enum class CaptionTarget {
    Caption,     // label/button/check box text, group box title, tab page title, menu item, window title
    Hint,        // tool tip of a control
    ColumnTitle, // title of grid column `index`
    StatusPanel, // text of status-bar panel `index`
    KeptText,    // a text the screen keeps for later use: dynamic property "keptText<index>" of the screen
};

// One row of the caption translation table: the text of key `key` in section
// `section` of the caption file goes to `target` of the element named `element`
// (an objectName) on the screen named `screen` (the screen's objectName). An
// element equal to the screen's own name means the screen itself.
struct CaptionEntry
{
    const char *screen;
    const char *element;
    CaptionTarget target;
    int index; // column, panel or kept-text number; 0 where the target has none
    const char *section;
    const char *key;
};

// The translation table in its fixed order; later entries win over earlier ones
// that reach the same element and property.
std::span<const CaptionEntry> captionTable();
