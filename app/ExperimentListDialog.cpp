#include "app/ExperimentListDialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ParameterDialog.h"

namespace mirelock {

namespace {

QPushButton* Button(const char* text, const char* name) {
  auto* button = new QPushButton(QString::fromLatin1(text));
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

ExperimentListDialog::ExperimentListDialog(std::vector<CExperiment> experiments, UserMessages& messages,
                                           QWidget* parent)
    : QDialog(parent), editor_(std::move(experiments), messages) {
  setWindowTitle(QStringLiteral("Experiment list"));
  setObjectName(QStringLiteral("experimentListDialog"));

  auto* fixedBox = new QGroupBox(QString::fromLatin1(ExperimentTable::kFixedCaption));
  fixedText_ = new QLabel;
  fixedText_->setObjectName(QStringLiteral("fixedText"));
  fixedText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // The fixed text is cut into pieces of 75 characters; a fixed-pitch font keeps them aligned.
  fixedText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  fixedText_->setMinimumHeight(3 * fixedText_->fontMetrics().height());
  fixedText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* note = new QLabel(QString::fromLatin1(ExperimentTable::kSizeNote));
  note->setObjectName(QStringLiteral("sizeNote"));
  auto* fixedLayout = new QVBoxLayout(fixedBox);
  fixedLayout->addWidget(fixedText_);
  fixedLayout->addWidget(note);

  table_ = new QTableWidget;
  table_->setObjectName(QStringLiteral("experimentTable"));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_->setMinimumSize(560, 200);
  connect(table_, &QTableWidget::itemSelectionChanged, this, &ExperimentListDialog::SelectionChanged);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { Edit(); });

  auto* add = Button("&Add...", "addButton");
  edit_ = Button("&Edit...", "editButton");
  delete_ = Button("&Delete", "deleteButton");
  moveUp_ = Button("Move &up", "moveUpButton");
  moveDown_ = Button("Move do&wn", "moveDownButton");
  connect(add, &QPushButton::clicked, this, &ExperimentListDialog::Add);
  connect(edit_, &QPushButton::clicked, this, &ExperimentListDialog::Edit);
  connect(delete_, &QPushButton::clicked, this, &ExperimentListDialog::Delete);
  connect(moveUp_, &QPushButton::clicked, this, &ExperimentListDialog::MoveUp);
  connect(moveDown_, &QPushButton::clicked, this, &ExperimentListDialog::MoveDown);
  auto* side = new QVBoxLayout;
  for (QPushButton* button : {add, edit_, delete_, moveUp_, moveDown_}) side->addWidget(button);
  side->addStretch();

  auto* middle = new QHBoxLayout;
  middle->addWidget(table_, 1);
  middle->addLayout(side);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fixedBox);
  layout->addLayout(middle, 1);
  layout->addWidget(buttons);

  ShowTable();
}

void ExperimentListDialog::ShowTable() {
  // The table widget mirrors the editor's display model; selection changes
  // made here must not feed back into the editor.
  rebuilding_ = true;
  const ExperimentTable& model = editor_.Table();
  fixedText_->setText(
      QString::fromStdString(model.fixedText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  table_->clear();
  table_->setColumnCount(static_cast<int>(model.columns.size()));
  table_->setRowCount(static_cast<int>(model.rows.size()));
  for (int c = 0; c < static_cast<int>(model.columns.size()); ++c) {
    const auto& column = model.columns[static_cast<std::size_t>(c)];
    auto* heading = new QTableWidgetItem(QString::fromStdString(column.heading));
    heading->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setHorizontalHeaderItem(c, heading);
    table_->setColumnWidth(c, column.widthPixels);
  }
  for (int r = 0; r < static_cast<int>(model.rows.size()); ++r) {
    const auto& row = model.rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()); ++c) {
      auto* cell = new QTableWidgetItem(QString::fromStdString(row[static_cast<std::size_t>(c)]));
      cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      table_->setItem(r, c, cell);
    }
  }
  // The heading's width (11 pixels a character) is the least a column gets;
  // a wider cell such as "0.8 every 200 local minima" widens it instead of
  // being cut in the middle.
  const QFontMetrics metrics(table_->font());
  for (int c = 0; c < table_->columnCount(); ++c) {
    int widest = table_->columnWidth(c);
    for (int r = 0; r < table_->rowCount(); ++r)
      if (const QTableWidgetItem* cell = table_->item(r, c))
        widest = std::max(widest, metrics.horizontalAdvance(cell->text()) + 16);
    table_->setColumnWidth(c, widest);
  }
  if (const auto selected = editor_.Selection()) table_->selectRow(static_cast<int>(*selected));
  rebuilding_ = false;
  SelectionChanged();
}

void ExperimentListDialog::SelectionChanged() {
  if (!rebuilding_) {
    const auto rows = table_->selectionModel() ? table_->selectionModel()->selectedRows() : QModelIndexList();
    editor_.Select(rows.isEmpty() ? std::nullopt : std::optional<std::size_t>(rows.front().row()));
  }
  const auto selected = editor_.Selection();
  const std::size_t count = editor_.Experiments().size();
  edit_->setEnabled(selected.has_value());
  delete_->setEnabled(selected.has_value());
  moveUp_->setEnabled(selected && *selected > 0);
  moveDown_->setEnabled(selected && *selected + 1 < count);
}

void ExperimentListDialog::Add() {
  CExperiment experiment = editor_.StartAdd();
  ParameterDialog dialog(experiment, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (editor_.ConfirmAdd(experiment)) ShowTable();
}

void ExperimentListDialog::Edit() {
  auto experiment = editor_.StartEdit();
  if (!experiment) return;
  ParameterDialog dialog(*experiment, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (editor_.ConfirmEdit(*experiment)) ShowTable();
}

void ExperimentListDialog::Delete() {
  if (editor_.Delete()) ShowTable();
}

void ExperimentListDialog::MoveUp() {
  if (editor_.MoveUp()) ShowTable();
}

void ExperimentListDialog::MoveDown() {
  if (editor_.MoveDown()) ShowTable();
}

}  // namespace mirelock
