#include "TcpIpSettingsDialog.h"
