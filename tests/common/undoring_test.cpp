#include "common/undoring.h"
