// Files and directories over POSIX, and the conventions the core writes their paths with, for
// every POSIX backend.
#include "backends/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

#include "backends/posix/posix_system.h"
#include "base/name_order.h"
#include "platform/platform.h"

namespace native {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string WithSlashes(const char* path, char separator) {
  std::string p = path;
  for (char& c : p) {
    if (c == separator) c = '/';
  }
  return p;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path) {
  // O_NONBLOCK keeps the open itself from waiting (a FIFO without a writer); the type is then
  // read from the open descriptor, so nothing can swap the file in between.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

std::string PosixPath(const char* path) {
  if (!path) return "";
  const char separator = CurrentSystem().conventions.pathSeparator;
  if (separator != '/') return WithSlashes(path, separator);
  std::string literal = path;
  if (literal.rfind(".\\", 0) == 0 && !Exists(literal)) return WithSlashes(path, '\\');
  return literal;
}

void OrderListing(std::vector<std::string>* names, std::size_t batch) {
  std::vector<char> text;
  std::vector<NamePlace> places;
  for (const std::string& name : *names) {
    places.push_back({text.size(), name.size()});
    text.insert(text.end(), name.begin(), name.end());
  }
  NameSorter sorter(text);
  batch = std::max<std::size_t>(batch, 1);
  for (std::size_t first = 0; first < places.size(); first += batch) {
    sorter.Add(std::span(places).subspan(first, std::min(batch, places.size() - first)));
  }
  std::vector<std::string> ordered;
  ordered.reserve(names->size());
  for (std::uint32_t i : sorter.Order()) ordered.push_back(std::move((*names)[i]));
  *names = std::move(ordered);
}

}  // namespace native

namespace platform {

// The whole listing at once: the names back to back with their terminators, where each starts
// and what the system says it is in the order read, and the order the listing hands them over
// in (as read where it is empty).
struct DirectoryListing {
  struct Name {
    std::size_t start;
    std::uint32_t length;
    unsigned char type;  // DT_DIR, DT_LNK, DT_UNKNOWN, ...
  };
  std::vector<char> text;
  std::vector<Name> names;
  std::vector<std::uint32_t> order;
  bool textTaken = false;
  std::size_t next = 0;
};

struct ReadFile {
  std::FILE* file;
};

const Conventions& PlatformConventions() { return native::CurrentSystem().conventions; }

namespace {

void CopyName(const char* from, std::size_t length, char* name, std::size_t nameSize) {
  if (nameSize == 0) return;
  length = std::min(length, nameSize - 1);
  std::memcpy(name, from, length);
  name[length] = '\0';
}

}  // namespace

bool GetCurrentDir(char* buffer, std::size_t size) {
  if (size == 0) return false;
  if (getcwd(buffer, size) == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool SetCurrentDir(const char* path) { return chdir(native::PosixPath(path).c_str()) == 0; }

// POSIX names are exact: the name given is the file's only one.
bool ListedNameOf(const char*, char*, std::size_t) { return false; }

PathKind KindOfPath(const char* path) {
  struct stat st;
  if (stat(native::PosixPath(path).c_str(), &st) != 0) return PathKind::missing;
  return S_ISDIR(st.st_mode) ? PathKind::directory : PathKind::file;
}

namespace {

// The system hands a directory's records over in blocks of this size, as readdir reads them.
constexpr std::size_t recordBlockSize = 32768;

// Appends the names of one block of records as getdents64 fills it.
void ReadRecords(const char* block, std::size_t size, DirectoryListing* listing) {
  constexpr std::size_t nameAt = offsetof(struct dirent64, d_name);
  std::size_t at = 0;
  while (at + nameAt < size) {
    unsigned short length = 0;
    unsigned char type = DT_UNKNOWN;
    std::memcpy(&length, block + at + offsetof(struct dirent64, d_reclen), sizeof length);
    std::memcpy(&type, block + at + offsetof(struct dirent64, d_type), sizeof type);
    if (length <= nameAt || at + length > size) break;
    const char* name = block + at + nameAt;
    const std::size_t nameLength = strnlen(name, length - nameAt);
    listing->names.push_back({listing->text.size(), static_cast<std::uint32_t>(nameLength), type});
    listing->text.insert(listing->text.end(), name, name + nameLength);
    listing->text.push_back('\0');
    at += length;
  }
}

// Reads a directory's records a block at a time on the calling thread, while another takes the
// names out of the blocks read and, where the listing is kept in order, keys and sorts them, so
// that a large directory is listed in order in little more time than it takes to read. A block
// taken is read into again; a directory that fits one block is listed on the calling thread.
class RecordReader {
 public:
  RecordReader(int directory, DirectoryListing* listing)
      : directory_(directory),
        listing_(listing),
        ordered_(native::CurrentSystem().ordersListings),
        sorter_(listing->text) {}
  ~RecordReader() { EndTaking(); }
  RecordReader(const RecordReader&) = delete;
  RecordReader& operator=(const RecordReader&) = delete;

  // Reads every record, takes every name and sets the listing's order.
  void ReadAll() {
    for (;;) {
      char* block = FreeBlock();
      const ssize_t size = getdents64(directory_, block, recordBlockSize);
      if (size <= 0) break;
      Give(block, static_cast<std::size_t>(size));
    }
    EndTaking();
    if (failure_) std::rethrow_exception(failure_);
    TakeAll();  // the blocks no thread took
    if (failure_) std::rethrow_exception(failure_);
    if (ordered_) listing_->order = sorter_.Order();
  }

 private:
  struct Given {
    char* block;
    std::size_t size;
  };

  char* FreeBlock() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (!free_.empty()) {
        char* block = free_.back();
        free_.pop_back();
        return block;
      }
    }
    blocks_.push_back(std::make_unique<char[]>(recordBlockSize));
    return blocks_.back().get();
  }

  void Give(char* block, std::size_t size) {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      given_.push_back({block, size});
    }
    if (++blocksGiven_ == 2) {
      try {
        worker_ = std::thread([this] { TakeAll(); });
      } catch (const std::system_error&) {
        // Without a thread of its own the blocks are taken once the last has been read.
      }
    }
    ready_.notify_one();
  }

  void EndTaking() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    ready_.notify_one();
    if (worker_.joinable()) worker_.join();
  }

