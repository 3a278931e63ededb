#include "platform/NumberFormat.h"

#include <locale>
#include <sstream>

namespace mirelock {

std::string FormatNumber(double value) {
  std::ostringstream out;
  UseDefaultNumberFormat(out);
  out << value;
  return out.str();
}

void UseDefaultNumberFormat(std::ostream& out) {
  out.imbue(std::locale::classic());
  out.flags(std::ios_base::dec | std::ios_base::skipws);
  out.precision(6);
}

}  // namespace mirelock
