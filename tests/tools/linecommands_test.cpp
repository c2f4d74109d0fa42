#include "tools/cli.h"