  void TakeAll() {
    try {
      std::vector<Given> taken;
      std::vector<NamePlace> places;
      for (;;) {
        {
          std::unique_lock<std::mutex> lock(mutex_);
          ready_.wait(lock, [this] { return !given_.empty() || ended_; });
          if (given_.empty()) return;
          taken.swap(given_);
        }
        for (const Given& given : taken) Take(given, places);
        {
          const std::lock_guard<std::mutex> lock(mutex_);
          for (const Given& given : taken) free_.push_back(given.block);
        }
        taken.clear();
      }
    } catch (...) {
      failure_ = std::current_exception();
    }
  }

  void Take(const Given& given, std::vector<NamePlace>& places) {
    const std::size_t first = listing_->names.size();
    ReadRecords(given.block, given.size, listing_);
    if (!ordered_) return;
    places.clear();
    for (std::size_t i = first; i < listing_->names.size(); ++i) {
      places.push_back({listing_->names[i].start, listing_->names[i].length});
    }
    sorter_.Add(places);
  }

  const int directory_;
  DirectoryListing* const listing_;
  const bool ordered_;
  NameSorter sorter_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blocksGiven_ = 0;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::vector<char*> free_;
  std::vector<Given> given_;
  bool ended_ = false;
  std::thread worker_;
  std::exception_ptr failure_;
};

}  // namespace

DirectoryListing* ListCurrentDirectory() {
  // The whole directory is read at once so that the Linux program can list it in order.
  const int directory = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return nullptr;
  auto* listing = new (std::nothrow) DirectoryListing;
  try {
    if (listing) RecordReader(directory, listing).ReadAll();
  } catch (const std::bad_alloc&) {
    // A directory larger than the memory left cannot be listed.
    delete listing;
    listing = nullptr;
  }
  close(directory);
  // A directory removed while current has nothing at all to list.
  if (listing && listing->names.empty()) {
    delete listing;
    return nullptr;
  }
  return listing;
}

