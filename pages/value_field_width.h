// How wide a value field must be: as wide as the widest text it can ever
// show in its own font, so that no value is cut short (a cut address looks
// like a valid, wrong one). The texts come from the value tables, the address
// forms and the number ranges; the fields are measured, not guessed.
#pragma once

#include <string>
#include <vector>

class QLabel;

namespace quivera {

struct ValueTable;

// Every text 'table' can give: each row's and the out-of-range text.
std::vector<std::string> TableTexts(const ValueTable& table);

// Texts as wide as any station or group address can be shown: the canonical
// and MSB forms with each hexadecimal digit throughout (the widest digit
// decides), and the widest translated form.
std::vector<std::string> AddressTextSamples();

// Texts as wide as any number of up to 'digits' digits, with a minus sign
// when 'signed_numbers': each digit throughout, so the widest decides.
std::vector<std::string> NumberTextSamples(int digits, bool signed_numbers);

// The width 'field' needs to show 'text' whole: the text, the frame on both
// sides and the indent a framed label keeps.
int FieldWidthFor(const QLabel& field, const std::string& text);

// Makes 'field' at least as wide as the widest of 'texts' needs (it may be
// wider). Call it before the page's size is fixed.
void FitFieldTo(QLabel* field, const std::vector<std::string>& texts);

}  // namespace quivera
