// PackEntry: the payload tool's side of the entry format (deflate, header,
// CRCs, padding, cipher). Not linked into the program, which only reads entries.
#include <string.h>
#include <zlib.h>

#include "payload/Blowfish.h"
#include "payload/Crc32.h"
#include "payload/PackedEntry.h"
#include "text/Memory.h"

uint8_t* PackEntry(const uint8_t* key, int32_t keyLength, const uint8_t* plain,
                   uint32_t plainLength, uint32_t tag, uint32_t* storedLength) {
  z_stream stream = {};
  if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9,
                   Z_DEFAULT_STRATEGY) != Z_OK) {
    return nullptr;
  }
  const uLong bound = deflateBound(&stream, plainLength);
  const uint64_t capacity = BlowfishCipher::roundUpToBlock(
      static_cast<uint32_t>(kPackedHeaderSize + bound));
  uint8_t* entry = static_cast<uint8_t*>(AllocateBlock(static_cast<size_t>(capacity)));
  memset(entry, 0, static_cast<size_t>(capacity));
  stream.next_in = const_cast<Bytef*>(plain);
  stream.avail_in = plainLength;
  stream.next_out = entry + kPackedHeaderSize;
  stream.avail_out = static_cast<uInt>(bound);
  int status = deflate(&stream, Z_FINISH);
  const uint32_t packedLength = static_cast<uint32_t>(stream.total_out);
  /* result ignored: the stream is finished with either way */
  deflateEnd(&stream);
  if (status != Z_STREAM_END) {
    FreeBlock(entry);
    return nullptr;
  }
  const uint32_t stored = BlowfishCipher::roundUpToBlock(kPackedHeaderSize + packedLength);
  PackedHeader header = {stored,
                         plainLength,
                         packedLength,
                         crc32(uint32_t{0}, plain, plainLength),
                         crc32(uint32_t{0}, entry + kPackedHeaderSize, packedLength),
                         tag};
  WritePackedHeader(header, entry);
  BlowfishCipher cipher;
  cipher.setKey(key, keyLength);
  cipher.encryptBuffer(entry, entry, stored);
  *storedLength = stored;
  return entry;
}
