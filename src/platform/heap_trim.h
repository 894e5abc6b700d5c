#pragma once

/// Gives the heap's free pages back to the system (every thread's arena, not only the top of the
/// main one), so that memory used for a while and freed does not stay with the process.
void returnFreeHeap();

/// Notes the files mapped before the sound libraries are loaded (called once, just before), so that
/// returnSoundLibraryPages() knows which libraries came with the sound.
void noteLibrariesBeforeSound();

/// Unmaps the resident pages of the code and read-only data of the libraries loaded for the sound
/// (and of the sound server's client libraries) while no sound is playing. The pages stay in the
/// system's page cache and are mapped again, without reading the disk, when next used; only pages
/// that are exactly the file's contents are let go, never a page the loader or the program wrote.
/// Does nothing where /proc cannot be read or the kernel refuses.
void returnSoundLibraryPages();
