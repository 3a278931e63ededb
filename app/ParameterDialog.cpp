#include "app/ParameterDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/FieldValidation.h"
#include "app/TerminationDialog.h"

namespace mirelock {

namespace {

QLineEdit* NumberField(const char* name) {
  auto* field = new QLineEdit;
  field->setObjectName(QString::fromLatin1(name));
  return field;
}

constexpr double kLambdaMax = 1e12;

}  // namespace

ParameterDialog::ParameterDialog(CExperiment& experiment, QWidget* parent)
    : QDialog(parent), experiment_(experiment) {
  setWindowTitle(QStringLiteral("GLS parameter settings"));
  setObjectName(QStringLiteral("parameterDialog"));

  lambda_ = NumberField("lambda");
  aspiration_ = new QCheckBox(QStringLiteral("Aspiration"));
  aspiration_->setObjectName(QStringLiteral("aspiration"));
  randomMoves_ = NumberField("randomMoves");
  history_ = new QCheckBox(QStringLiteral("Use history"));
  history_->setObjectName(QStringLiteral("history"));
  sideways_ = NumberField("sideways");
  decayEvery_ = NumberField("decayEvery");
  decayFactor_ = NumberField("decayFactor");
  neighbours_ = NumberField("neighbours");

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Lambda coefficient"), lambda_);
  form->addRow(QString(), aspiration_);
  form->addRow(QStringLiteral("Probability of a random move (0 = none)"), randomMoves_);
  form->addRow(QString(), history_);
  form->addRow(QStringLiteral("Maximum consecutive sideways moves"), sideways_);
  form->addRow(QStringLiteral("Decay penalties every (0 = never) local minima"), decayEvery_);
  form->addRow(QStringLiteral("Penalty decay factor"), decayFactor_);
  form->addRow(QStringLiteral("TSP: fast local search over nearest neighbours (0 = full 2-opt scan)"), neighbours_);

  auto* presets = new QGroupBox(QStringLiteral("Presets"));
  auto* glssat1 = new QPushButton(QStringLiteral("GLSSAT1"));
  glssat1->setObjectName(QStringLiteral("presetGLSSAT1"));
  auto* glssat2 = new QPushButton(QStringLiteral("GLSSAT2"));
  glssat2->setObjectName(QStringLiteral("presetGLSSAT2"));
  auto* presetRow = new QHBoxLayout(presets);
  presetRow->addWidget(glssat1);
  presetRow->addWidget(glssat2);
  presetRow->addStretch();
  connect(glssat1, &QPushButton::clicked, this, [this] { ApplyPreset(false); });
  connect(glssat2, &QPushButton::clicked, this, [this] { ApplyPreset(true); });

  auto* terminationBox = new QGroupBox(QStringLiteral("Termination criteria"));
  termination_ = new QLabel;
  termination_->setObjectName(QStringLiteral("terminationSummary"));
  auto* terminationButton = new QPushButton(QStringLiteral("&Termination criteria..."));
  terminationButton->setObjectName(QStringLiteral("terminationButton"));
  auto* terminationRow = new QHBoxLayout(terminationBox);
  terminationRow->addWidget(termination_, 1);
  terminationRow->addWidget(terminationButton);
  connect(terminationButton, &QPushButton::clicked, this, &ParameterDialog::EditTermination);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &ParameterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(presets);
  layout->addWidget(terminationBox);
  layout->addWidget(buttons);

  ShowValues(experiment_, true);
  neighbours_->setText(QString::number(experiment_.m_nNeighbours));  // presets leave it alone
  ShowTermination();
}

void ParameterDialog::ShowValues(const CExperiment& values, bool includeDecayFactor) {
  lambda_->setText(fields::FormatReal(values.m_dLambda));
  aspiration_->setChecked(values.m_bAspiration);
  randomMoves_->setText(fields::FormatReal(values.m_dRandomMoveProb));
  history_->setChecked(values.m_bHistory);
  sideways_->setText(QString::number(values.m_nSideways));
  decayEvery_->setText(QString::number(values.m_nPenaltyDecayEvery));
  if (includeDecayFactor) decayFactor_->setText(fields::FormatReal(values.m_dPenaltyDecayFactor));
}

void ParameterDialog::ShowTermination() {
  termination_->setText(
      QString::fromStdString(experiment_.GetParamAt(6) + "   " + experiment_.GetParamAt(7)));
}

void ParameterDialog::ApplyPreset(bool second) {
  // A preset fills the fields only; the experiment changes when the dialog is confirmed.
  // GLSSAT1 leaves the decay factor field as the user has it.
  CExperiment preset = experiment_;
  if (second)
    preset.ApplyPresetGLSSAT2();
  else
    preset.ApplyPresetGLSSAT1();
  ShowValues(preset, second);
}

void ParameterDialog::EditTermination() {
  TerminationDialog dialog(experiment_, this);
  if (dialog.exec() == QDialog::Accepted) ShowTermination();
}

void ParameterDialog::accept() {
  const auto lambda = fields::ReadReal(this, lambda_, 0.0, kLambdaMax);
  if (!lambda) return;
  const auto randomMoves = fields::ReadReal(this, randomMoves_, 0.0, 1.0);
  if (!randomMoves) return;
  const auto sideways = fields::ReadUnsigned(this, sideways_);
  if (!sideways) return;
  const auto decayEvery = fields::ReadUnsigned(this, decayEvery_);
  if (!decayEvery) return;
  const auto decayFactor = fields::ReadReal(this, decayFactor_, 0.0, 1.0);
  if (!decayFactor) return;
  const auto neighbours = fields::ReadUnsigned(this, neighbours_);
  if (!neighbours) return;

  experiment_.m_dLambda = *lambda;
  experiment_.m_bAspiration = aspiration_->isChecked();
  experiment_.m_dRandomMoveProb = *randomMoves;
  experiment_.m_bHistory = history_->isChecked();
  experiment_.m_nSideways = *sideways;
  experiment_.m_nPenaltyDecayEvery = *decayEvery;
  experiment_.m_dPenaltyDecayFactor = *decayFactor;
  experiment_.m_nNeighbours = *neighbours;
  QDialog::accept();
}

}  // namespace mirelock
