// Value field widths from the texts the fields can show.
#include "pages/value_field_width.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

#include "dialogs/ui_text.h"
#include "present/value_texts.h"

namespace quivera {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string Repeated(char c, int times) { return std::string(static_cast<size_t>(times), c); }

}  // namespace

std::vector<std::string> TableTexts(const ValueTable& table) {
  std::vector<std::string> texts;
  for (const ValueText& row : table.rows) texts.emplace_back(row.text);
  texts.emplace_back(table.out_of_range);
  return texts;
}

std::vector<std::string> AddressTextSamples() {
  std::vector<std::string> texts;
  for (const char digit : std::string(kHexDigits)) {
    const std::string pair = Repeated(digit, 2);
    std::string canonical = pair;
    std::string msb = pair;
    for (int i = 1; i < 6; ++i) {
      canonical += "-" + pair;
      msb += ":" + pair;
    }
    texts.push_back(canonical);
    texts.push_back(msb);
    if (digit <= '9') {
      // The translated form: area up to 63, node up to 1023.
      texts.push_back("Velkor " + Repeated(digit, 2) + "." + Repeated(digit, 4));
    }
  }
  return texts;
}

std::vector<std::string> NumberTextSamples(int digits, bool signed_numbers) {
  std::vector<std::string> texts;
  for (char digit = '0'; digit <= '9'; ++digit) {
    texts.push_back((signed_numbers ? "-" : "") + Repeated(digit, digits));
  }
  return texts;
}

int FieldWidthFor(const QLabel& field, const std::string& text) {
  const QFontMetrics metrics = field.fontMetrics();
  // A framed label keeps half an 'x' of indent on the side it aligns to.
  const int indent =
      field.indent() >= 0 ? field.indent() : metrics.horizontalAdvance(QLatin1Char('x')) / 2;
  return metrics.horizontalAdvance(ToQString(text)) + 2 * field.frameWidth() + indent +
         2 * field.margin();
}

void FitFieldTo(QLabel* field, const std::vector<std::string>& texts) {
  int width = field->minimumWidth();
  for (const std::string& text : texts) width = std::max(width, FieldWidthFor(*field, text) + 1);
  field->setMinimumWidth(width);
}

}  // namespace quivera
