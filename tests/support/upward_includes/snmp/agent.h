// An SNMP file that reaches into the hypertext server.
#include "web/server.h"
#include "flash/allowed.h"