bool DirectoryProblem(const char* path, char* text, std::size_t room) {
  if (room > 0) text[0] = '\0';
  DIR* dir = opendir(native::PosixPath(path).c_str());
  if (dir != nullptr) {
    closedir(dir);
    return false;
  }
  if (errno == ENOENT || room == 0) return false;
  std::snprintf(text, room, "%s", std::strerror(errno));
  return true;
}

namespace {

// The kind is what the listing says, or where it cannot tell (a symbolic link, a file system
// that does not say) what stat says of the name: a symbolic link counts as what it leads to, and
// one that leads nowhere (or round in a loop) is a file.
bool IsDirectory(const DirectoryListing::Name& listed, const char* name) {
  if (listed.type == DT_DIR) return true;
  if (listed.type != DT_LNK && listed.type != DT_UNKNOWN) return false;
  return KindOfPath(name) == PathKind::directory;
}

const DirectoryListing::Name& NameAt(const DirectoryListing* listing, std::size_t k) {
  return listing->names[listing->order.empty() ? k : listing->order[k]];
}

}  // namespace

bool NextEntry(DirectoryListing* listing, char* name, std::size_t nameSize, DirectoryEntry* entry) {
  if (!listing || listing->next >= listing->names.size()) return false;
  const DirectoryListing::Name& listed = NameAt(listing, listing->next++);
  CopyName(&listing->text[listed.start], listed.length, name, nameSize);
  if (!entry) return true;
  *entry = {};
  if (nameSize == 0) return true;
  // The kind is read of the name as handed over.
  entry->isDirectory = IsDirectory(listed, name);
  // A name starting with a dot is what a POSIX user calls hidden.
  entry->hidden = name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
  return true;
}

bool TakeEntries(DirectoryListing* listing, std::size_t most, ListedEntries* entries) {
  if (!listing || listing->textTaken || listing->next != 0) return false;
  const std::size_t count = std::min(most, listing->names.size());
  entries->starts.resize(count + 1);
  entries->directories.resize(count + 1);
  // The names are read in the listing's order, far from the order they were read in: each is
  // asked for some entries ahead, so that the reads overlap.
  constexpr std::size_t ahead = 16;
  for (std::size_t k = 0; k < count; ++k) {
    if (k + ahead < count) __builtin_prefetch(&NameAt(listing, k + ahead));
    const DirectoryListing::Name& listed = NameAt(listing, k);
    entries->starts[k + 1] = listed.start;
    entries->directories[k + 1] = IsDirectory(listed, &listing->text[listed.start]);
  }
  // The text is the listing's to the end when NextEntry is to go on.
  if (count == listing->names.size()) {
    entries->text = std::move(listing->text);
  } else {
    entries->text = listing->text;
  }
  listing->textTaken = true;
  listing->next = count;
  return true;
}

void CloseListing(DirectoryListing* listing) { delete listing; }

bool ReadFileStamp(const char* path, FileStamp* stamp) {
  struct stat st;
  if (stat(native::PosixPath(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  stamp->size = static_cast<std::uint64_t>(st.st_size);
  stamp->writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return true;
}

ReadFile* OpenForReading(const char* path) {
  std::FILE* f = native::OpenRegularFile(native::PosixPath(path));
  if (!f) return nullptr;
  // Running out of memory is a failed open like any other, never an exception.
  auto* file = new (std::nothrow) ReadFile{f};
  if (!file) std::fclose(f);
  return file;
}

std::size_t ReadBytes(ReadFile* file, void* buffer, std::size_t size) {
  if (!file || size == 0) return 0;
  return std::fread(buffer, 1, size, file->file);
}

void CloseFile(ReadFile* file) {
  if (!file) return;
  std::fclose(file->file);
  delete file;
}

}  // namespace platform
