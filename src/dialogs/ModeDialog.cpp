#include "ModeDialog.h"
