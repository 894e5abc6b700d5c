#pragma once

#include <QStringList>

/// The file extensions (without dots) of the audio and video formats that the installed GStreamer
/// can open and decode, as its type finders name them. Asked once, at first use.
struct MediaExtensions {
    QStringList audio;
    QStringList video;
};
const MediaExtensions& decodableMediaExtensions();

/// The name filters every media file chooser offers: all supported files first, then audio, video
/// and all files.
QStringList mediaFileNameFilters();
