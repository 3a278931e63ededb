#pragma once
#include <QList>
#include <QPointF>
#include <cstddef>
#include <vector>

namespace mirelock {

// Keeps a long series drawable: points are appended one by one into at most
// `maxBuckets` buckets of consecutive points, each remembering its first,
// last, lowest and highest point. When the buckets run out, neighbours merge
// and every bucket covers twice as many points. Drawing the four points of
// each bucket shows every spike and the line's shape at any screen width up
// to the bucket count, whatever the number of points appended; appending
// costs constant time, and drawing costs at most four points per bucket.
class SeriesDecimator {
 public:
  explicit SeriesDecimator(std::size_t maxBuckets = 1024);

  void Clear();
  void Append(double x, double y);

  std::size_t AppendedCount() const { return appended_; }
  // The points to draw, in order of x; each y raised to at least `floor`
  // (for a log axis, which cannot show 0).
  QList<QPointF> Points(double floor = -1e308) const;

  bool Empty() const { return appended_ == 0; }
  double MinY() const { return minY_; }
  double MaxY() const { return maxY_; }
  // The smallest y above 0, or 0 when there is none.
  double MinPositiveY() const { return minPositiveY_; }

 private:
  struct Bucket {
    QPointF first, last, low, high;
    std::size_t count = 0;
  };
  void MergeNeighbours();

  std::size_t maxBuckets_;
  std::size_t bucketSize_ = 1;
  std::vector<Bucket> buckets_;
  std::size_t appended_ = 0;
  double minY_ = 0, maxY_ = 0, minPositiveY_ = 0;
};

}  // namespace mirelock
