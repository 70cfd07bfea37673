#include "decoder/P25Class.h"
#include "decoder/TsbkHandlers.h"

int DecodeMultiBlockPacket(P25Class&, const MultiBlockPacket&)
{
    return 0;
}
