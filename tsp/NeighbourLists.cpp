#include "tsp/NeighbourLists.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mirelock {

namespace {

// The K best (distance, city) pairs seen so far, in a max-heap whose top is
// the worst of them.
class NearestK {
 public:
  explicit NearestK(std::uint32_t k) : k_(k) { entries_.reserve(k); }
  void Clear() { entries_.clear(); }
  bool Full() const { return entries_.size() == k_; }
  std::int32_t WorstDistance() const { return entries_.front().distance; }
  void Offer(std::int32_t distance, std::int32_t city) {
    const Entry entry{distance, city};
    if (!Full()) {
      entries_.push_back(entry);
      std::push_heap(entries_.begin(), entries_.end());
    } else if (entry < entries_.front()) {
      std::pop_heap(entries_.begin(), entries_.end());
      entries_.back() = entry;
      std::push_heap(entries_.begin(), entries_.end());
    }
  }
  // Nearest first; empties the heap.
  void MoveTo(std::int32_t* cities, std::int32_t* distances) {
    std::sort_heap(entries_.begin(), entries_.end());
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      cities[i] = entries_[i].city;
      distances[i] = entries_[i].distance;
    }
    entries_.clear();
  }

 private:
  struct Entry {
    std::int32_t distance;
    std::int32_t city;
    bool operator<(const Entry& other) const {
      return distance != other.distance ? distance < other.distance : city < other.city;
    }
  };
  std::uint32_t k_;
  std::vector<Entry> entries_;
};

// The largest Euclidean distance whose integer distance can be at most d.
double EuclideanReach(CityDistances::Kind kind, std::int32_t d) {
  switch (kind) {
    case CityDistances::Kind::kEuclidean:
      return d + 0.5;  // floor(e + 0.5) <= d needs e < d + 0.5
    case CityDistances::Kind::kCeiling:
      return d;  // ceil(e) <= d needs e <= d
    case CityDistances::Kind::kPseudoEuclidean:
      return d * std::sqrt(10.0);  // the distance is never below e / sqrt(10)
    default:
      return std::numeric_limits<double>::infinity();
  }
}

}  // namespace

void NeighbourLists::Build(const CityDistances& distances, std::uint32_t k) {
  k_ = k;
  const std::size_t n = distances.Size();
  cities_.assign(n * k, 0);
  distances_.assign(n * k, 0);
  if (k == 0 || n == 0) return;
  if (distances.GetKind() == CityDistances::Kind::kMatrix ||
      distances.GetKind() == CityDistances::Kind::kGeographical) {
    BuildByScan(distances);
  } else {
    BuildByGrid(distances);
  }
}

void NeighbourLists::BuildByScan(const CityDistances& distances) {
  const auto n = static_cast<std::int32_t>(distances.Size());
  NearestK nearest(k_);
  for (std::int32_t a = 0; a < n; ++a) {
    nearest.Clear();
    for (std::int32_t c = 0; c < n; ++c)
      if (c != a) nearest.Offer(distances(a, c), c);
    nearest.MoveTo(cities_.data() + static_cast<std::size_t>(a) * k_,
                   distances_.data() + static_cast<std::size_t>(a) * k_);
  }
}

// Cells of about two cities each over the bounding box. Around each city the
// rings of cells at Chebyshev distance 0, 1, 2, ... are searched until no
// city beyond the ring can be nearer than the K-th found: every city outside
// ring r lies at least r cell widths away.
void NeighbourLists::BuildByGrid(const CityDistances& distances) {
  const auto n = static_cast<std::int32_t>(distances.Size());
  double minX = distances.X(0), maxX = minX, minY = distances.Y(0), maxY = minY;
  for (std::int32_t c = 1; c < n; ++c) {
    minX = std::min(minX, distances.X(c));
    maxX = std::max(maxX, distances.X(c));
    minY = std::min(minY, distances.Y(c));
    maxY = std::max(maxY, distances.Y(c));
  }
  const double width = std::max(maxX - minX, 1e-9);
  const double height = std::max(maxY - minY, 1e-9);
  double cell = std::sqrt(width * height * 2.0 / n);
  if (!(cell > 0)) cell = std::max(width, height);
  cell = std::max(cell, std::max(width, height) / 4096.0);  // at most 4097 cells a side
  const auto columns = static_cast<std::int32_t>(std::floor(width / cell) + 1);
  const auto rows = static_cast<std::int32_t>(std::floor(height / cell) + 1);
  auto cellOf = [&](std::int32_t c, std::int32_t& cx, std::int32_t& cy) {
    cx = std::min(columns - 1, static_cast<std::int32_t>((distances.X(c) - minX) / cell));
    cy = std::min(rows - 1, static_cast<std::int32_t>((distances.Y(c) - minY) / cell));
  };

  // Cities sorted by cell: cell q holds members[start[q] .. start[q + 1]).
  std::vector<std::int32_t> start(static_cast<std::size_t>(columns) * rows + 1, 0);
  std::vector<std::int32_t> cellIndex(static_cast<std::size_t>(n));
  for (std::int32_t c = 0; c < n; ++c) {
    std::int32_t cx = 0, cy = 0;
    cellOf(c, cx, cy);
    cellIndex[c] = cy * columns + cx;
    ++start[static_cast<std::size_t>(cellIndex[c]) + 1];
  }
  for (std::size_t q = 1; q < start.size(); ++q) start[q] += start[q - 1];
  std::vector<std::int32_t> members(static_cast<std::size_t>(n));
  std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
  for (std::int32_t c = 0; c < n; ++c) members[fill[cellIndex[c]]++] = c;

  NearestK nearest(k_);
  const std::int32_t maxRing = std::max(columns, rows);
  for (std::int32_t a = 0; a < n; ++a) {
    nearest.Clear();
    std::int32_t ax = 0, ay = 0;
    cellOf(a, ax, ay);
    for (std::int32_t ring = 0; ring <= maxRing; ++ring) {
      const auto visit = [&](std::int32_t cx, std::int32_t cy) {
        const std::int32_t q = cy * columns + cx;
        for (std::int32_t m = start[q]; m < start[q + 1]; ++m) {
          const std::int32_t c = members[m];
          if (c != a) nearest.Offer(distances(a, c), c);
        }
      };
      // The ring's cells inside the grid: its top and bottom rows whole, the
      // two end cells of the rows between.
      const std::int32_t lowX = std::max(0, ax - ring), highX = std::min(columns - 1, ax + ring);
      const std::int32_t lowY = std::max(0, ay - ring), highY = std::min(rows - 1, ay + ring);
      for (std::int32_t cy = lowY; cy <= highY; ++cy) {
        if (cy == ay - ring || cy == ay + ring) {
          for (std::int32_t cx = lowX; cx <= highX; ++cx) visit(cx, cy);
        } else {
          if (ax - ring >= 0) visit(ax - ring, cy);
          if (ring > 0 && ax + ring < columns) visit(ax + ring, cy);
        }
      }
      // Cities beyond this ring are at least ring cell widths from a (a may sit anywhere in its cell).
      if (nearest.Full() && ring * cell > EuclideanReach(distances.GetKind(), nearest.WorstDistance()) * (1 + 1e-12))
        break;
    }
    nearest.MoveTo(cities_.data() + static_cast<std::size_t>(a) * k_,
                   distances_.data() + static_cast<std::size_t>(a) * k_);
  }
}

}  // namespace mirelock
