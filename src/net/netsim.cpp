// netsim
#include "net/net.h"
