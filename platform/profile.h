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

namespace platform {

// WritePrivateProfileStringA; true when the system reports success.
bool WritePrivateProfile(const char* section, const char* key, const char* value,
                         const char* file);

// GetPrivateProfileStringA with a buffer of bufferSize bytes (at least 1):
// the value, or defaultValue when the file, section or key is missing, cut to
// bufferSize - 1 bytes.
std::string ReadPrivateProfile(const char* section, const char* key, const char* defaultValue,
                              std::size_t bufferSize, const char* file);

}  // namespace platform
