// Includes upward on purpose: the layers check must refuse it.
#pragma once
#include "high.h"
