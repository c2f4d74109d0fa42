#include "common/findreplace.h"
