#pragma once

#include <QList>
#include <QString>

class QWidget;

// Puts the texts of a caption file onto the screens that exist, following the
// caption translation table. A missing file or key leaves the key's own name as
// the text, so an untranslated element is easy to spot.
class CaptionApplier
{
public:
    // `screens` are the top-level windows; each is found by its objectName.
    static void apply_captions(const QString &captionFile, const QList<QWidget *> &screens);
};
