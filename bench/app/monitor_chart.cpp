// How long one refresh of the monitor chart takes on the interface thread
// with a 1,000,000-line monitor file (goal: under 50 ms):
//  - loading the whole file, which the chart reads in steps of one refresh
//    each (the longest step and the total are reported);
//  - a refresh after a half-second tick's worth of appended lines, with the
//    million lines already drawn.
//
//   monitor_chart [--lines N] [--appended K] [--repeats R]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/MonitorChartWindow.h"

namespace {

QByteArray Lines(long first, long count) {
  QByteArray text;
  text.reserve(static_cast<qsizetype>(count * 32));
  for (long k = first; k < first + count; ++k) {
    const long best = 900000 - std::min(k / 1000 * 300, 400000L);
    const long cost = best + (k * 7919L) % 5000;
    text += QByteArray::number(k * 10) + '\t' + QByteArray::number(best) + '\t' + QByteArray::number(cost) + '\t' +
            QByteArray::number(cost + k / 10) + "\t\n";
  }
  return text;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  long lines = 1000000;
  long appended = 2000;
  int repeats = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--lines") lines = std::atol(argv[i + 1]);
    else if (flag == "--appended") appended = std::atol(argv[i + 1]);
    else if (flag == "--repeats") repeats = std::atoi(argv[i + 1]);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("monitor.txt"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return 1;
    file.write("Repairs\tBest_Cost\tCost\tAugmented_Cost\t\n");
    file.write(Lines(0, lines));
  }

  mirelock::MonitorChartWindow chart;
  chart.resize(900, 560);
  chart.show();
  QElapsedTimer total;
  total.start();
  chart.Follow(path);
  qint64 longest = chart.LastRefreshMs();
  int steps = 1;
  while (chart.HasPendingData()) {
    chart.Refresh();
    QApplication::processEvents();  // the drawing of each step counts against the load
    longest = std::max(longest, chart.LastRefreshMs());
    ++steps;
  }
  std::printf("load %ld lines: %d refreshes, longest %lld ms, %lld ms in all; %d points drawn per series\n", lines,
              steps, static_cast<long long>(longest), static_cast<long long>(total.elapsed()),
              chart.DrawnPointCount());

  std::vector<double> times;
  std::vector<double> refreshOnly;
  long next = lines;
  for (int r = 0; r < repeats; ++r) {
    QFile file(path);
    if (!file.open(QIODevice::Append)) return 1;
    file.write(Lines(next, appended));
    file.close();
    next += appended;
    QElapsedTimer clock;
    clock.start();
    chart.Refresh();
    refreshOnly.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    QApplication::processEvents();
    times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
  }
  std::printf("refresh after %ld appended lines (file of %ld+), reading and updating the series: median %.2f ms, "
              "worst %.2f ms; with the repaint: median %.2f ms, worst %.2f ms; over %d\n",
              appended, lines, Median(refreshOnly), *std::max_element(refreshOnly.begin(), refreshOnly.end()),
              Median(times), *std::max_element(times.begin(), times.end()), repeats);
  return 0;
}
