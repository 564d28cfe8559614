// protocol
#include "net/net.h"
