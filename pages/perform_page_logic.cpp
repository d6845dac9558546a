// Gauge positions, value texts and frame scaling of the Performance page.
#include "pages/perform_page_logic.h"

#include <cmath>

#include "present/c_locale_text.h"

namespace quivera {

int GaugePosition(int64_t percent) {
  if (percent < kGaugeMinimum) return kGaugeMinimum;
  if (percent > kGaugeMaximum) return kGaugeMaximum;
  return static_cast<int>(percent);
}

int GaugePosition(double percent) {
  if (std::isnan(percent) || percent < kGaugeMinimum) return kGaugeMinimum;
  if (percent > kGaugeMaximum) return kGaugeMaximum;
  return static_cast<int>(percent);  // truncates toward zero
}

std::string TokenUtilizationText(int32_t percent) { return std::to_string(percent) + "%"; }

std::string ByteUtilizationText(double percent) { return FormatCLocale("%.3f%%", percent); }

FrameGauge ScaleFrames(uint32_t largest, uint32_t frames) {
  FrameGauge gauge;
  gauge.largest = largest < frames ? frames : largest;
  if (gauge.largest == 0) gauge.largest = 1;
  gauge.position = static_cast<int>(uint64_t{frames} * 100 / gauge.largest);
  gauge.value_text = std::to_string(frames);
  gauge.scale = {"0", std::to_string(gauge.largest >> 1), std::to_string(gauge.largest)};
  return gauge;
}

}  // namespace quivera
