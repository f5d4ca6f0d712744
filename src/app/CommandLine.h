#pragma once

#include <QString>
#include <QStringList>

// The program's command line: "/ini", "/fin", "/finfo" and "/fout" each take the
// next argument as their value (empty when the switch ends the line); "/nohide"
// or "/NOHIDE" keeps the main window visible. Switches are case-sensitive; other
// arguments are ignored.
struct CommandLine
{
    QString iniPath;    // empty: the program folder's qd60_cfg.ini
    QString inputFile;  // "/fin": replaces path_in
    QString infoFolder; // "/finfo": replaces path_info
    QString outputFile; // "/fout": replaces path_out
    bool noHide = false;

    // `arguments` as main() gets them, the program path first.
    static CommandLine parse(const QStringList &arguments);
};
