#pragma once
#include <QString>
#include <cstdint>
#include <optional>

class QLineEdit;
class QWidget;

namespace mirelock {

// Reading the number fields of the dialogs. Each reader returns the value, or
// shows the message that tells the user what to type, puts the focus back on
// the field with its text selected (the input is kept), and returns nothing.
namespace fields {

inline const char* kNotANumber = "Please enter a number.";
inline const char* kNotAPositiveInteger = "Please enter a positive integer.";

// A real number between low and high inclusive
// ("Please enter a number between %1 and %2.").
std::optional<double> ReadReal(QWidget* dialog, QLineEdit* field, double low, double high);

// An unsigned 32-bit integer between low and high inclusive; when low or high
// narrow the full range, a value outside gives
// "Please enter an integer between %1 and %2.".
std::optional<std::uint32_t> ReadUnsigned(QWidget* dialog, QLineEdit* field, std::uint32_t low = 0,
                                          std::uint32_t high = UINT32_MAX);

// How the dialogs write reals into their fields: the shortest exact text (1, 0.8, 1e+12).
QString FormatReal(double value);

}  // namespace fields
}  // namespace mirelock
