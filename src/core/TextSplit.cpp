#include "TextSplit.h"
