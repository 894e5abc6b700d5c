#include "platform/heap_trim.h"

#include <fcntl.h>
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// /proc/self/pagemap holds one 64-bit word per page of the address space.
constexpr std::uint64_t kPresent = 1ULL << 63;
constexpr std::uint64_t kFilePage = 1ULL << 61; // the file's own page, not a private copy

// One line of /proc/self/maps that maps a file read-only.
struct Mapping {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    std::string path;
};

// A mapping as it was before the first sound, with which of its pages were resident.
struct NotedMapping {
    Mapping mapping;
    std::vector<bool> resident;
};

// By where each mapping begins; empty until the first sound.
std::map<std::uintptr_t, NotedMapping>& pagesBeforeSound()
{
    static std::map<std::uintptr_t, NotedMapping> noted;
    return noted;
}

// Mappings of files that no one can write through: their pages, unless copied, are the file's. A
// device's mapping is not memory to give back.
std::vector<Mapping> readOnlyFileMappings()
{
    std::vector<Mapping> found;
    FILE* maps = std::fopen("/proc/self/maps", "re");
    if (!maps)
        return found;
    char line[4096];
    while (std::fgets(line, sizeof line, maps)) {
        unsigned long begin = 0, end = 0;
        char permissions[5] = {};
        int consumed = 0;
        if (std::sscanf(line, "%lx-%lx %4s %*s %*s %*s%n", &begin, &end, permissions, &consumed) != 3 ||
            consumed == 0 || permissions[1] == 'w')
            continue;
        const char* path = std::strchr(line + consumed, '/');
        if (!path || std::strncmp(path, "/dev/", 5) == 0)
            continue;
        std::string file(path);
        if (file.back() == '\n')
            file.pop_back();
        found.push_back({begin, end, std::move(file)});
    }
    std::fclose(maps);
    return found;
}

std::vector<std::uint64_t> pageWords(int pagemap, const Mapping& m, long pageSize)
{
    std::vector<std::uint64_t> words((m.end - m.begin) / pageSize);
    const off_t at = off_t(m.begin / pageSize * sizeof(std::uint64_t));
    const ssize_t bytes = pread(pagemap, words.data(), words.size() * sizeof(std::uint64_t), at);
    words.resize(bytes > 0 ? std::size_t(bytes) / sizeof(std::uint64_t) : 0);
    return words;
}

// The libraries of the sound that the program itself links, so mapped from its start: GStreamer's,
// the code generator of its converters and the sound server's client. The idle clock does not run
// them, whatever of them start-up touched.
bool soundLibrary(const std::string& path)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    for (const char* prefix : {"libgst", "liborc", "libpulse"})
        if (name.rfind(prefix, 0) == 0)
            return true;
    return false;
}

// The pages of $m that the idle clock used: those resident before the first sound in the same
// mapping, unless it belongs to the sound. None where the mapping came later.
std::vector<bool> pagesToKeep(const Mapping& m)
{
    const auto before = pagesBeforeSound().find(m.begin);
    if (before == pagesBeforeSound().end() || before->second.mapping.end != m.end ||
        before->second.mapping.path != m.path || soundLibrary(m.path))
        return {};
    return before->second.resident;
}

} // namespace

void keepOneHeap()
{
#ifdef __GLIBC__
    mallopt(M_ARENA_MAX, 1);
#endif
}

void returnFreeHeap()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void notePagesBeforeSound()
{
    const int pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (pagemap < 0)
        return;
    const long pageSize = sysconf(_SC_PAGESIZE);
    for (const Mapping& m : readOnlyFileMappings()) {
        NotedMapping& n = pagesBeforeSound()[m.begin];
        n.mapping = m;
        for (std::uint64_t word : pageWords(pagemap, m, pageSize))
            n.resident.push_back(word & kPresent);
    }
    close(pagemap);
}

void returnPagesUsedForSound()
{
    if (pagesBeforeSound().empty()) // no sound was ever made
        return;
    const int pagemap = open("/proc/self/pagemap", O_RDONLY | O_CLOEXEC);
    if (pagemap < 0)
        return;
    const long pageSize = sysconf(_SC_PAGESIZE);
    for (const Mapping& m : readOnlyFileMappings()) {
        const std::vector<bool> kept = pagesToKeep(m);
        const std::vector<std::uint64_t> words = pageWords(pagemap, m, pageSize);
        // Runs of pages to let go: resident, still the file's own, and not kept. A page swapped out or
        // copied is never in a run, so no run loses what was written.
        const auto goes = [&](std::size_t p) {
            return (words[p] & kPresent) && (words[p] & kFilePage) && !(p < kept.size() && kept[p]);
        };
        std::size_t i = 0;
        while (i < words.size()) {
            if (!goes(i)) {
                ++i;
                continue;
            }
            const std::size_t first = i;
            while (i < words.size() && goes(i))
                ++i;
            madvise(reinterpret_cast<void*>(m.begin + first * pageSize), (i - first) * pageSize,
                    MADV_DONTNEED);
        }
    }
    close(pagemap);
}
