#include "TimeoutDialog.h"
