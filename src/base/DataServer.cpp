#include "base/DataServer.h"

using namespace Qt::StringLiterals;

std::optional<DataServer::Kind> DataServer::kindNamed(const QString &name)
{
    const QString text = name.trimmed();
    if (text.isEmpty() || text.compare(u"SQLITE"_s, Qt::CaseInsensitive) == 0)
        return Kind::Files;
    if (text.compare(u"POSTGRESQL"_s, Qt::CaseInsensitive) == 0)
        return Kind::PostgreSql;
    return std::nullopt;
}

DataServer DataServer::fromSettings(const QString &server, const QString &connection)
{
    return {kindNamed(server).value_or(Kind::Unknown), connection.trimmed(), server.trimmed()};
}
