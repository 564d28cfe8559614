// session
#include "net/net.h"
