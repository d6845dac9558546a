// The printed product registration card: the user's and the adapter's
// details as kept in the settings, and the return-address panel of the
// region the user chose, where the card is to be mailed.
#pragma once

#include <array>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "present/print_surface.h"
#include "settings/settings.h"

namespace quivera {

class AdapterList;

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

// The most characters of a value that fit on one line of its box in the
// print font (a fixed-pitch font, each character 0.6 of its height wide).
inline constexpr size_t kCardValueColumns = 33;

// 'value' cut into lines of at most 'columns' characters, broken after a
// blank where there is one in reach, else inside the word. An empty value is
// one empty line; no line begins with the blank it was broken at.
std::vector<std::string> WrapCardValue(std::string_view value, size_t columns = kCardValueColumns);

// Prints the card on 'surface': the frame's title and the date of 'now', the
// return-address panel of the chosen region (RegistrationRegion), then each
// field with its caption and its text, wrapped inside the box so that a long
// value takes more lines instead of running past it. Puts the surface's font
// back.
void PrintRegistrationCard(PrintSurface& surface, const Settings& settings, std::time_t now);

// What the card can learn about an adapter by itself: the driver's
// description of it as the model ("KORAP PCI FDDI Adapter V2.00") and its
// permanent address as the serial number; empty where it cannot be read.
struct AdapterIdentity {
  std::string model;
  std::string serial;
};
AdapterIdentity ReadAdapterIdentity(AdapterList& adapters, int index);

}  // namespace quivera
