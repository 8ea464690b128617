#include "app/importpreview.h"

#include "ledger/record.h"
#include "statement/names.h"
#include "toolkit/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { Include, DateColumn, DayLabel, Name, Amount, Category, Bank, StateColumn, Where, Columns };

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QString DateText(const statement::Date& date)
{
    return QStringLiteral("%1/%2/%3").arg(date.Year).arg(date.Month, 2, 10, QLatin1Char('0')).arg(date.Day, 2, 10, QLatin1Char('0'));
}

QSettings Settings() { return QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()); }

// The category of a row, chosen from the 17 in a list; the row keeps the category's number.
class CategoryChoice : public QStyledItemDelegate {
public:
    CategoryChoice(const QStringList& categories, QObject* parent)
        : QStyledItemDelegate(parent)
        , categories_(categories)
    {
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* choice = new QComboBox(parent);
        choice->addItems(categories_);
        connect(choice, &QComboBox::activated, this, [this, choice] {
            emit const_cast<CategoryChoice*>(this)->commitData(choice);
            emit const_cast<CategoryChoice*>(this)->closeEditor(choice);
        });
        return choice;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<QComboBox*>(editor)->setCurrentIndex(index.data(Qt::UserRole).toInt() - 1);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        model->setData(index, static_cast<QComboBox*>(editor)->currentIndex() + 1, Qt::UserRole);
    }

private:
    QStringList categories_;
};

const QString RulesSetting = QStringLiteral("import/") + QLatin1String(statement::RulesKey);

// The rules, each a line of the table: its text, its category and 口座引落.
class RulesDialog : public QDialog {
public:
    RulesDialog(QWidget* owner, const std::vector<statement::Rule>& rules, const QStringList& categories)
        : QDialog(owner)
        , categories_(categories)
    {
        setObjectName(QStringLiteral("ImportRules"));
        setWindowTitle(QStringLiteral("取り込みのルール"));
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("摘要にこの文字を含む明細を、この費目に入れます。"), this));
        table_ = new QTableWidget(0, 3, this);
        table_->setObjectName(QStringLiteral("Rules"));
        table_->setHorizontalHeaderLabels({ QStringLiteral("摘要に含む文字"), QStringLiteral("費目"), QStringLiteral("口座引落") });
        table_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
        layout->addWidget(table_);
        for (const statement::Rule& rule : rules)
            AddRow(rule);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        QPushButton* add = buttons->addButton(QStringLiteral("追加"), QDialogButtonBox::ActionRole);
        QPushButton* remove = buttons->addButton(QStringLiteral("削除"), QDialogButtonBox::ActionRole);
        connect(add, &QPushButton::clicked, this, [this] { AddRow({}); });
        connect(remove, &QPushButton::clicked, this, [this] { table_->removeRow(table_->currentRow()); });
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        layout->addWidget(buttons);
        resize(520, 360);
    }

    std::vector<statement::Rule> Rules() const
    {
        std::vector<statement::Rule> rules;
        for (int row = 0; row < table_->rowCount(); ++row) {
            QString text = table_->item(row, 0) ? table_->item(row, 0)->text().trimmed() : QString();
            auto* category = static_cast<QComboBox*>(table_->cellWidget(row, 1));
            auto* bank = static_cast<QCheckBox*>(table_->cellWidget(row, 2));
            if (!text.isEmpty())
                rules.push_back({ text.toStdString(), category->currentIndex() + 1, bank->isChecked() });
        }
        return rules;
    }

private:
    void AddRow(const statement::Rule& rule)
    {
        int row = table_->rowCount();
        table_->insertRow(row);
        table_->setItem(row, 0, new QTableWidgetItem(Utf8(rule.Text)));
        auto* category = new QComboBox(table_);
        category->addItems(categories_);
        category->setCurrentIndex(rule.Category - 1);
        table_->setCellWidget(row, 1, category);
        auto* bank = new QCheckBox(table_);
        bank->setChecked(rule.Bank);
        table_->setCellWidget(row, 2, bank);
    }

    QStringList categories_;
    QTableWidget* table_;
};

} // namespace

