// Caption switching of the pages' value rows.
#include "pages/page_captions.h"

#include <QLabel>

namespace quivera {

void CaptionSwitch::Follow(std::span<QLabel* const> labels, std::span<const LabelPair> pairs,
                           int snmp_labels) {
  if (snmp_labels == applied_) return;
  for (size_t i = 0; i < labels.size() && i < pairs.size(); ++i) {
    labels[i]->setText(QString::fromLatin1(CaptionFor(pairs[i], snmp_labels)));
  }
  applied_ = snmp_labels;
}

}  // namespace quivera
