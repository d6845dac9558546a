// The fields of the product registration card as they are kept in the
// "Registration" section of the settings file: one key per field, the text
// as typed. Only the registration card reads and writes them.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace quivera {

enum class RegistrationField {
  kName,
  kTitle,
  kCompany,
  kDepartment,
  kTelephone,
  kFax,
  kEMail,
  kAddress,
  kCity,
  kCountry,
  kAdapterModel,
  kAdapterSerial,
  kComputerModel,
  kComputerSerial,
  kReturnAddress,  // the position of the chosen return-address region
};

struct RegistrationFieldDef {
  RegistrationField field;
  const char* key;    // the key in [Registration]
  const char* label;  // the caption in the dialog and on the card
};

// Every field, in the order the dialog and the card show them.
std::span<const RegistrationFieldDef> RegistrationFields();
const RegistrationFieldDef& RegistrationFieldOf(RegistrationField field);

// The text stored for 'field' ("" when the section does not hold it).
std::string RegistrationValue(const Settings& settings, RegistrationField field);

// Stores 'value' for 'field': an existing key keeps its place in the
// section, a new one goes last. Line breaks and other control characters
// become blanks, since one value is one line of the settings file.
void SetRegistrationValue(Settings& settings, RegistrationField field, std::string_view value);

// The chosen return-address region: the stored number, or 0 when it is
// missing, not a number or outside 0..'region_count' - 1.
int RegistrationRegion(const Settings& settings, int region_count);

}  // namespace quivera
