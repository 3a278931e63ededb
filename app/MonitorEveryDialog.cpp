#include "app/MonitorEveryDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/FieldValidation.h"

namespace mirelock {

MonitorEveryDialog::MonitorEveryDialog(std::uint32_t every, QWidget* parent)
    : QDialog(parent), every_(every) {
  setWindowTitle(QStringLiteral("Output stats every R repairs"));
  setObjectName(QStringLiteral("monitorEveryDialog"));
  field_ = new QLineEdit(QString::number(every));
  field_->setObjectName(QStringLiteral("every"));

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Output monitor stats every ")));
  row->addWidget(field_);
  row->addWidget(new QLabel(QStringLiteral("repairs")));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &MonitorEveryDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

void MonitorEveryDialog::accept() {
  const auto every = fields::ReadUnsigned(this, field_, 1, UINT32_MAX);
  if (!every) return;
  every_ = *every;
  QDialog::accept();
}

}  // namespace mirelock
