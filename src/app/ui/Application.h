#pragma once

#include <QStringList>

// The program's entry: single-instance guard, main window and start-up sequence,
// the other screens, the caption translation and the hidden start.
int runApplication(int argc, char *argv[]);
