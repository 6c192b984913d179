#include "walk_cache.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "entry_record.h"
#include "pack_source.h"
#include "screen_layout.h"

namespace krt::archive {
namespace {

// The magic and the section table: all that decides where the entry ends
// and so where the walk goes next. Every walk window holds them whole.
constexpr uint32_t kCheckedHeaderBytes = SectionEntryEnd(kFifthSection);
static_assert(kLastMagicOffset + kCheckedHeaderBytes <= kScanWindowSize);
static_assert(kCheckedHeaderBytes <= kScreenHeaderSize);

// A new tail's first room, in entries; it doubles as the walk goes on.
constexpr uint32_t kFirstTailRoom = 64;

// The file a walk was made over, as it stood then.
struct FileKey {
  uint32_t volume = 0;
  uint32_t index_high = 0;
  uint32_t index_low = 0;
  uint32_t size = 0;
  uint32_t written_low = 0;
  uint32_t written_high = 0;

  bool operator==(const FileKey&) const = default;
};

struct KeptEntry {
  uint32_t position = 0;
  uint32_t header_digest = 0;
};

// Entries 0 to count - 1 of one walk from the file's first byte, in walk
// order, so positions rise and an entry's place is its index.
struct KeptWalk {
  FileKey key;
  KeptEntry* entries = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
  int64_t resume_offset = 0;  // where the walk goes on after the last entry
  bool complete = false;      // the walk met the pack's end after the last entry
  uint64_t generation = 0;    // 0 while the slot is empty
  uint64_t last_use = 0;
};

struct WalkCache {
  SRWLOCK lock = SRWLOCK_INIT;
  KeptWalk walks[kCachedWalks];
  // Counts uses and new walks alike: a new walk's generation, a use's time.
  uint64_t clock = 0;

  ~WalkCache() {
    for (KeptWalk& walk : walks) std::free(walk.entries);
  }
};

// The one state the plug-in keeps between calls. Constant-initialised, so
// no thread meets it half made.
constinit WalkCache g_cache;

class CacheLock {
 public:
  CacheLock() { AcquireSRWLockExclusive(&g_cache.lock); }
  ~CacheLock() { ReleaseSRWLockExclusive(&g_cache.lock); }
  CacheLock(const CacheLock&) = delete;
  CacheLock& operator=(const CacheLock&) = delete;
};

uint32_t HeaderDigest(const uint8_t* header) {
  uint32_t hash = 2166136261u;
  for (uint32_t at = 0; at < kCheckedHeaderBytes; ++at) hash = (hash ^ header[at]) * 16777619u;
  return hash;
}

// False when the query fails or the file's size is no longer the one the
// call measured: a walk made now would not belong to either.
bool QueryFileKey(HANDLE file, uint32_t total_length, FileKey* key) {
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file, &info) == FALSE) return false;
  if (info.nFileSizeHigh != 0 || info.nFileSizeLow != total_length) return false;
  *key = FileKey{info.dwVolumeSerialNumber,
                 info.nFileIndexHigh,
                 info.nFileIndexLow,
                 info.nFileSizeLow,
                 info.ftLastWriteTime.dwLowDateTime,
                 info.ftLastWriteTime.dwHighDateTime};
  return true;
}

// The entries one call's walk met, to be added to the kept walk.
struct WalkedTail {
  KeptEntry* entries = nullptr;
  uint32_t count = 0;
  uint32_t capacity = 0;
  uint32_t room = 0;  // entries the kept walk may still take
  bool recording = true;
  int64_t resume_offset = 0;
};

void Record(const PackEntry& entry, const uint8_t* header, int64_t next_offset, WalkedTail* tail) {
  if (!tail->recording) return;
  if (tail->count == tail->room) {
    tail->recording = false;
    return;
  }
  if (tail->count == tail->capacity) {
    const uint32_t grown = std::min(tail->room, std::max(kFirstTailRoom, tail->capacity * 2));
    auto* entries = static_cast<KeptEntry*>(std::realloc(tail->entries, sizeof(KeptEntry) * grown));
    if (entries == nullptr) {
      tail->recording = false;
      return;
    }
    tail->entries = entries;
    tail->capacity = grown;
  }
  tail->entries[tail->count++] = KeptEntry{entry.position, HeaderDigest(header)};
  tail->resume_offset = next_offset;
}

// Walks on to the entry at `position` and names it, recording the entries
// met into `tail` when there is one.
Result NameFromWalk(PackWalk* walk, uint32_t position, WalkedTail* tail, char* name) {
  for (;;) {
    const int64_t window_offset = walk->offset;
    PackEntry entry;
    if (!NextPackEntry(walk, &entry)) break;
    if (tail != nullptr) {
      const uint8_t* header = walk->source.image != nullptr
                                  ? walk->source.image + entry.position
                                  : walk->window + (entry.position - window_offset);
      Record(entry, header, walk->offset, tail);
    }
    if (entry.position == position) {
      FormatEntryName(entry.index, name);
      return kSuccess;
    }
    if (entry.position > position) break;
  }
  if (walk->ended && walk->end_result != kSuccess) return walk->end_result;
  FormatUnlistedName(position, name);
  return kSuccess;
}

KeptWalk* FindWalk(const FileKey& key) {
  for (KeptWalk& walk : g_cache.walks) {
    if (walk.generation != 0 && walk.key == key) return &walk;
  }
  return nullptr;
}

// Empties the slot; the caller frees what it hands back, after the lock.
KeptEntry* EmptySlot(KeptWalk* walk) {
  KeptEntry* entries = walk->entries;
  *walk = KeptWalk{};
  return entries;
}