std::vector<statement::Rule> KeptImportRules()
{
    return statement::DecodeRules(Settings().value(RulesSetting).toString().toStdString());
}

void KeepImportRules(const std::vector<statement::Rule>& rules)
{
    Settings().setValue(RulesSetting, QString::fromStdString(statement::EncodeRules(rules)));
}

ImportPreview::ImportPreview(QWidget* owner, const unsigned char* record, statement::Statements statements,
    statement::Categoriser& categoriser, const QStringList& categories)
    : QDialog(owner)
    , record_(record)
    , statements_(std::move(statements))
    , categoriser_(categoriser)
    , categories_(categories)
    , choices_(statements_.Purchases.size())
{
    setObjectName(QStringLiteral("ImportPreview"));
    setWindowTitle(QStringLiteral("明細の取り込み"));
    auto* layout = new QVBoxLayout(this);
    table_ = new QTableWidget(0, Columns, this);
    table_->setObjectName(QStringLiteral("Purchases"));
    table_->setHorizontalHeaderLabels({ QStringLiteral("取込"), QStringLiteral("日付"), QStringLiteral("日"),
        QStringLiteral("名前"), QStringLiteral("金額"), QStringLiteral("費目"), QStringLiteral("口座引落"),
        QStringLiteral("状態"), QStringLiteral("ファイルと行") });
    table_->verticalHeader()->hide();
    table_->setWordWrap(false);
    table_->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    table_->setItemDelegateForColumn(Category, new CategoryChoice(categories_, table_));
    table_->horizontalHeader()->setStretchLastSection(true);
    for (auto [column, width] : { std::pair(Include, 40), std::pair(DateColumn, 90), std::pair(DayLabel, 70),
             std::pair(Name, 130), std::pair(Amount, 80), std::pair(Category, 110), std::pair(Bank, 64),
             std::pair(StateColumn, 190) })
        table_->setColumnWidth(column, width);
    connect(table_, &QTableWidget::itemChanged, this, &ImportPreview::Choose);
    layout->addWidget(table_);
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("Counts"));
    counts_->setWordWrap(true);
    layout->addWidget(counts_);
    unread_ = new QPlainTextEdit(this);
    unread_->setObjectName(QStringLiteral("Unread"));
    unread_->setReadOnly(true);
    unread_->setMaximumHeight(90);
    layout->addWidget(unread_);
    QStringList unread;
    for (const auto& [file, reason] : statements_.Failures)
        unread << QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(file.c_str()), Utf8(reason));
    for (const statement::UnreadRow& row : statements_.Unread)
        unread << QStringLiteral("%1 %2行目: %3（%4）").arg(QString::fromLocal8Bit(row.File.c_str())).arg(row.Line).arg(Utf8(row.Reason), Utf8(row.Text));
    unread_->setPlainText(unread.isEmpty() ? QString() : QStringLiteral("読めなかったもの（取り込みません）:\n") + unread.join('\n'));
    unread_->setVisible(!unread.isEmpty());
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* import = buttons->addButton(QStringLiteral("取り込む"), QDialogButtonBox::AcceptRole);
    import->setObjectName(QStringLiteral("Import"));
    import->setDefault(true);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    QPushButton* rules = buttons->addButton(QStringLiteral("ルール…"), QDialogButtonBox::ActionRole);
    rules->setObjectName(QStringLiteral("Rules"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(rules, &QPushButton::clicked, this, &ImportPreview::EditRules);
    layout->addWidget(buttons);
    resize(900, 520);
    Replan();
}

void ImportPreview::Replan()
{
    plan_ = statement::PlanImport(record_, statements_.Purchases, categoriser_, choices_);
    ShowPlan();
}

void ImportPreview::ShowPlan()
{
    QSignalBlocker quiet(table_);
    table_->setRowCount(int(plan_.Rows.size()));
    for (int i = 0; i < int(plan_.Rows.size()); ++i) {
        const statement::PlannedRow& row = plan_.Rows[size_t(i)];
        bool spending = row.Category != 0;
        auto item = [&](int column) {
            QTableWidgetItem* cell = table_->item(i, column);
            if (!cell)
                table_->setItem(i, column, cell = new QTableWidgetItem);
            return cell;
        };
        auto check = [&](int column, bool can, bool on) {
            QTableWidgetItem* cell = item(column);
            cell->setFlags(can ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
            cell->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        };
        check(Include, spending && row.Column != 0, row.Now == statement::State::New);
        item(DateColumn)->setText(DateText(row.From.When));
        item(DayLabel)->setText(row.Column ? toolkit::FromSjis(SlotText(record_, DailyArea, row.Column, 0)) : QStringLiteral("－"));
        item(Name)->setText(toolkit::FromSjis(row.Name));
        item(Amount)->setText(QString::number(row.From.Amount));
        item(Amount)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QTableWidgetItem* category = item(Category);
        category->setText(spending ? categories_[row.Category - 1] : QString());
        category->setData(Qt::UserRole, row.Category);
        category->setFlags(spending ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags);
        check(Bank, spending, row.Bank);
        item(StateColumn)->setText(Utf8(statement::StateLabel(row.Now))
            + (row.Rule == statement::Source::None && spending && row.Column ? QStringLiteral("（未分類）") : QString()));
        QString file = QString::fromLocal8Bit(row.From.File.c_str());
        item(Where)->setText(QStringLiteral("%1:%2").arg(QFileInfo(file).fileName()).arg(row.From.Line));
        item(Where)->setToolTip(file);
    }
    QStringList counts;
    for (statement::State state : { statement::State::New, statement::State::Duplicate, statement::State::Unchecked,
             statement::State::Outside, statement::State::Full, statement::State::Deposit, statement::State::Refund })
        if (int count = plan_.Count(state))
            counts << QStringLiteral("%1 %2件").arg(Utf8(statement::StateLabel(state))).arg(count);
    int leftOut = int(plan_.Rows.size()) - plan_.Count(statement::State::New) + int(statements_.Unread.size());
    counts_->setText(counts.join(QStringLiteral("　"))
        + (leftOut ? QStringLiteral("　（取り込まないもの %1件）").arg(leftOut) : QString()));
}

// A check box, a category or 口座引落 changed by the user: the import is planned again with it.
void ImportPreview::Choose(QTableWidgetItem* item)
{
    statement::Choice& choice = choices_[size_t(item->row())];
    switch (item->column()) {
    case Include:
        choice.Include = item->checkState() == Qt::Checked;
        break;
    case Category:
        choice.Category = item->data(Qt::UserRole).toInt();
        break;
    case Bank:
        choice.Bank = item->checkState() == Qt::Checked;
        break;
    default:
        return;
    }
    Replan();
}

void ImportPreview::EditRules()
{
    RulesDialog dialog(this, categoriser_.Rules(), categories_);
    if (dialog.exec() != QDialog::Accepted)
        return;
    KeepImportRules(dialog.Rules());
    categoriser_.SetRules(dialog.Rules());
    Replan();
}

std::vector<statement::Rule> ImportPreview::PickedRules() const
{
    std::vector<statement::Rule> rules;
    for (size_t i = 0; i < plan_.Rows.size(); ++i) {
        const statement::PlannedRow& row = plan_.Rows[i];
        if (!choices_[i].Category || row.Category == 0)
            continue;
        std::string name = row.Bank ? row.Name.substr(statement::BankMark().size()) : row.Name;
        rules.push_back({ toolkit::Utf8FromSjis(name), row.Category, row.Bank });
    }
    return rules;
}
