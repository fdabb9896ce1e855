#include "GlFixture.h"
