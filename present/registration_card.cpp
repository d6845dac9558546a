// The registration card's printout.
#include "present/registration_card.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "adapter/adapter_list.h"
#include "present/address_texts.h"
#include "present/print_frame.h"
#include "settings/registration_fields.h"

namespace quivera {

namespace {

constexpr ReturnRegion kRegions[] = {
    {"North America",
     {"QUIVERA/FDDI Registration", "Americas Office", "P.O. Box 1000", "Anytown, USA"}},
    {"Europe", {"QUIVERA/FDDI Registration", "Europe Office", "Postbox 2000", "Anytown, Europe"}},
    {"Asia and Pacific",
     {"QUIVERA/FDDI Registration", "Asia Pacific Office", "P.O. Box 3000", "Anytown, Asia"}},
    {"Other countries",
     {"QUIVERA/FDDI Registration", "International Office", "P.O. Box 4000", "Anytown, USA"}},
};

constexpr int kFieldsTop = -3900;
constexpr int kFieldsLeft = 720;
constexpr int kFieldsRight = 10800;
constexpr int kCaptionX = 900;
constexpr int kValueX = 5040;

}  // namespace

std::span<const ReturnRegion> ReturnRegions() { return kRegions; }

std::vector<std::string> WrapCardValue(std::string_view value, size_t columns) {
  std::vector<std::string> lines;
  columns = std::max<size_t>(columns, 1);
  while (value.size() > columns) {
    size_t cut = value.rfind(' ', columns);
    const bool at_blank = cut != std::string_view::npos && cut > 0;
    if (!at_blank) cut = columns;
    lines.emplace_back(value.substr(0, cut));
    value.remove_prefix(cut);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
  }
  if (!value.empty() || lines.empty()) lines.emplace_back(value);
  return lines;
}

void PrintRegistrationCard(PrintSurface& surface, const Settings& settings, std::time_t now) {
  PrintFrame frame(surface, kRegistrationPrintTitle, now);
  const int lh = frame.LineHeight();

  const ReturnRegion& region = kRegions[static_cast<size_t>(
      RegistrationRegion(settings, static_cast<int>(std::size(kRegions))))];
  frame.Box(kReturnPanelLeft, kReturnPanelTop, kReturnPanelRight, kReturnPanelBottom,
            kReturnPanelCaption, kReturnPanelTextX);
  frame.Lines(kReturnPanelTextX, kReturnPanelTop - lh, region.lines);

  static constexpr const char* kInstructions[] = {
      "Please fill in this card,", "print it and mail it to", "the address of your region."};
  frame.Lines(kFieldsLeft, kReturnPanelTop - lh, kInstructions);

  // The values' lines first: the box is drawn filled before its text and
  // must be tall enough for every line.
  const auto fields = RegistrationFields();
  std::vector<std::vector<std::string>> values;
  int rows = 0;
  for (const RegistrationFieldDef& def : fields) {
    values.push_back(WrapCardValue(def.field == RegistrationField::kReturnAddress
                                       ? std::string(region.name)
                                       : RegistrationValue(settings, def.field)));
    rows += static_cast<int>(values.back().size());
  }
  const int gaps = static_cast<int>(fields.size()) + 1;
  const int bottom = kFieldsTop - rows * lh - gaps * lh / 2;
  frame.Box(kFieldsLeft, kFieldsTop, kFieldsRight, bottom, kRegistrationBoxCaption, kCaptionX);
  int y = kFieldsTop - lh;
  for (size_t i = 0; i < fields.size(); ++i) {
    frame.Text(kCaptionX, y, std::string(fields[i].label) + ":");
    y = frame.Lines(kValueX, y, values[i]) - lh / 2;
  }
  frame.End();
}

AdapterIdentity ReadAdapterIdentity(AdapterList& adapters, int index) {
  AdapterIdentity identity;
  std::array<char, 64> description{};
  size_t length = description.size() - 1;  // keeps a NUL at the end
  if (adapters.WithAdapter(index, [&](Adapter& a) {
        return a.GetItem(ManagementItem::VendorDescription, description.data(), &length);
      }) == 0) {
    identity.model.assign(description.data(), strnlen(description.data(), length));
  }
  std::array<uint8_t, 6> address{};
  length = address.size();
  if (adapters.WithAdapter(index,
                           [&](Adapter& a) {
                             return a.GetItem(ManagementItem::MacPermanentAddress, address.data(),
                                              &length);
                           }) == 0 &&
      length == address.size()) {
    identity.serial = CanonicalAddressText(address);
  }
  return identity;
}

}  // namespace quivera
