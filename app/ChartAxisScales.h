#pragma once

class QCategoryAxis;
class QValueAxis;

namespace mirelock {

struct NiceScale;

// Round ticks from the anchor 0 every `scale.step` over [low, high] (the
// scale's own range when not given). The axis goes through a fixed tick count
// while range and interval change, so that a new range never meets the old
// interval (a range of millions with a step of 0.2 would make the axis lay out
// millions of ticks).
void ApplyScale(QValueAxis* axis, const NiceScale& scale, double low, double high);
void ApplyScale(QValueAxis* axis, const NiceScale& scale);

// A log-scale axis drawn as a linear axis over log10 of the values (zooming
// then works as on a linear axis): labels with the values themselves, placed
// at the round numbers MakeLogTicks finds for the range in view.
void LabelLogAxis(QCategoryAxis* axis);

}  // namespace mirelock
