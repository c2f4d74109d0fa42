#include "common/textlines.h"
