#pragma once

#include <sys/types.h>

#include <ctime>
#include <functional>

#include <QString>

typedef struct _GstElement GstElement;

/// A sound made ready ahead of the instant it is wanted: the file opened and prerolled on a playbin of
/// its own, paused at its start, its stream already open (corked) on the PulseAudio sound server at
/// volume 0. What is left when it is wanted is to set the volume and start playing (see
/// `TFormRunPlay::playPrerolled`).
///
/// The preroll runs in the framework's threads: the constructor returns at once. Nothing watches it;
/// whether it succeeded is asked when the sound is wanted. It never is without a sound server, and a
/// file with a picture is never ready: a video plays through the player's own surface, and the owner
/// hears of the picture as soon as the file's streams are known, to let go of the file at once.
class PrerolledSound {
public:
    /// Opens `path` (a local file name) and starts its preroll. `streamsFound`, when given, is called
    /// from one of the framework's threads when the file turns out to hold pictures; ask
    /// `holdsPicture()` from the owner's thread.
    explicit PrerolledSound(const QString& path, std::function<void()> streamsFound = {});
    /// Stops and closes the file and its sound stream, unless the playbin was handed over.
    ~PrerolledSound();
    PrerolledSound(const PrerolledSound&) = delete;
    PrerolledSound& operator=(const PrerolledSound&) = delete;

    const QString& file() const { return m_file; }
    /// The preroll has finished without an error, the file has sound and no picture, and the file on
    /// disk is still the one opened (not removed, replaced or rewritten since).
    bool ready() const;
    /// The file on disk is still the one opened.
    bool unchanged() const;
    /// The file holds pictures, as far as its preroll has found.
    bool holdsPicture() const;
    /// Hands over the playbin, paused at the start of the file, with its bus free for a new owner;
    /// nullptr when not `ready()`. The caller owns the reference; this object is empty afterwards.
    GstElement* take();

    /// The playbin until it is handed over, for those who look inside it.
    GstElement* pipeline() const { return m_pipeline; }

private:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        bool operator==(const Identity& o) const
        {
            return device == o.device && inode == o.inode && size == o.size &&
                   modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
        }
    };
    Identity identityOnDisk() const;

    QString m_file;
    std::function<void()> m_streamsFound;
    Identity m_identity;
    GstElement* m_pipeline = nullptr;
};
