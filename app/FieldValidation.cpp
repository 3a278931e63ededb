#include "app/FieldValidation.h"

#include <QLineEdit>
#include <QMessageBox>
#include <charconv>
#include <cmath>
#include <string>

#include "platform/NumberFormat.h"

namespace mirelock::fields {

namespace {

void Refuse(QWidget* dialog, QLineEdit* field, const QString& message) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Mirelock"), message, QMessageBox::Ok, dialog);
  box.setObjectName(QStringLiteral("mirelockMessage"));
  box.exec();
  field->setFocus();
  field->selectAll();
}

QString Between(const char* pattern, const std::string& low, const std::string& high) {
  return QString::fromLatin1(pattern).arg(QString::fromStdString(low), QString::fromStdString(high));
}

}  // namespace

QString FormatReal(double value) {
  // The shortest text that reads back as the same double, so that confirming
  // a dialog without a change never rounds a value.
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer));
}

std::optional<double> ReadReal(QWidget* dialog, QLineEdit* field, double low, double high) {
  const std::string text = field->text().trimmed().toStdString();
  double value = 0.0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
    Refuse(dialog, field, QString::fromLatin1(kNotANumber));
    return std::nullopt;
  }
  if (value < low || value > high) {
    Refuse(dialog, field,
           Between("Please enter a number between %1 and %2.", FormatNumber(low), FormatNumber(high)));
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint32_t> ReadUnsigned(QWidget* dialog, QLineEdit* field, std::uint32_t low,
                                          std::uint32_t high) {
  const std::string text = field->text().trimmed().toStdString();
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  const bool parsed =
      !text.empty() && ptr == end && (ec == std::errc() || ec == std::errc::result_out_of_range);
  if (!parsed) {
    Refuse(dialog, field, QString::fromLatin1(kNotAPositiveInteger));
    return std::nullopt;
  }
  const bool narrowed = low > 0 || high < UINT32_MAX;
  if (ec == std::errc::result_out_of_range || value < low || value > high) {
    if (narrowed)
      Refuse(
          dialog, field,
          Between("Please enter an integer between %1 and %2.", std::to_string(low), std::to_string(high)));
    else
      Refuse(dialog, field, QString::fromLatin1(kNotAPositiveInteger));
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace mirelock::fields
