#include "common/pane.h"
