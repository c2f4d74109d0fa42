#include "common/linelist.h"
