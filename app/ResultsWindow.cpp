#include "app/ResultsWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ZoomableChartView.h"
#include "charts/ReportCharts.h"
#include "platform/NumberFormat.h"

namespace mirelock {

namespace {

// The figures come right after the names, so they are in view whatever the
// width of the settings, which come last.
const QStringList kHeadings = {QStringLiteral("Problem"),    QStringLiteral("Experiment"), QStringLiteral("Runs"),
                               QStringLiteral("Mean gap %"), QStringLiteral("Best gap %"), QStringLiteral("Success"),
                               QStringLiteral("Mean CPU s"), QStringLiteral("Settings")};
constexpr int kFirstNumberColumn = 2;
constexpr int kLastNumberColumn = 6;

// A cell that shows the number as the summary file writes it and sorts by its value;
// a missing value shows "NA" and sorts last.
QStandardItem* NumberItem(const std::optional<double>& value) {
  auto* item = new QStandardItem(value ? QString::fromStdString(FormatNumber(*value)) : QStringLiteral("NA"));
  item->setData(value ? *value : 1e300, Qt::UserRole);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  item->setEditable(false);
  return item;
}

QStandardItem* TextItem(const QString& text, const QVariant& sortKey) {
  auto* item = new QStandardItem(text);
  item->setData(sortKey, Qt::UserRole);
  item->setEditable(false);
  return item;
}

QString CsvField(QString text) {
  if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\n')))
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
  return text;
}

}  // namespace

ResultsWindow::ResultsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("resultsWindow"));
  setWindowTitle(QStringLiteral("Results"));
  caption_ = new QLabel;
  caption_->setObjectName(QStringLiteral("resultsCaption"));
  caption_->setWordWrap(true);
  caption_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  model_ = new QStandardItemModel(this);
  sorted_ = new QSortFilterProxyModel(this);
  sorted_->setSourceModel(model_);
  sorted_->setSortRole(Qt::UserRole);
  table_ = new QTableView;
  table_->setObjectName(QStringLiteral("resultsTable"));
  table_->setModel(sorted_);
  table_->setSortingEnabled(true);
  table_->setAlternatingRowColors(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->verticalHeader()->setVisible(false);

  auto* exportTable = new QPushButton(QStringLiteral("Export table as &CSV..."));
  exportTable->setObjectName(QStringLiteral("exportTable"));
  connect(exportTable, &QPushButton::clicked, this, &ResultsWindow::ExportTableChosen);
  auto* openFolder = new QPushButton(QStringLiteral("Open results &folder"));
  openFolder->setObjectName(QStringLiteral("openResultsFolder"));
  connect(openFolder, &QPushButton::clicked, this, [this] { emit openFolderRequested(folder_); });

  auto* tablePage = new QWidget;
  auto* tableLayout = new QVBoxLayout(tablePage);
  tableLayout->addWidget(table_, 1);
  auto* tableButtons = new QHBoxLayout;
  tableButtons->addWidget(exportTable);
  tableButtons->addStretch(1);
  tableLayout->addLayout(tableButtons);

  tabs_ = new QTabWidget;
  tabs_->setObjectName(QStringLiteral("resultsTabs"));
  tabs_->addTab(tablePage, QStringLiteral("Summary table"));

  auto* top = new QHBoxLayout;
  top->addWidget(caption_, 1);
  top->addWidget(openFolder);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(tabs_, 1);
  resize(900, 560);
}

void ResultsWindow::SetResults(const std::vector<ResultsRow>& rows, const QString& caption,
                               const QString& resultsFolder, const QString& summaryFile) {
  folder_ = resultsFolder;
  caption_->setText(caption + (summaryFile.isEmpty() ? QString() : QStringLiteral("\nSummary file: ") + summaryFile));
  model_->clear();
  model_->setHorizontalHeaderLabels(kHeadings);
  int index = 0;
  for (const ResultsRow& row : rows) {
    QList<QStandardItem*> items;
    items << TextItem(QString::fromStdString(row.problem), QString::fromStdString(row.problem));
    items << TextItem(QStringLiteral("Exp %1").arg(row.experiment), static_cast<qulonglong>(row.experiment));
    items << NumberItem(static_cast<double>(row.runs));
    items << NumberItem(row.meanGap) << NumberItem(row.bestGap);
    auto* success = NumberItem(row.success);
    if (row.success)
      success->setText(QStringLiteral("%1% (%2/%3)")
                           .arg(*row.success * 100, 0, 'f', 0)
                           .arg(static_cast<int>(*row.success * row.runs + 0.5))
                           .arg(row.runs));
    items << success << NumberItem(row.meanCpuSeconds);
    const QString settings = QString::fromStdString(row.label);
    items << TextItem(settings, settings);
    items.front()->setData(index++, Qt::UserRole + 1);
    model_->appendRow(items);
  }
  sorted_->sort(-1);
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->resizeColumnsToContents();
  table_->horizontalHeader()->setStretchLastSection(true);
}

