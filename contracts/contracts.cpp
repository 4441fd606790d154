// The contracts are interfaces only; this unit gives the library a body.
#include "contracts/DataConnection.h"
#include "contracts/ForwardingConnection.h"
#include "contracts/ForwardingCursor.h"
