#include "report/graphics/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs size_t and FILE declared first
#include <cstdlib>
#include <string>

// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include "platform/errors.h"
#include "report/graphics/raster_limits.h"

namespace quillet {
namespace {

// libjpeg's default error handler ends the process. This one jumps back to
// the call that started the work (C frames cannot carry exceptions), keeping
// the message so that the caller can raise it.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Corrupt-data warnings are tolerated, except running out of data: libjpeg
// would make up the rest of the picture, which lets a few header bytes
// claim a huge image.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) OnError(cinfo);
}

void InstallErrorManager(ErrorManager& err) {
  jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.emit_message = OnMessage;
  err.message[0] = 0;
}

// libjpeg's working memory is capped too (progressive images keep every
// coefficient), so its own allocations fail with an error instead of growing.
constexpr long kMaxJpegWorkMemory = 512L * 1024 * 1024;

// Everything between setjmp and the possible longjmp lives in plain C
// storage or in the caller's frame, so the jump skips no destructor.
bool DecodeInto(jpeg_decompress_struct* cinfo, ErrorManager* err, const std::uint8_t* data,
                unsigned long size, RasterImage* out, std::string* tooLarge) {
  if (setjmp(err->jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kMaxJpegWorkMemory;
  jpeg_mem_src(cinfo, data, size);
  jpeg_read_header(cinfo, TRUE);
  const std::int64_t w = cinfo->image_width;
  const std::int64_t h = cinfo->image_height;
  try {
    CheckPictureSize(w, h, "JPEG");
  } catch (const StreamReadError& e) {
    *tooLarge = e.what();
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(cinfo);
  out->width = int(w);
  out->height = int(h);
  // Rows are added as they decode: a header that promises a large picture
  // over a few bytes of data ends in an error before much memory is touched.
  out->pixels.reserve(std::size_t(w) * std::size_t(h));
  // Adobe writes CMYK inverted; it is the only common producer of CMYK JPEGs.
  const bool inverted = cinfo->saw_Adobe_marker;
  // libjpeg's image pool frees the CMYK row with the decompressor.
  JSAMPARRAY cmykRow = cmyk ? (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                          JPOOL_IMAGE, JDIMENSION(w * 4), 1)
                            : nullptr;
  while (cinfo->output_scanline < cinfo->output_height) {
    out->pixels.resize(out->pixels.size() + std::size_t(w));
    std::uint32_t* line = out->pixels.data() + std::size_t(cinfo->output_scanline) * std::size_t(w);
    JSAMPROW row = cmyk ? cmykRow[0] : reinterpret_cast<JSAMPROW>(line);
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) {
      std::snprintf(err->message, sizeof err->message, "no scanline decoded");
      jpeg_destroy_decompress(cinfo);
      return false;
    }
    if (!cmyk) continue;
    for (std::int64_t x = 0; x < w; ++x) {
      const JSAMPLE* p = cmykRow[0] + x * 4;
      int c = p[0], m = p[1], y = p[2], k = p[3];
      if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
      }
      const std::uint32_t r = std::uint32_t(c * k / 255);
      const std::uint32_t g = std::uint32_t(m * k / 255);
      const std::uint32_t b = std::uint32_t(y * k / 255);
      line[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

bool EncodeInto(jpeg_compress_struct* cinfo, ErrorManager* err, const RasterImage* image,
                int quality, unsigned char** buffer, unsigned long* size) {
  if (setjmp(err->jump)) {
    jpeg_destroy_compress(cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  jpeg_mem_dest(cinfo, buffer, size);
  cinfo->image_width = JDIMENSION(image->width);
  cinfo->image_height = JDIMENSION(image->height);
  cinfo->input_components = 4;
  cinfo->in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(cinfo);
  jpeg_set_quality(cinfo, quality, TRUE);
  jpeg_start_compress(cinfo, TRUE);
  while (cinfo->next_scanline < cinfo->image_height) {
    const std::uint32_t* line =
        image->pixels.data() + std::size_t(cinfo->next_scanline) * std::size_t(image->width);
    JSAMPROW row = const_cast<JSAMPROW>(reinterpret_cast<const JSAMPLE*>(line));
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

}  // namespace

RasterImage DecodeJpeg(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) throw StreamReadError("JPEG: no data");
  jpeg_decompress_struct cinfo{};
  ErrorManager err;
  InstallErrorManager(err);
  cinfo.err = &err.pub;
  RasterImage img;
  std::string tooLarge;
  if (!DecodeInto(&cinfo, &err, bytes.data(), static_cast<unsigned long>(bytes.size()), &img,
                  &tooLarge)) {
    if (!tooLarge.empty()) throw StreamReadError(tooLarge);
    throw StreamReadError(std::string("JPEG: ") + err.message);
  }
  return img;
}

std::vector<std::uint8_t> EncodeJpeg(const RasterImage& image, int quality) {
  if (image.IsEmpty() || image.pixels.size() != std::size_t(image.width) * image.height)
    throw RangeError("An empty or inconsistent image cannot be written as a JPEG");
  jpeg_compress_struct cinfo{};
  ErrorManager err;
  InstallErrorManager(err);
  cinfo.err = &err.pub;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = EncodeInto(&cinfo, &err, &image,
                             quality < 1     ? 1
                             : quality > 100 ? 100
                                             : quality,
                             &buffer, &size);
  std::vector<std::uint8_t> out;
  if (ok && buffer) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) throw StreamWriteError(std::string("JPEG: ") + err.message);
  return out;
}

}  // namespace quillet
