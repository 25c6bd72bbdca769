// Fixture: gamma includes alpha back, closing a loop of three folders.
#include "alpha/Alpha.h"
