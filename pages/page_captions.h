// The captions of a page's value rows: SNMP object names or plain labels as
// "SNMPLabels" says, written again only when the preference changed.
#pragma once

#include <span>

#include "present/label_pairs.h"

class QLabel;

namespace quivera {

class CaptionSwitch {
 public:
  // Writes caption i of 'pairs' into label i (as many as both have) when
  // 'snmp_labels' differs from the value they were last written for. That
  // value starts at 0: pages are created with the SNMP object names.
  void Follow(std::span<QLabel* const> labels, std::span<const LabelPair> pairs, int snmp_labels);

 private:
  int applied_ = 0;
};

}  // namespace quivera
