// online_match
#include "net/net.h"
