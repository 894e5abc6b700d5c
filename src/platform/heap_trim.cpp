#include "platform/heap_trim.h"

#include <malloc.h>

void returnFreeHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}
