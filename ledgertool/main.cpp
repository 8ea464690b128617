// kivelo-ledger: the command-line companion of the account book. The program itself reads no
// command line; this one reads, checks and exports its ledger files.
#include "ledgertool/commands.h"

#include <cstdio>

int main(int argc, char** argv)
{
    CommandOutput output;
    int status = RunLedgerTool(std::vector<std::string>(argv + 1, argv + argc), output);
    std::fwrite(output.Out.data(), 1, output.Out.size(), stdout);
    std::fwrite(output.Err.data(), 1, output.Err.size(), stderr);
    if (std::fflush(stdout) != 0) {
        std::perror("kivelo-ledger: standard output");
        return ExitFailure;
    }
    return status;
}
