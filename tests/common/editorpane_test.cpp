#include "common/editorpane.h"
