#include "SerialPortList.h"
