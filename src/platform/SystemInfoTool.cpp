#include "SystemInfoTool.h"
