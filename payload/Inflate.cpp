// Raw-deflate decompression through zlib: one call, whole input, exact output.
#include <zlib.h>

#include "payload/PackedEntry.h"

int64_t InflateRaw(uint8_t* output, uint32_t outputLength, const uint8_t* input,
                   uint32_t inputLength) {
  z_stream stream = {};
  // Negative window bits: raw deflate, no header or trailer.
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return -1;
  stream.next_in = const_cast<Bytef*>(input);
  stream.avail_in = inputLength;
  stream.next_out = output;
  stream.avail_out = outputLength;
  int status = inflate(&stream, Z_FINISH);
  int64_t produced = static_cast<int64_t>(outputLength) - stream.avail_out;
  /* result ignored: the stream is finished with either way */
  inflateEnd(&stream);
  return status == Z_STREAM_END ? produced : -1;
}
