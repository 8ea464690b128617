#include "app/carrydialog.h"

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

bool ChoosePaymentsToCarry(QWidget* owner, std::vector<BankPayment>& payments)
{
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("CarryDialog"));
    dialog.setWindowTitle(FromSjis(toolkit::ApplicationTitle()));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("翌月の明細に入れる自動引き落とし"), &dialog));

    auto* table = new QTableWidget(int(payments.size()), 4, &dialog);
    table->setObjectName(QStringLiteral("Payments"));
    table->setHorizontalHeaderLabels({ QStringLiteral("名前"), QStringLiteral("金額"), QStringLiteral("費目"),
        QStringLiteral("日") });
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int row = 0; row < int(payments.size()); ++row) {
        const BankPayment& payment = payments[row];
        const std::string* texts[] = { &payment.Name, &payment.Amount, &payment.Category, &payment.Day };
        for (int col = 0; col < 4; ++col) {
            auto* item = new QTableWidgetItem(FromSjis(*texts[col]));
            item->setFlags(col == 0 ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsEnabled);
            if (col == 0)
                item->setCheckState(Qt::Checked);
            table->setItem(row, col, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    ok->setFocus();
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(420, 160 + 24 * std::min<int>(int(payments.size()), 12));

    if (dialog.exec() != QDialog::Accepted)
        return false;
    std::vector<BankPayment> checked;
    for (int row = 0; row < int(payments.size()); ++row)
        if (table->item(row, 0)->checkState() == Qt::Checked)
            checked.push_back(payments[row]);
    payments = std::move(checked);
    return true;
}
