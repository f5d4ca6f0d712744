#pragma once

#include <QString>

struct Configuration;

// What tells apart the tills that share a data folder: the machine, the print manager it
// hands its receipts to, and its number (POKLADNA), which its sales rows carry as UCET.
struct TillIdentity
{
    QString host;
    QString printManagerInput;
    int number = 1;

    // This machine's till as the configuration sets it up.
    static TillIdentity of(const Configuration &config);

    // "host|input": how a note names the till whose receipt it holds.
    QString linkText() const;
};
