#include "dump_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A conversion from an encoding to code points (UTF-32, host order).
class Decoder {
 public:
  explicit Decoder(const char* encoding) : cd_(iconv_open("UTF-32LE", encoding)) {}
  ~Decoder() {
    if (ok()) iconv_close(cd_);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

  // Decodes from *in onwards into at most `room` code points; *in moves past
  // what was decoded. errno after a failure: EILSEQ (a byte outside the
  // encoding at *in), EINVAL (a character cut by the end), E2BIG (no room).
  bool decode(const char** in, size_t* left, std::vector<uint32_t>* out, size_t room) {
    out->resize(room);
    char* inPtr = const_cast<char*>(*in);
    char* outPtr = reinterpret_cast<char*>(out->data());
    size_t outLeft = room * 4;
    size_t result = iconv(cd_, &inPtr, left, &outPtr, &outLeft);
    int error = errno;
    out->resize(room - outLeft / 4);
    for (uint32_t& c : *out) c = le32(c);
    *in = inPtr;
    errno = error;
    return result != size_t(-1);
  }

 private:
  static uint32_t le32(uint32_t raw) {
    unsigned char b[4];
    std::memcpy(b, &raw, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
  }
  iconv_t cd_;
};

// Characters that XML 1.0 allows, and the control characters that the dump
// leaves out (they never reach the document).
bool dumpable(uint32_t c) {
  if (c < 0x20) return true;
  return c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

}  // namespace

bool dumpEncodingUsable(const char* encoding) {
  if (!encoding || !*encoding) return true;  // the default, ISO-8859-1
  Decoder decoder(encoding);
  if (!decoder.ok()) return false;
  std::string ascii = "\t\n\r";
  for (char c = 0x20; c < 0x7F; ++c) ascii += c;
  const char* in = ascii.data();
  size_t left = ascii.size();
  std::vector<uint32_t> points;
  if (!decoder.decode(&in, &left, &points, ascii.size() + 1) || left != 0 || points.size() != ascii.size())
    return false;
  for (size_t i = 0; i < ascii.size(); ++i)
    if (points[i] != static_cast<unsigned char>(ascii[i])) return false;
  return true;
}

size_t firstByteOutsideEncoding(const char* text, size_t length, const char* encoding) {
  if (!encoding || !*encoding || !dumpEncodingUsable(encoding)) return SIZE_MAX;
  Decoder decoder(encoding);
  const size_t kRoom = 16384;
  std::vector<uint32_t> points;
  const char* in = text;
  size_t left = length;
  size_t decoded = 0;  // code points before `in`
  while (left > 0) {
    bool done = decoder.decode(&in, &left, &points, kRoom);
    int error = errno;
    for (size_t i = 0; i < points.size(); ++i) {
      if (dumpable(points[i])) continue;
      // Rare: find the bytes of that character by decoding one at a time.
      size_t wanted = decoded + i;
      decoder.reset();
      const char* at = text;
      size_t rest = length;
      for (size_t n = 0; n < wanted; ++n) decoder.decode(&at, &rest, &points, 1);
      return size_t(at - text);
    }
    decoded += points.size();
    if (!done && error != E2BIG) return size_t(in - text);
  }
  return SIZE_MAX;
}

size_t byteOrderMarkLength(const char* text, size_t length, const char* encoding) {
  const char kMark[] = "\xEF\xBB\xBF";
  const size_t kMarkLength = sizeof kMark - 1;
  if (length < kMarkLength || std::memcmp(text, kMark, kMarkLength) != 0) return 0;
  if (!encoding || !*encoding) return kMarkLength;
  Decoder decoder(encoding);
  if (!decoder.ok()) return 0;
  const char* in = text;
  size_t left = kMarkLength;
  std::vector<uint32_t> points;
  bool read = decoder.decode(&in, &left, &points, kMarkLength);
  return read && left == 0 && points.size() == 1 && points[0] == 0xFEFF ? kMarkLength : 0;
}