void ResultsWindow::AddChartTab(const QString& title, QChart* chart) {
  auto* page = new QWidget;
  auto* view = new ZoomableChartView(chart);
  view->setObjectName(QStringLiteral("chart:") + title);
  auto* exportButton = new QPushButton(QStringLiteral("&Export chart..."));
  connect(exportButton, &QPushButton::clicked, this, [this, view, title] { ExportChartChosen(view, title); });
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(view, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(exportButton);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  tabs_->addTab(page, title);
}

void ResultsWindow::AddChoiceChartTab(const QString& title, const QStringList& choices, int current,
                                      std::function<QChart*(int)> make) {
  QChart* first = make(current);
  if (!first) return;
  AddChartTab(title, first);
  QWidget* page = tabs_->widget(tabs_->count() - 1);
  auto* view = page->findChild<ZoomableChartView*>();
  auto* choice = new QComboBox;
  choice->setObjectName(QStringLiteral("choice:") + title);
  choice->addItems(choices);
  choice->setCurrentIndex(current);
  connect(choice, &QComboBox::currentIndexChanged, view, [view, make = std::move(make)](int index) {
    QChart* chart = index >= 0 ? make(index) : nullptr;
    if (!chart) return;
    // The view hands the old chart back rather than deleting it.
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
  });
  static_cast<QVBoxLayout*>(page->layout())->insertWidget(0, choice);
}

void ResultsWindow::AddNoteTab(const QString& title, const QString& note) {
  auto* label = new QLabel(note);
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignCenter);
  label->setMargin(24);
  tabs_->addTab(label, title);
}

void ResultsWindow::ClearChartTabs() {
  while (tabs_->count() > 1) {
    QWidget* page = tabs_->widget(1);
    tabs_->removeTab(1);
    delete page;
  }
}

QString ResultsWindow::TableCsv() const {
  QString text;
  QStringList fields;
  for (int c = 0; c < sorted_->columnCount(); ++c)
    fields << CsvField(sorted_->headerData(c, Qt::Horizontal).toString());
  text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
  for (int r = 0; r < sorted_->rowCount(); ++r) {
    fields.clear();
    for (int c = 0; c < sorted_->columnCount(); ++c) {
      const QModelIndex index = sorted_->index(r, c);
      // Numbers go out as numbers (success as a share), text as shown.
      const QVariant key = sorted_->data(index, Qt::UserRole);
      const QString shown = sorted_->data(index, Qt::DisplayRole).toString();
      if (c >= kFirstNumberColumn && c <= kLastNumberColumn && shown != QStringLiteral("NA"))
        fields << QString::fromStdString(FormatNumber(key.toDouble()));
      else
        fields << CsvField(shown);
    }
    text += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
  }
  return text;
}

bool ResultsWindow::ExportTable(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) return false;
  file.write(TableCsv().toUtf8());
  return file.commit();
}

bool ResultsWindow::ExportChart(QChartView* view, const QString& path) {
  // The report command's renderer: the file matches what `mirelock report` writes, at the size shown.
  const bool svg = QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
  return charts::SaveChart(*view->chart(), path, view->size(), svg ? charts::ImageFormat::kSvg : charts::ImageFormat::kPng);
}

void ResultsWindow::ExportTableChosen() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export table"), folder_,
                                                    QStringLiteral("Comma delimited (*.csv)"));
  if (!path.isEmpty()) ExportTable(path.endsWith(QStringLiteral(".csv")) ? path : path + QStringLiteral(".csv"));
}

void ResultsWindow::ExportChartChosen(QChartView* view, const QString& title) {
  QString name = title;
  name.replace(QLatin1Char(' '), QLatin1Char('_'));
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export chart"),
                                                    folder_ + QLatin1Char('/') + name + QStringLiteral(".png"),
                                                    QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"));
  if (!path.isEmpty()) ExportChart(view, path);
}

}  // namespace mirelock
