#include "toolkit/dialogs.h"

#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace toolkit {

namespace {
FileDialogAnswer testAnswer;
std::function<SaveChangesAnswer()> saveChangesAnswer;
FilesDialogAnswer testFilesAnswer;
}

QString QtFilterFromClassic(const std::string& filter)
{
    QStringList parts = FromSjis(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt takes the patterns from the parentheses that end a filter, and shows the filter as it
        // is: a description that already ends with them, as "家計簿ファイル(*.ZMR)" does, is enough.
        const QString listed = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters << (parts[i].endsWith(listed) ? parts[i] : parts[i] + QLatin1Char(' ') + listed);
    }
    return filters.join(QStringLiteral(";;"));
}

FileDialog::FileDialog(QWidget* owner, Kind kind, const std::string& filter)
    : owner_(owner)
    , kind_(kind)
    , qtFilter_(QtFilterFromClassic(filter))
{
}

bool FileDialog::Execute()
{
    QString chosen;
    const QString& offered = offered_.isEmpty() ? fileName_ : offered_;
    if (testAnswer) {
        chosen = testAnswer(kind_, offered);
    } else {
        QFileDialog dialog(owner_);
        dialog.setObjectName(kind_ == Kind::Open ? QStringLiteral("OpenDialog1") : QStringLiteral("SaveDialog1"));
        dialog.setAcceptMode(kind_ == Kind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        // Neither dialog demands that the file exist nor asks before replacing one.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilter(qtFilter_);
        if (!offered.isEmpty())
            dialog.selectFile(offered);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().first();
    }
    if (chosen.isEmpty())
        return false;
    fileName_ = chosen;
    offered_.clear();
    return true;
}

void FileDialog::Offer(const QString& name)
{
    fileName_.clear();
    offered_ = name;
}

void SetFileDialogAnswerForTest(FileDialogAnswer answer) { testAnswer = std::move(answer); }

SaveChangesAnswer AskToSaveChanges(QWidget* owner)
{
    if (saveChangesAnswer)
        return saveChangesAnswer();
    QMessageBox box(QMessageBox::Question, FromSjis(ApplicationTitle()), QStringLiteral("変更を保存しますか？"),
        QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("SaveChangesBox"));
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("保存しない"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveChangesAnswer::Save;
    if (box.clickedButton() == discard)
        return SaveChangesAnswer::Discard;
    return SaveChangesAnswer::Cancel;
}

void SetSaveChangesAnswerForTest(std::function<SaveChangesAnswer()> answer) { saveChangesAnswer = std::move(answer); }

namespace {
std::function<QString(const QString&)> questionAnswer;
}

QString Ask(QWidget* owner, const QString& text, const QStringList& buttons, const QString& defaultButton,
    const QString& escapeButton)
{
    if (questionAnswer)
        return questionAnswer(text);
    QMessageBox box(QMessageBox::Question, FromSjis(ApplicationTitle()), text, QMessageBox::NoButton, owner);
    box.setObjectName(QStringLiteral("QuestionBox"));
    std::vector<QPushButton*> added;
    for (const QString& caption : buttons) {
        QPushButton* button = box.addButton(caption, QMessageBox::ActionRole);
        if (caption == defaultButton)
            box.setDefaultButton(button);
        if (caption == escapeButton)
            box.setEscapeButton(button);
        added.push_back(button);
    }
    box.exec();
    for (size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i])
            return buttons[int(i)];
    return escapeButton;
}

void SetQuestionAnswerForTest(std::function<QString(const QString&)> answer) { questionAnswer = std::move(answer); }
FilesDialog::FilesDialog(QWidget* owner, const QString& qtFilter, const QString& folder)
    : owner_(owner)
    , qtFilter_(qtFilter)
    , folder_(folder)
{
}

bool FilesDialog::Execute()
{
    if (testFilesAnswer) {
        fileNames_ = testFilesAnswer(folder_);
    } else {
        QFileDialog dialog(owner_);
        dialog.setObjectName(QStringLiteral("FilesDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilter(qtFilter_);
        if (!folder_.isEmpty())
            dialog.setDirectory(folder_);
        fileNames_ = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
    }
    return !fileNames_.isEmpty();
}

void SetFilesDialogAnswerForTest(FilesDialogAnswer answer) { testFilesAnswer = std::move(answer); }

} // namespace toolkit
