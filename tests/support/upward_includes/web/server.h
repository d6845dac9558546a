// Allowed: the server over the flash commands.
#include "flash/command.h"
