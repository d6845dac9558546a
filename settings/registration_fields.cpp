// Registration card fields in the settings.
#include "settings/registration_fields.h"

#include <algorithm>
#include <charconv>

namespace quivera {

namespace {

using F = RegistrationField;

constexpr RegistrationFieldDef kFields[] = {
    {F::kName, "Name", "Name"},
    {F::kTitle, "Title", "Title"},
    {F::kCompany, "Company", "Company"},
    {F::kDepartment, "Department", "Department"},
    {F::kTelephone, "Telephone", "Telephone"},
    {F::kFax, "Fax", "Fax"},
    {F::kEMail, "EMail", "E-mail"},
    {F::kAddress, "Address", "Address"},
    {F::kCity, "City", "City"},
    {F::kCountry, "Country", "Country"},
    {F::kAdapterModel, "AdapterModel", "Adapter model"},
    {F::kAdapterSerial, "AdapterSerialNumber", "Adapter serial number"},
    {F::kComputerModel, "ComputerModel", "Computer model"},
    {F::kComputerSerial, "ComputerSerialNumber", "Computer serial number"},
    {F::kReturnAddress, "ReturnAddress", "Return address"},
};

}  // namespace

std::span<const RegistrationFieldDef> RegistrationFields() { return kFields; }

const RegistrationFieldDef& RegistrationFieldOf(RegistrationField field) {
  return kFields[static_cast<size_t>(field)];
}

std::string RegistrationValue(const Settings& settings, RegistrationField field) {
  const std::string_view key = RegistrationFieldOf(field).key;
  for (const auto& [stored_key, value] : settings.Registration) {
    if (stored_key == key) return value;
  }
  return std::string();
}

void SetRegistrationValue(Settings& settings, RegistrationField field, std::string_view value) {
  std::string line(value);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
  const std::string key = RegistrationFieldOf(field).key;
  for (auto& [stored_key, stored] : settings.Registration) {
    if (stored_key == key) {
      stored = line;
      return;
    }
  }
  settings.Registration.emplace_back(key, line);
}

int RegistrationRegion(const Settings& settings, int region_count) {
  const std::string text = RegistrationValue(settings, F::kReturnAddress);
  int region = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), region);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return region >= 0 && region < region_count ? region : 0;
}

}  // namespace quivera
