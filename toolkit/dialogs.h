// Open and save file dialogs. Each keeps its last chosen name and offers it on its next run.
// Tests answer the dialogs through one seam instead of a modal window.
#pragma once

#include <QString>
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
    const QString& QtFilter() const { return qtFilter_; }

private:
    QWidget* owner_;
    Kind kind_;
    QString qtFilter_;
    QString fileName_;
    QString offered_;
};

// Turns "desc|pat;pat|desc|pat" into Qt's "desc (pat pat);;desc (pat)".
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

} // namespace toolkit
