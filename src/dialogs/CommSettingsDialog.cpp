#include "CommSettingsDialog.h"
