#include "app/SeriesDecimator.h"

#include <algorithm>

namespace mirelock {

SeriesDecimator::SeriesDecimator(std::size_t maxBuckets) : maxBuckets_(std::max<std::size_t>(maxBuckets, 2)) {
  buckets_.reserve(maxBuckets_);
}

void SeriesDecimator::Clear() {
  buckets_.clear();
  bucketSize_ = 1;
  appended_ = 0;
  minY_ = maxY_ = minPositiveY_ = 0;
}

void SeriesDecimator::Append(double x, double y) {
  const QPointF point(x, y);
  if (appended_ == 0) {
    minY_ = maxY_ = y;
  } else {
    minY_ = std::min(minY_, y);
    maxY_ = std::max(maxY_, y);
  }
  if (y > 0 && (minPositiveY_ == 0 || y < minPositiveY_)) minPositiveY_ = y;
  ++appended_;

  if (buckets_.empty() || buckets_.back().count >= bucketSize_) {
    if (buckets_.size() == maxBuckets_) MergeNeighbours();
  }
  if (buckets_.empty() || buckets_.back().count >= bucketSize_) {
    buckets_.push_back(Bucket{point, point, point, point, 1});
    return;
  }
  Bucket& bucket = buckets_.back();
  bucket.last = point;
  if (y < bucket.low.y()) bucket.low = point;
  if (y > bucket.high.y()) bucket.high = point;
  ++bucket.count;
}

void SeriesDecimator::MergeNeighbours() {
  std::size_t out = 0;
  for (std::size_t i = 0; i < buckets_.size(); i += 2, ++out) {
    Bucket merged = buckets_[i];
    if (i + 1 < buckets_.size()) {
      const Bucket& next = buckets_[i + 1];
      merged.last = next.last;
      if (next.low.y() < merged.low.y()) merged.low = next.low;
      if (next.high.y() > merged.high.y()) merged.high = next.high;
      merged.count += next.count;
    }
    buckets_[out] = merged;
  }
  buckets_.resize(out);
  bucketSize_ *= 2;
}

QList<QPointF> SeriesDecimator::Points(double floor) const {
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(buckets_.size() * 4));
  const auto add = [&](const QPointF& p) {
    const QPointF shown(p.x(), std::max(p.y(), floor));
    if (points.isEmpty() || points.back() != shown) points.append(shown);
  };
  for (const Bucket& bucket : buckets_) {
    add(bucket.first);
    // The extremes in the order they occurred, so the line runs forward in x.
    if (bucket.low.x() <= bucket.high.x()) {
      add(bucket.low);
      add(bucket.high);
    } else {
      add(bucket.high);
      add(bucket.low);
    }
    add(bucket.last);
  }
  return points;
}

}  // namespace mirelock
