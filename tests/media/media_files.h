#pragma once

#include <QString>

/// Media made for the tests with the framework's own test sources, each file when first asked for,
/// in a temporary folder that lives as long as the test program.
struct MediaFiles {
    QString wav2500ms() const; // 2.5 s of tone
    QString wav400ms() const;  // shorter than one position tick
    QString video640() const;  // 640 x 480, 3 s, no sound
    QString video1024() const; // 1024 x 576, 3 s, no sound
    QString garbage() const;   // random bytes
    QString missing() const;   // a name in the folder that no file has

    static const MediaFiles& get();
};

/// Makes a file by running a launch line to its end; ends the test program when it cannot.
void makeMedia(const QString& launchLine);

/// The factory name of the element that takes the sound in a loaded playbin; empty when none.
QString audioSinkName(void* pipeline);

/// The tests run twice: with no sound output, and against the PulseAudio server of the test run
/// (BELVANE_MEDIA_OUTPUT=pulse).
bool pulseVariant();

/// Points the sound server and the sound card configuration at nothing, for the pipelines made after.
void hideSoundOutputs();
