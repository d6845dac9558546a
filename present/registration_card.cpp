// The registration card's printout.
#include "present/registration_card.h"

#include <string>

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

void PrintRegistrationCard(PrintSurface& surface, const Settings& settings, std::time_t now) {
  PrintFrame frame(surface, kRegistrationPrintTitle, now);
  const int lh = frame.LineHeight();

  const ReturnRegion& region =
      kRegions[static_cast<size_t>(RegistrationRegion(settings, static_cast<int>(std::size(kRegions))))];
  frame.Box(kReturnPanelLeft, kReturnPanelTop, kReturnPanelRight, kReturnPanelBottom,
            kReturnPanelCaption, kReturnPanelTextX);
  frame.Lines(kReturnPanelTextX, kReturnPanelTop - lh, region.lines);

  static constexpr const char* kInstructions[] = {
      "Please fill in this card,", "print it and mail it to", "the address of your region."};
  frame.Lines(kFieldsLeft, kReturnPanelTop - lh, kInstructions);

  const auto fields = RegistrationFields();
  const int rows = static_cast<int>(fields.size());
  const int bottom = kFieldsTop - (rows + 1) * lh * 3 / 2;
  frame.Box(kFieldsLeft, kFieldsTop, kFieldsRight, bottom, kRegistrationBoxCaption, kCaptionX);
  int y = kFieldsTop - lh;
  for (const RegistrationFieldDef& def : fields) {
    const std::string value = def.field == RegistrationField::kReturnAddress
                                  ? std::string(region.name)
                                  : RegistrationValue(settings, def.field);
    frame.Text(kCaptionX, y, std::string(def.label) + ":");
    frame.Text(kValueX, y, value);
    y -= lh * 3 / 2;
  }
  frame.End();
}

}  // namespace quivera
