#pragma once

/// Gives the heap's free pages back to the system (every thread's arena, not only the top of the
/// main one), so that memory used for a while and freed does not stay with the process.
void returnFreeHeap();
