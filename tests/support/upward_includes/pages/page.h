// A page that reaches up into the frame.
#include "app/ui/frame.h"
