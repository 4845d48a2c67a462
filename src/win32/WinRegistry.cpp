#include "WinRegistry.h"
