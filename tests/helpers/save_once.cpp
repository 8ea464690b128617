// Saves one ledger record, every byte of it the given character, as the program's Save does, the
// earlier version kept: for the tests that stop a save at each of its system calls.
// Usage: save_once FILE CHARACTER
#include "ledger/ledgerfile.h"
#include "ledger/record.h"

#include <cstring>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::memset(LedgerRecord, argv[2][0], RecordSize);
    try {
        WriteLedgerFile(argv[1]);
    } catch (const std::exception&) {
        return 1;
    }
    return 0;
}
