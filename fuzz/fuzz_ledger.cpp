// Feeds arbitrary bytes, as a ledger file, to Open of a real main window: the record reader, the
// distribution into the tables and controls, and the totals after Open. Whatever the bytes, Open
// must end in at most one error box with one of the runtime's texts, and when a whole record was
// loaded, Save must write that record back with each slot's length clamped to its capacity and
// the bytes after each text zero.
#include "app/form1.h"
#include "ledger/record.h"
#include "ledger/tables.h"
#include "toolkit/controls.h"
#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QToolButton>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

TForm1* form = nullptr;
std::string folder;
QString inputName;
QString outputName;
std::vector<std::string> errors;

void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz_ledger: %s\n", what);
    for (const std::string& error : errors)
        std::fprintf(stderr, "  error box: %s\n", toolkit::FromSjis(error).toUtf8().constData());
    std::abort();
}

// The folder with all that the saves leave beside the ledgers: their earlier versions, the lock.
void RemoveFolder() { QDir(QFile::decodeName(QByteArray::fromStdString(folder))).removeRecursively(); }

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The texts the totals after Open may fail with: a conversion or an overflow.
bool IsTotalsFailure(const std::string& text)
{
    static const std::string notInteger = toolkit::Sjis("' は整数ではありません.");
    static const std::string overflow = toolkit::Sjis("整数オーバーフロー.");
    return (text.size() > 0 && text[0] == '\'' && EndsWith(text, notInteger)) || text == overflow;
}

// The record as Save writes it after loading `record`: each slot's length clamped, the bytes
// after the text zero, and the slots that are not loaded (expense slots 20 to 30, on-hand slot 5)
// empty.
std::vector<unsigned char> AsSaved(const unsigned char* record)
{
    std::vector<unsigned char> saved(RecordSize, 0);
    for (const RecordArea& area : RecordAreas)
        for (int column = 0; column < area.Columns; ++column)
            for (int row = 0; row < area.Rows; ++row) {
                bool loaded = !(area.Offset == ExpenseArea.Offset && row >= 20)
                    && !(area.Offset == OnHandArea.Offset && row >= 5);
                if (!loaded)
                    continue;
                std::string_view text = SlotText(record, area, column, row);
                size_t offset = area.SlotOffset(column, row);
                saved[offset] = static_cast<unsigned char>(text.size());
                std::memcpy(saved.data() + offset + 1, text.data(), text.size());
            }
    return saved;
}

std::vector<unsigned char> ReadBack(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        Fail("the saved file cannot be read");
    QByteArray bytes = file.readAll();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = { (*argv)[0], nullptr };
    (void)argc;
    new QApplication(qtArgc, qtArgv);
    toolkit::RegisterFontSubstitutes();
    toolkit::SetApplicationTitle(toolkit::Sjis("家計簿1.5"));

    // Files on a memory file system when there is one: Save flushes every record to disk.
    std::string base
        = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    std::string pattern = base + "/fuzz_ledger-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        Fail("no folder for the files");
    folder = pattern;
    inputName = QFile::decodeName(QByteArray::fromStdString(folder + "/input.ZMR"));
    outputName = QFile::decodeName(QByteArray::fromStdString(folder + "/output.ZMR"));
    std::atexit(RemoveFolder);

    toolkit::SetErrorSinkForTest([](const std::string& text) { errors.push_back(text); });
    toolkit::SetFileDialogAnswerForTest([](toolkit::FileDialog::Kind kind, const QString&) {
        return kind == toolkit::FileDialog::Kind::Open ? inputName : outputName;
    });
    form = new TForm1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        QFile input(inputName);
        if (!input.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || input.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            Fail("the input file cannot be written");
    }
    errors.clear();
    // A list open on screen as its double click left it: nothing typed into it that the Open would
    // confirm first.
    DetailLists[3][3][1][18].Assign("open list");
    for (int col = 0; col < 2; ++col)
        for (int row = 0; row < 19; ++row)
            form->StringGrid5->SetCell(col, row, DetailLists[3][3][col][row].View());
    form->OpenList = GridCell { 3, 3 };
    form->SpeedButton1->click();

    size_t wholeRecords = size / RecordSize;
    bool endsShort = size % RecordSize != 0;
    if (errors.size() > 1)
        Fail("Open showed more than one error box");
    if (endsShort) {
        if (errors.size() != 1 || errors[0] != toolkit::Sjis("ﾌｧｲﾙの末尾以降を読み込みました."))
            Fail("a file that ends inside a record did not fail with the short read");
    } else if (!errors.empty() && !IsTotalsFailure(errors[0])) {
        Fail("a file of whole records failed with an unexpected text");
    }
    if (wholeRecords == 0) {
        if (!form->OpenList || form->StringGrid5->Cell(1, 18) != "open list")
            Fail("Open without a record closed the detail list");
        return 0;
    }
    if (form->OpenList || !form->StringGrid5->Cell(1, 18).empty())
        Fail("a loaded record left the detail list open");

    errors.clear();
    form->SaveAs1->trigger();
    if (!errors.empty())
        Fail("Save As failed");
    if (ReadBack(outputName) != AsSaved(data + (wholeRecords - 1) * RecordSize))
        Fail("the saved record differs from the record that was loaded");
    return 0;
}
