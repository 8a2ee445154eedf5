#include "self.h"
// one level deeper
