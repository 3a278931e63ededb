#pragma once
#include <QString>
#include <vector>

#include "app/DocumentView.h"

class QPrinter;

namespace mirelock {

// The least margin on every side of a printed page, in millimetres: most
// printers cannot print closer to the edge.
constexpr double kPrintMarginMm = 15.0;

// Lays out text lines on the printer's pages: a title, then each line at its
// indent (given in pixels of a 96-dpi screen, converted once to the printer's
// resolution) in a 10-point font, long lines wrapped at word boundaries, a new
// page whenever the next line does not fit (a wrapped line moves whole to the
// next page), and a page number at the foot. Margins below kPrintMarginMm are
// widened to it.
// Returns the number of pages printed (0 when the printer could not be opened).
int PrintLines(const std::vector<DisplayLine>& lines, const QString& title, QPrinter& printer);

}  // namespace mirelock
