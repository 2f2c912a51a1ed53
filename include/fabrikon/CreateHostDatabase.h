// CreateHostDatabase: the call that creates the embedded host database a
// host program opens with OpenConnection. It is declared with the connection
// (fabrikon/Connection.h); this header is kept for hosts that include it.
#pragma once
#include "fabrikon/Connection.h"
