// Reading one flash item into a cleared reply buffer.
#include "flash/flash_reply.h"

namespace quivera {

bool ReadFlashItem(AdapterHandle adapter, ManagementItem item, int instance, FlashReply* reply) {
  reply->fill(0);
  size_t length = reply->size();
  return adapter.GetItem(item, reply->data(), &length, instance) == 0;
}

}  // namespace quivera
