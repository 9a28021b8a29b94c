#include "shell/system_info.h"
