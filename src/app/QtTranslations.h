#pragma once

class QCoreApplication;

// Puts Qt's own Slovak catalogue on the program, so that the standard dialogs (the
// print preview, the print and file dialogs, progress boxes) speak Slovak like the
// rest of the screens. Language index 1 of the configuration is English, Qt's own
// language; every other index takes Slovak. The translator belongs to `app`. A
// catalogue that is not installed leaves the dialogs in English; true when one was
// put on.
bool installQtTranslations(QCoreApplication &app, int languageIndex);
