#include "ledger/tables.h"

#include "toolkit/text.h"

#include <algorithm>
#include <cstring>

CellText IncomeBudget[2][31];
CellText ExpenseBudget[2][20];
CellText DailyTable[33][20];
CellText DetailLists[33][20][2][19];

int32_t IncomeTotal;
int32_t ProjectedSpending;
int32_t DaySpend[33];
std::string PeriodStartText;

void CellText::Assign(std::string_view text)
{
    Length = static_cast<unsigned char>(std::min<size_t>(text.size(), Capacity));
    if (Length > 0)  // an empty view may have no data at all
        std::memcpy(Bytes, text.data(), Length);
}

namespace {

// The default detail header of each category row; row 17 has no caption in the daily table,
// yet its list is headed "雑　費", and row 16's list is headed "贈　答".
constexpr const char* DetailHeaders[18] = { nullptr, "食　費", "水道･光熱費", "交通･通信費", "車関連費", "被服費",
    "養育･教育費", "医療･衛生費", "年 金", "　父", "保険料", "税　金", "日用品", "住居･備品", "交際費", "教養･娯楽費",
    "贈　答", "雑　費" };

constexpr const char* SampleItems[6][4] = {
    {},
    { "お　米", "副　菜" },
    { "水　道", "電　気", "ガ　ス", "灯　油" },
    { "車燃料", "電　話", "ｲﾝﾀｰﾈｯﾄ" },
    { "保　険", "税　金", "車　検" },
    { "洋　服", "　靴", "下　着" },
};

} // namespace

void InitDefaultDetailLists()
{
    CellText header[18];
    for (int row = 1; row <= 17; ++row)
        header[row].Assign(toolkit::Sjis(DetailHeaders[row]));
    CellText amountHeader;
    amountHeader.Assign(toolkit::Sjis("金　額"));
    CellText samples[6][4] = {};
    for (int row = 1; row <= 5; ++row)
        for (int item = 0; item < 4; ++item)
            if (SampleItems[row][item])
                samples[row][item].Assign(toolkit::Sjis(SampleItems[row][item]));

    for (int column = 2; column <= 32; ++column)
        for (int row = 1; row <= 17; ++row) {
            CellText(&list)[2][19] = DetailLists[column][row];
            list[0][0] = header[row];
            list[1][0] = amountHeader;
            if (row <= 5)
                for (int item = 0; item < 4; ++item)
                    if (SampleItems[row][item])
                        list[0][item + 1] = samples[row][item];
        }
}

void ResetTables()
{
    std::memset(IncomeBudget, 0, sizeof IncomeBudget);
    std::memset(ExpenseBudget, 0, sizeof ExpenseBudget);
    std::memset(DailyTable, 0, sizeof DailyTable);
    std::memset(DetailLists, 0, sizeof DetailLists);
    IncomeTotal = 0;
    ProjectedSpending = 0;
    std::fill(std::begin(DaySpend), std::end(DaySpend), 0);
    PeriodStartText.clear();
}
