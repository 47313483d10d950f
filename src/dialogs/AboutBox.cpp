#include "AboutBox.h"
