#include "common/textfile.h"
