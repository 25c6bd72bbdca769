// Fixture: alpha builds on beta.
#pragma once
#include "beta/Beta.h"
