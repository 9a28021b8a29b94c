#include "shell/explanatory_pictures.h"
