// Profile (INI) files through GetPrivateProfileStringA and
// WritePrivateProfileStringA. A null pointer is passed on as NULL, which is
// how those functions remove a key (null value) or a whole section (null key).
//
// Both hold the file's lock among processes while they work: a write reads
// the whole file, changes one line and writes the whole file anew, with
// nothing to stop another process in between. Two programs saving at once
// (the window and the command line, or two copies of either) would each
// write back the other's file as it was before, losing an item; a program
// reading while another writes could find the file cut short and take a
// stored item for absent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The file's lock among the processes of this session, held for the life of
// the object: a named mutex whose name comes from the file's full path with
// case ignored, as the file system compares paths, so every spelling of the
// path shares it. Taken by the two functions below; a caller may hold it
// across several of them (the mutex may be taken again by its holder).
class ProfileFileLock {
 public:
  explicit ProfileFileLock(std::string_view file);
  ~ProfileFileLock();
  ProfileFileLock(const ProfileFileLock&) = delete;
  ProfileFileLock& operator=(const ProfileFileLock&) = delete;

 private:
  void* mutex_ = nullptr;
  bool owned_ = false;
};

// WritePrivateProfileStringA; true when the system reports success.
bool WritePrivateProfile(const char* section, const char* key, const char* value,
                         const char* file);

// GetPrivateProfileStringA with a buffer of bufferSize bytes (at least 1):
// the value, or defaultValue when the file, section or key is missing, cut to
// bufferSize - 1 bytes.
std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file);

}  // namespace platform
