#include "decoder/TsbkHandlers.h"
#include "decoder/TsbkDispatcher.h"

void RegisterManufacturerHandlers(TsbkDispatcher&) {}
