#pragma once
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "app/ResultsRows.h"

class QChart;
class QChartView;
class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTabWidget;
class QTableView;

namespace mirelock {

// The results of a batch inside the application: the summary as a sortable
// table (problem x experiment: mean and best gap, success, CPU time), the
// charts of the analysis beside it in tabs, each chart exportable as PNG or
// SVG and the table as CSV, and a button that opens the results folder.
class ResultsWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ResultsWindow(QWidget* parent = nullptr);

  // Shows `rows`; `caption` says which summary they come from.
  void SetResults(const std::vector<ResultsRow>& rows, const QString& caption, const QString& resultsFolder,
                  const QString& summaryFile);
  // Adds a tab with `chart` (the window takes it); its Export button saves it.
  void AddChartTab(const QString& title, QChart* chart);
  // Adds a tab whose chart is drawn by `make` for the entry chosen in a list above it, `current` first
  // (the window takes each chart; a null chart leaves the previous one).
  void AddChoiceChartTab(const QString& title, const QStringList& choices, int current,
                         std::function<QChart*(int)> make);
  // Adds a tab that explains why a chart is missing.
  void AddNoteTab(const QString& title, const QString& note);
  // Removes every chart and note tab, keeping the table.
  void ClearChartTabs();

  QTableView* Table() const { return table_; }
  QTabWidget* Tabs() const { return tabs_; }
  // The table as shown (in its current sort order) as CSV text.
  QString TableCsv() const;
  bool ExportTable(const QString& path) const;
  // Saves a chart as PNG or SVG by the file's suffix.
  static bool ExportChart(QChartView* view, const QString& path);

 signals:
  void openFolderRequested(const QString& folder);

 private:
  void ExportTableChosen();
  void ExportChartChosen(QChartView* view, const QString& title);

  QTabWidget* tabs_;
  QTableView* table_;
  QStandardItemModel* model_;
  QSortFilterProxyModel* sorted_;
  QLabel* caption_;
  QString folder_;
};

}  // namespace mirelock
