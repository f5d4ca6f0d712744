#pragma once

#include <QIcon>

// The two 32 x 32 tray images: 0 the print manager answers, 1 it does not.
namespace TrayImages {
QIcon image(int index);
}
