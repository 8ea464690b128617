// Open and save file dialogs. Each keeps its last chosen name and offers it on its next run.
// They are the desktop's own dialogs where the platform has them (through a platform theme or the
// desktop portal), Qt's otherwise. Tests answer the dialogs through one seam instead of a modal
// window.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QWidget;

namespace toolkit {

class FileDialog {
public:
    enum class Kind { Open, Save };

    // `filter` is the classic "description|pattern" list, e.g. "家計簿ファイル(*.ZMR)|*.ZMR",
    // Shift-JIS.
    FileDialog(QWidget* owner, Kind kind, const std::string& filter);

    // Runs the dialog; true when the user chose a name, which FileName() then returns.
    bool Execute();
    // The dialog has no chosen name again and offers `name` at its next run.
    void Offer(const QString& name);
    const QString& FileName() const { return fileName_; }
    Kind DialogKind() const { return kind_; }
    // The two names the dialog keeps between its runs, taken and given back whole.
    struct Names {
        QString Chosen;
        QString Offered;
    };
    Names KeptNames() const { return { fileName_, offered_ }; }
    void KeepNames(const Names& names)
    {
        fileName_ = names.Chosen;
        offered_ = names.Offered;
    }
    const QString& QtFilter() const { return qtFilter_; }

private:
    QWidget* owner_;
    Kind kind_;
    QString qtFilter_;
    QString fileName_;
    QString offered_;
};

// An open dialog that takes several existing files at once, for the views over many ledgers.
// `qtFilter` is in Qt's form, as FileDialog::QtFilter() gives it; the dialog starts in `folder`
// unless that is empty.
class FilesDialog {
public:
    FilesDialog(QWidget* owner, const QString& qtFilter, const QString& folder);

    // Runs the dialog; true when the user chose at least one file, which FileNames() then lists.
    bool Execute();
    const QStringList& FileNames() const { return fileNames_; }

private:
    QWidget* owner_;
    QString qtFilter_;
    QString folder_;
    QStringList fileNames_;
};

// Turns "desc|pat;pat|desc|pat" into Qt's "desc (pat pat);;desc (pat)"; a description that already
// ends with its patterns in parentheses, "desc(pat)|pat", stays "desc(pat)".
QString QtFilterFromClassic(const std::string& filter);

// The answer a test gives instead of the user: the chosen name, or an empty text for a cancel.
// The answer is told which dialog runs and which name it offers.
using FileDialogAnswer = std::function<QString(FileDialog::Kind kind, const QString& offeredName)>;
void SetFileDialogAnswerForTest(FileDialogAnswer answer);

// The question before changes to the ledger would be lost: "変更を保存しますか？" with 保存,
// 保存しない and キャンセル; Escape is キャンセル. A test answers it through the seam instead.
enum class SaveChangesAnswer { Save, Discard, Cancel };
SaveChangesAnswer AskToSaveChanges(QWidget* owner);
void SetSaveChangesAnswerForTest(std::function<SaveChangesAnswer()> answer);
// Any other question of the program's: `text` with its buttons in order, `defaultButton` taken by
// Enter and `escapeButton` by Escape or the close box. Returns the caption of the button chosen. A
// test answers through the seam instead, told the question's text.
QString Ask(QWidget* owner, const QString& text, const QStringList& buttons, const QString& defaultButton,
    const QString& escapeButton);
void SetQuestionAnswerForTest(std::function<QString(const QString& text)> answer);

// The answer a test gives to a FilesDialog: the chosen names, or none for a cancel. The answer is
// told the folder the dialog starts in.
using FilesDialogAnswer = std::function<QStringList(const QString& folder)>;
void SetFilesDialogAnswerForTest(FilesDialogAnswer answer);

} // namespace toolkit
