#pragma once

#include <QString>

#include <optional>

// Where a data folder's tables live: in SQLite files of the folder (the
// default), or in one PostgreSQL database that the tills of a shop share. The
// connection is libpq's own text, a service name ("service=omira", from
// pg_service.conf) or key=value pairs; a password belongs in libpq's password
// file, never here.
struct DataServer
{
    // Unknown: the setting names no server this program knows; nothing is
    // opened then, so that a till never writes beside the others' tables.
    enum class Kind { Files, PostgreSql, Unknown };

    Kind kind = Kind::Files;
    QString connection;
    QString name; // the setting as written, for the message about an unknown one

    bool isServer() const { return kind == Kind::PostgreSql; }
    bool operator==(const DataServer &) const = default;

    // The setting's text: "SQLITE" (or nothing) for the files, "POSTGRESQL" for
    // the server, in any case; anything else is not a kind.
    static std::optional<Kind> kindNamed(const QString &name);
    // The server of the settings SERVER and SPOJENIE.
    static DataServer fromSettings(const QString &server, const QString &connection);
};
