// The preview of a statement import: one row per purchase with its check box, date, day label,
// name as stored, amount, category, 口座引落, state, file and line; the counts per state and the rows
// that could not be read below. Each choice plans the import again, so the states (a list that
// fills up, a duplicate taken after all) are always those 取り込む will meet. ルール… edits the
// household's rules. 取り込む accepts the plan, キャンセル nothing.
#pragma once

#include "statement/plan.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QTableWidget;
class QTableWidgetItem;

class ImportPreview : public QDialog {
    Q_OBJECT
public:
    // `record` is the month on screen as Save would write it; `categories` the 17 row captions.
    ImportPreview(QWidget* owner, const unsigned char* record, statement::Statements statements,
        statement::Categoriser& categoriser, const QStringList& categories);

    const statement::ImportPlan& Plan() const { return plan_; }
    // The categories the user picked for rows, as rules: each picked row's name, its category and
    // 口座引落.
    std::vector<statement::Rule> PickedRules() const;

private:
    void Replan();
    void ShowPlan();
    void Choose(QTableWidgetItem* item);
    void EditRules();

    const unsigned char* record_;
    statement::Statements statements_;
    statement::Categoriser& categoriser_;
    QStringList categories_;
    std::vector<statement::Choice> choices_;
    statement::ImportPlan plan_;
    QTableWidget* table_;
    QLabel* counts_;
    QPlainTextEdit* unread_;
};

// The rules of the settings file, and the rules kept there.
std::vector<statement::Rule> KeptImportRules();
void KeepImportRules(const std::vector<statement::Rule>& rules);
