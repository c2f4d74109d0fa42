#include "tools/corpusextractor.h"
