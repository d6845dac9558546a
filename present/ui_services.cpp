// The answer given when nobody chooses one.
#include "present/ui_services.h"

namespace quivera {

MessageAnswer SafeAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
      break;
  }
  return MessageAnswer::Cancel;
}

}  // namespace quivera
