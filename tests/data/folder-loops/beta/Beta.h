// Fixture: beta builds on gamma.
#pragma once
#include "gamma/Gamma.h"
