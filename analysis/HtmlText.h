#pragma once
#include <string>

namespace mirelock::analysis {

// Text made safe for an HTML page, inside elements and inside quoted attributes.
inline std::string HtmlEscaped(const std::string& text) {
  std::string html;
  html.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': html += "&amp;"; break;
      case '<': html += "&lt;"; break;
      case '>': html += "&gt;"; break;
      case '"': html += "&quot;"; break;
      default: html += c;
    }
  }
  return html;
}

}  // namespace mirelock::analysis
