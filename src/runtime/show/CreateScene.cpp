#include "runtime/Demo.h"
