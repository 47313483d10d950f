#include "LinkModeRules.h"
