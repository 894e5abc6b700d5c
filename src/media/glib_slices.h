#pragma once

/// GLib before 2.76 keeps its slices (most of GStreamer's small objects) in slabs of its own, which one
/// live object keeps whole: what a ringing freed there would stay with the program all day. GLib
/// reads how to allocate them as it loads, before main, so where it would use slabs the program starts
/// itself once more with slices taken from the C library's heap, which gives freed pages back. Called
/// first thing in main; a user's own G_SLICE stands, and where the start cannot be made again the run
/// goes on as it is.
void startWithSlicesInTheHeap(char* argv[]);
