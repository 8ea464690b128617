// What the tests of kivelo-ledger share: the built executable run as the user runs it, with its
// output and exit status. KIVELO_LEDGER_PATH names it (ledgertool/CMakeLists.txt).
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

namespace companion {

struct Run {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

inline Run RunTool(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(KIVELO_LEDGER_PATH), arguments);
    process.waitForFinished(10000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError() };
}

} // namespace companion
