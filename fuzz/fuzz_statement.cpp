// Feeds arbitrary bytes, as a statement file, to the import: the reader, the plan into a December
// month and the placing with each list confirmed. Whatever the bytes, nothing reads outside its
// buffers, every amount read is whole yen within the cells' range, every name stored fits its 12
// bytes in whole Shift-JIS characters, every row to be imported has a line of its list, and
// placing ends either done or with one of the runtime's failures.
#include "ledger/record.h"
#include "statement/plan.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> December()
{
    std::vector<unsigned char> record(RecordSize, 0);
    for (int day = 1; day <= 31; ++day)
        PutSlot(record.data(), DailyArea, day + 1, 0, toolkit::Sjis("12月" + std::to_string(day) + "日"));
    PutSlot(record.data(), OnHandArea, 1, 2, "100000");
    return record;
}

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<unsigned char> month = December();
    statement::Statement read = statement::ReadStatement("s.csv", std::string_view(reinterpret_cast<const char*>(data), size));
    for (const statement::Purchase& purchase : read.Purchases)
        Check(purchase.Amount >= 0 && purchase.Amount <= 2147483647);
    statement::Categoriser categoriser;
    categoriser.SetRules({ { "a", 3, true } });
    statement::ImportPlan plan = statement::PlanImport(month.data(), read.Purchases, categoriser);
    for (const statement::PlannedRow& row : plan.Rows) {
        Check(row.Name.size() <= 12 && toolkit::IsValidSjis(row.Name));
        Check(row.Now != statement::State::New || (row.ListLine >= 1 && row.ListLine <= 17));
    }
    std::vector<unsigned char> record = month;
    statement::PlaceInRecord(record.data(), plan);  // a failure is a message, never a crash
    return 0;
}