// What the kept walk says about the position: a name, or where this call's
// walk has to go on from.
struct Lookup {
  bool named = false;
  bool listed = false;
  uint32_t index = 0;
  // Where to go on: the kept walk's generation (0: none, start afresh), its
  // entry count and its resume offset.
  uint64_t generation = 0;
  uint32_t base_count = 0;
  int64_t resume_offset = 0;
};

Lookup LookUp(const FileKey& key, uint32_t position, uint32_t header_digest, KeptEntry** stale) {
  Lookup lookup;
  KeptWalk* walk = FindWalk(key);
  if (walk == nullptr) return lookup;
  walk->last_use = ++g_cache.clock;
  const KeptEntry* begin = walk->entries;
  const KeptEntry* end = begin + walk->count;
  if (walk->count > 0 && position <= end[-1].position) {
    const KeptEntry* found =
        std::lower_bound(begin, end, position,
                         [](const KeptEntry& entry, uint32_t at) { return entry.position < at; });
    if (found->position != position) {
      lookup.named = true;  // the walk passes the position
      return lookup;
    }
    if (found->header_digest != header_digest) {
      // The file changed and its key did not show it: nothing kept of it holds.
      *stale = EmptySlot(walk);
      return lookup;
    }
    lookup.named = true;
    lookup.listed = true;
    lookup.index = static_cast<uint32_t>(found - begin);
    return lookup;
  }
  if (walk->complete) {
    lookup.named = true;
    return lookup;
  }
  lookup.generation = walk->generation;
  lookup.base_count = walk->count;
  lookup.resume_offset = walk->resume_offset;
  return lookup;
}

// Adds the tail to the kept walk it went on from, or keeps it as a new walk
// when it started at the first byte. The tail's array is taken over or
// handed back through `unused` for the caller to free after the lock.
void Keep(const FileKey& key, const Lookup& from, WalkedTail* tail, bool complete,
          KeptEntry** unused) {
  *unused = tail->entries;
  if (from.generation != 0) {
    KeptWalk* walk = FindWalk(key);
    // Another call went on first, or the walk was dropped meanwhile.
    if (walk == nullptr || walk->generation != from.generation || walk->count != from.base_count) {
      return;
    }
    if (walk->capacity - walk->count < tail->count) {
      const uint32_t grown =
          std::min(kCachedWalkEntries, std::max(walk->count + tail->count, walk->capacity * 2));
      auto* entries =
          static_cast<KeptEntry*>(std::realloc(walk->entries, sizeof(KeptEntry) * grown));
      if (entries == nullptr) return;
      walk->entries = entries;
      walk->capacity = grown;
    }
    std::copy(tail->entries, tail->entries + tail->count, walk->entries + walk->count);
    walk->count += tail->count;
    if (tail->count > 0) walk->resume_offset = tail->resume_offset;
    walk->complete = complete;
    return;
  }
  if (FindWalk(key) != nullptr) return;  // another call kept one meanwhile
  KeptWalk* slot = g_cache.walks;
  for (KeptWalk& walk : g_cache.walks) {
    if (walk.last_use < slot->last_use) slot = &walk;
  }
  KeptEntry* evicted = EmptySlot(slot);
  slot->key = key;
  slot->entries = tail->entries;
  slot->count = tail->count;
  slot->capacity = tail->capacity;
  slot->resume_offset = tail->count > 0 ? tail->resume_offset : 0;
  slot->complete = complete;
  slot->generation = ++g_cache.clock;
  slot->last_use = slot->generation;
  *unused = evicted;
}

Result NameFileEntry(HANDLE file, const FileKey& key, uint32_t total_length, uint32_t position,
                     const uint8_t* header, char* name) {
  Lookup lookup;
  KeptEntry* stale = nullptr;
  {
    CacheLock guard;
    lookup = LookUp(key, position, HeaderDigest(header), &stale);
  }
  std::free(stale);
  if (lookup.named) {
    if (lookup.listed) {
      FormatEntryName(lookup.index, name);
    } else {
      FormatUnlistedName(position, name);
    }
    return kSuccess;
  }

  PackWalk walk;
  StartPackWalk(FilePackSource(file), lookup.resume_offset, total_length, &walk);
  walk.next_index = lookup.base_count;
  WalkedTail tail;
  tail.room = kCachedWalkEntries - lookup.base_count;
  const Result result = NameFromWalk(&walk, position, &tail, name);
  // Every entry met was kept, and the walk found the pack's end after them.
  const bool complete = tail.recording && walk.ended && walk.end_result == kSuccess;

  // Kept only while the file still is the one the key describes, so that a
  // walk over a file changed under it is not kept under the old key.
  FileKey after;
  KeptEntry* unused = tail.entries;
  if (QueryFileKey(file, total_length, &after) && after == key) {
    CacheLock guard;
    Keep(key, lookup, &tail, complete, &unused);
  }
  std::free(unused);
  return result;
}

}  // namespace

Result NameEntryAt(HANDLE file, const uint8_t* image, uint32_t total_length, uint32_t position,
                   const uint8_t* header, char* name) {
  FileKey key;
  if (image != nullptr || !QueryFileKey(file, total_length, &key)) {
    PackWalk walk;
    StartPackWalk(image != nullptr ? PackSource{image} : FilePackSource(file), 0, total_length,
                  &walk);
    return NameFromWalk(&walk, position, nullptr, name);
  }
  return NameFileEntry(file, key, total_length, position, header, name);
}

}  // namespace krt::archive
