// Start-up reads the configuration and the message file before any window is
// shown; these measure how that scales with file size.
#include "base/IniFile.h"
#include "lang/MessageTable.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray settingsFile(int keys)
{
    QByteArray content = "[CONFIG]\r\n";
    for (int i = 0; i < keys; ++i)
        content += "KEY_" + QByteArray::number(i) + "=value " + QByteArray::number(i) + "\r\n";
    return content + "[PLATBA]\r\nPLAT_1=Hotovos\x9D:\r\n";
}

void readKeyAtTheEnd(benchmark::State &state)
{
    IniFile ini(QString{});
    ini.setBytes(settingsFile(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ini.readString(QStringLiteral("platba"), QStringLiteral("plat_1"), QString()));
}
BENCHMARK(readKeyAtTheEnd)->Arg(50)->Arg(500);

void parseMessageFile(benchmark::State &state)
{
    QByteArray content;
    for (int i = 0; i < MessageTable::SlotCount; ++i)
        content +=
            "[MSG_" + QByteArray::number(i) + "]\r\nSpr\xE1va \xE8\xEDslo " + QByteArray::number(i) + "\r\n";
    MessageTable table;
    for (auto _ : state)
        table.parse(content);
}
BENCHMARK(parseMessageFile);

} // namespace

BENCHMARK_MAIN();
