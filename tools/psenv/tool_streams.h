#include "core/streams.h"
