#include "app/OrderingSeedsDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/FieldValidation.h"
#include "experiments/CMirelockDoc.h"

namespace mirelock {

OrderingSeedsDialog::OrderingSeedsDialog(CMirelockDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(QStringLiteral("Problem ordering and random number seeds"));
  setObjectName(QStringLiteral("orderingSeedsDialog"));

  auto* ordering = new QGroupBox(QStringLiteral("Solve the problems in"));
  natural_ = new QRadioButton(QStringLiteral("a natural sequence"));
  natural_->setObjectName(QStringLiteral("naturalOrder"));
  random_ = new QRadioButton(QStringLiteral("a random sequence"));
  random_->setObjectName(QStringLiteral("randomOrder"));
  auto* orderingLayout = new QVBoxLayout(ordering);
  orderingLayout->addWidget(natural_);
  orderingLayout->addWidget(random_);
  (doc.m_nProblemOrdering == 1 ? random_ : natural_)->setChecked(true);

  auto* seeds = new QGroupBox(QStringLiteral("Seed the random numbers"));
  seedTime_ = new QRadioButton(QStringLiteral("using time() x run number"));
  seedTime_->setObjectName(QStringLiteral("seedTime"));
  seedFixed_ = new QRadioButton(QStringLiteral("using a fixed seed:"));
  seedFixed_->setObjectName(QStringLiteral("seedFixed"));
  seedNone_ = new QRadioButton(QStringLiteral("do not seed "));
  seedNone_->setObjectName(QStringLiteral("seedNone"));
  fixedSeed_ = new QLineEdit(QString::number(doc.m_nFixedSeed.load()));
  fixedSeed_->setObjectName(QStringLiteral("fixedSeed"));
  auto* group = new QButtonGroup(this);
  for (QRadioButton* button : {seedTime_, seedFixed_, seedNone_}) group->addButton(button);
  switch (doc.m_nSeedMode.load()) {
    case kSeedFromTime:
      seedTime_->setChecked(true);
      break;
    case kSeedNone:
      seedNone_->setChecked(true);
      break;
    default:
      seedFixed_->setChecked(true);
  }
  auto* seedLayout = new QGridLayout(seeds);
  seedLayout->addWidget(seedTime_, 0, 0);
  seedLayout->addWidget(seedFixed_, 1, 0);
  seedLayout->addWidget(fixedSeed_, 1, 1);
  seedLayout->addWidget(seedNone_, 2, 0);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &OrderingSeedsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ordering);
  layout->addWidget(seeds);
  layout->addWidget(buttons);
}

void OrderingSeedsDialog::accept() {
  std::optional<std::uint32_t> seed;
  // The fixed seed is read, and stored, only when it is the seed in use.
  if (seedFixed_->isChecked()) {
    seed = fields::ReadUnsigned(this, fixedSeed_);
    if (!seed) return;
  }
  doc_.m_nProblemOrdering = random_->isChecked() ? 1u : 0u;
  doc_.m_nSeedMode = seedTime_->isChecked() ? kSeedFromTime : seedNone_->isChecked() ? kSeedNone : kSeedFixed;
  if (seed) doc_.m_nFixedSeed = *seed;
  QDialog::accept();
}

}  // namespace mirelock
