// The printed product registration card: the user's and the adapter's
// details as kept in the settings, and the return-address panel of the
// region the user chose, where the card is to be mailed.
#pragma once

#include <array>
#include <ctime>
#include <span>

#include "present/print_surface.h"
#include "settings/settings.h"

namespace quivera {

inline constexpr char kRegistrationPrintTitle[] = "QUIVERA/FDDI -- Registration Card";
inline constexpr char kReturnPanelCaption[] = "Return Address";
inline constexpr char kRegistrationBoxCaption[] = "Registration";

// One return-address region: the name the dialog offers and the lines of
// its panel.
struct ReturnRegion {
  const char* name;
  std::array<const char*, 4> lines;
};

// The regions in the order the dialog offers them; the stored choice is a
// position in this list.
std::span<const ReturnRegion> ReturnRegions();

// The panel's corners and where its lines start (twips, see print_surface.h).
inline constexpr int kReturnPanelLeft = 5400;
inline constexpr int kReturnPanelTop = -1500;
inline constexpr int kReturnPanelRight = 10800;
inline constexpr int kReturnPanelBottom = -3300;
inline constexpr int kReturnPanelTextX = 5580;

// Prints the card on 'surface': the frame's title and the date of 'now', the
// return-address panel of the chosen region (RegistrationRegion), then one
// line per field with its caption and text. Puts the surface's font back.
void PrintRegistrationCard(PrintSurface& surface, const Settings& settings, std::time_t now);

}  // namespace quivera
