// A converter of the C library between two encodings, closed with its
// owner; the codecs at the edges ask it for their tables once.
#pragma once

#include <iconv.h>

#include <cstddef>

namespace yk {

class TIconvConverter {
 public:
  TIconvConverter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~TIconvConverter() {
    if (Ok()) iconv_close(cd_);
  }
  TIconvConverter(const TIconvConverter&) = delete;
  TIconvConverter& operator=(const TIconvConverter&) = delete;
  bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in into out (outSize: its room, then the bytes
  // written); false on an invalid or incomplete sequence or no room.
  bool Run(const char* in, std::size_t inSize, char* out, std::size_t& outSize) {
    if (!Ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    char* dst = out;
    std::size_t left = outSize;
    const std::size_t r = iconv(cd_, &src, &inSize, &dst, &left);
    outSize -= left;
    return r != static_cast<std::size_t>(-1) && inSize == 0;
  }

 private:
  iconv_t cd_;
};

}  // namespace yk
