#include "app/versionsdialog.h"

#include "toolkit/failure.h"
#include "toolkit/text.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using toolkit::FromSjis;

std::optional<LedgerVersion> ChooseVersion(QWidget* owner, const std::vector<VersionSummary>& versions)
{
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("VersionsDialog"));
    dialog.setWindowTitle(FromSjis(toolkit::ApplicationTitle()));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(versions.empty() ? QStringLiteral("以前の版はありません")
                                                  : QStringLiteral("以前の版（新しい順）"),
        &dialog));

    auto* table = new QTableWidget(int(versions.size()), 3, &dialog);
    table->setObjectName(QStringLiteral("Versions"));
    table->setHorizontalHeaderLabels({ QStringLiteral("保存した日時"), QStringLiteral("支出計"), QStringLiteral("計算残高") });
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int row = 0; row < int(versions.size()); ++row) {
        const VersionSummary& version = versions[row];
        QString texts[] = { QString::fromStdString(VersionTimeText(version.Version.Saved)), FromSjis(version.Spending),
            FromSjis(version.Balance) };
        for (int col = 0; col < 3; ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            item->setTextAlignment(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, col, item);
        }
    }
    if (!versions.empty())
        table->selectRow(0);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* open = buttons->addButton(QStringLiteral("開く"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    open->setEnabled(!versions.empty());
    open->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(420, 160 + 24 * std::min<int>(int(versions.size()), 12));

    if (dialog.exec() != QDialog::Accepted || table->currentRow() < 0)
        return std::nullopt;
    return versions[table->currentRow()].Version;
}
