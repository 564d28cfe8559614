// strict numbers: the one reader of whole numbers and floats in the game's files.
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "records/records.h"

namespace vurkhold {

namespace {

// The conversion must have taken something and stopped exactly where the token ends.
bool token_ends_at(const char* start, const char* end) {
  return end != start && (*end == '\0' || std::isspace(static_cast<unsigned char>(*end)));
}

}  // namespace

bool read_number(const char** text, int* value) {
  errno = 0;
  char* end = nullptr;
  const long v = std::strtol(*text, &end, 10);
  if (!token_ends_at(*text, end) || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
  *value = static_cast<int>(v);
  *text = end;
  return true;
}

// "inf", "nan" and values past the float range (which read as infinite) are refused; a
// value too small for a float reads as the nearest one, as it always has.
bool read_number(const char** text, float* value) {
  char* end = nullptr;
  const float v = std::strtof(*text, &end);
  if (!token_ends_at(*text, end) || !std::isfinite(v)) return false;
  *value = v;
  *text = end;
  return true;
}

}  // namespace vurkhold
