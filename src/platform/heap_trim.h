#pragma once

/// Keeps every thread's allocations in one heap (called first, before any thread starts). The sound's
/// threads would otherwise each hold a heap of their own, whose freed memory no other thread reuses.
void keepOneHeap();

/// Gives the heap's free pages back to the system (every thread's arena, not only the top of the
/// main one), so that memory used for a while and freed does not stay with the process.
void returnFreeHeap();

/// Notes which pages of the mapped files are resident before the first sound (called once, just
/// before the sound libraries start), so that returnPagesUsedForSound() knows what the idle clock uses.
void notePagesBeforeSound();

/// While no sound plays, unmaps the pages of files mapped read-only that were not resident before the
/// first sound: the code and data that ringing drew in (the sound's libraries, and the parts of the
/// others that made the window and its sound). The pages stay in the system's page cache and are
/// mapped again, without reading the disk, when next used. Only pages that are exactly the file's
/// contents are let go, never one the loader or the program wrote. Does nothing where /proc cannot be
/// read or the kernel refuses.
void returnPagesUsedForSound();
