#include "platform/heap_trim.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <set>
#include <string>

namespace {

std::set<std::string>& librariesBeforeSound()
{
    static std::set<std::string> files;
    return files;
}

bool noted = false;

// One mapping of /proc/self/smaps: its range, permissions, file and the pages in it that are not the
// file's own (written by the loader or the program, or never from the file).
struct Mapping
{
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    char permissions[5] = {};
    std::string path;
    long residentKiB = 0;
    long anonymousKiB = -1;
    long swappedKiB = -1;
};

// The libraries of the sound the program itself links (so mapped from its start): GStreamer's, the
// code generator of its converters and the sound server's client.
bool soundLibrary(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    for (const char* prefix : {"libgst", "liborc", "libpulse"})
        if (name.rfind(prefix, 0) == 0)
            return true;
    return false;
}

void letGo(const Mapping& m)
{
    // Private and never writable, every page still the file's: unmapping loses nothing. A page the
    // loader wrote (relocations made read-only afterwards) and then swapped out counts under Swap, not
    // Anonymous: such a mapping is left as it is.
    if (m.path.empty() || m.path.front() != '/' || m.permissions[1] == 'w' || m.permissions[3] != 'p'
        || m.anonymousKiB != 0 || m.swappedKiB != 0 || m.residentKiB == 0)
        return;
    if (librariesBeforeSound().count(m.path) && !soundLibrary(m.path))
        return;
    madvise(reinterpret_cast<void*>(m.begin), m.end - m.begin, MADV_DONTNEED);
}

} // namespace

void returnFreeHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void noteLibrariesBeforeSound()
{
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return;
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        const char* path = std::strchr(line, '/');
        if (!path)
            continue;
        std::string file(path);
        if (!file.empty() && file.back() == '\n')
            file.pop_back();
        librariesBeforeSound().insert(file);
    }
    std::fclose(maps);
    noted = true;
}

void returnSoundLibraryPages()
{
    if (!noted) // no sound was ever made: nothing of it is mapped
        return;
    FILE* smaps = std::fopen("/proc/self/smaps", "re");
    if (!smaps)
        return;
    char line[4096];
    Mapping current;
    bool have = false;
    while (std::fgets(line, sizeof line, smaps)) {
        unsigned long begin = 0, end = 0;
        char permissions[5] = {};
        int consumed = 0;
        if (std::sscanf(line, "%lx-%lx %4s %*s %*s %*s%n", &begin, &end, permissions, &consumed) == 3
            && consumed > 0) {
            if (have)
                letGo(current);
            current = Mapping{begin, end, {}, {}, 0, -1, -1};
            std::memcpy(current.permissions, permissions, sizeof permissions);
            const char* path = std::strchr(line + consumed, '/');
            if (path) {
                current.path = path;
                if (current.path.back() == '\n')
                    current.path.pop_back();
            }
            have = true;
            continue;
        }
        // The sizes that matter, each "Name:   123 kB".
        for (auto [name, size] : {std::pair{"Rss:", &current.residentKiB},
                                  std::pair{"Anonymous:", &current.anonymousKiB},
                                  std::pair{"Swap:", &current.swappedKiB}})
            if (std::strncmp(line, name, std::strlen(name)) == 0)
                *size = std::strtol(line + std::strlen(name), nullptr, 10);
    }
    if (have)
        letGo(current);
    std::fclose(smaps);
}
