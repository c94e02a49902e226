#include "startup/JpegPicture.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <string>

namespace qvz {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return. We
// leave with longjmp rather than an exception: the library is C and unwinding
// through its frames is not allowed. Only plain C data lives between setjmp
// and the longjmp, so nothing needs a destructor run.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf escape;
};

[[noreturn]] void leaveOnError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->escape, 1);
}

// Warnings (missing end of data, corrupt entropy data) are not reported: the
// picture shows with what could be decoded.
void ignoreMessage(j_common_ptr, int) { }
void ignoreOutput(j_common_ptr) { }

// One decompression, from header to the last row we need. The caller's
// setjmp must be in the same frame as every libjpeg call, hence the macro-free
// structure below: each public function does its own setjmp.
struct Decompression {
    jpeg_decompress_struct info {};
    ErrorManager errors {};

    Decompression()
    {
        info.err = jpeg_std_error(&errors.base);
        errors.base.error_exit = leaveOnError;
        errors.base.emit_message = ignoreMessage;
        errors.base.output_message = ignoreOutput;
    }
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;
    ~Decompression() { jpeg_destroy_decompress(&info); }

    int failure() const { return errors.base.msg_code; }
};

// Reads the header and chooses the output colour space. Called after setjmp.
void start(Decompression& job, std::string_view bytes)
{
    jpeg_create_decompress(&job.info);
    job.info.mem->max_memory_to_use = kJpegMemoryLimit;
    jpeg_mem_src(&job.info, reinterpret_cast<const unsigned char*>(bytes.data()),
        static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&job.info, TRUE);
    if (job.info.jpeg_color_space == JCS_CMYK || job.info.jpeg_color_space == JCS_YCCK)
        job.info.out_color_space = JCS_CMYK;
    else
        job.info.out_color_space = JCS_EXT_BGRX;
}

// Adobe's CMYK JPEGs store the inks inverted, so a byte of 255 means no ink.
// libjpeg-turbo has no CMYK to RGB conversion of its own.
uint32_t invertedCmykToRgb(const unsigned char* cmyk)
{
    unsigned k = cmyk[3];
    unsigned r = cmyk[0] * k / 255;
    unsigned g = cmyk[1] * k / 255;
    unsigned b = cmyk[2] * k / 255;
    return (r << 16) | (g << 8) | b;
}

}

JpegError::JpegError(int messageCode)
    : std::runtime_error("JPEG error #" + std::to_string(messageCode))
    , m_messageCode(messageCode)
{
}

void checkJpeg(std::string_view bytes)
{
    Decompression job;
    if (setjmp(job.errors.escape))
        throw JpegError(job.failure());
    start(job, bytes);
    // Starting the decompression is where libjpeg allocates what it must hold
    // whole, so a picture beyond the memory limit is refused here.
    jpeg_start_decompress(&job.info);
    jpeg_abort_decompress(&job.info);
}

platform::Picture decodeJpeg(std::string_view bytes, int maxWidth, int maxHeight)
{
    platform::Picture picture;
    Decompression job;
    // Filled inside the protected region; declared outside so that nothing
    // with a destructor is created after setjmp.
    std::vector<unsigned char> row;
    if (setjmp(job.errors.escape))
        throw JpegError(job.failure());
    start(job, bytes);
    jpeg_start_decompress(&job.info);

    int width = std::min<long>(std::max(maxWidth, 0), job.info.output_width);
    int height = std::min<long>(std::max(maxHeight, 0), job.info.output_height);
    if (width == 0 || height == 0) {
        jpeg_abort_decompress(&job.info);
        return picture;
    }
    if (static_cast<JDIMENSION>(width) < job.info.output_width) {
        // The crop is widened to whole blocks; the extra columns are dropped
        // below. Its x offset may move left to a block edge, which from 0 it
        // cannot.
        JDIMENSION offset = 0;
        JDIMENSION cropWidth = static_cast<JDIMENSION>(width);
        jpeg_crop_scanline(&job.info, &offset, &cropWidth);
    }

    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    row.resize(static_cast<size_t>(job.info.output_width) * static_cast<size_t>(job.info.output_components));
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[] = { row.data() };
        if (jpeg_read_scanlines(&job.info, rows, 1) != 1)
            break;
        uint32_t* target = &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        if (job.info.out_color_space == JCS_CMYK) {
            for (int x = 0; x < width; ++x)
                target[x] = invertedCmykToRgb(&row[static_cast<size_t>(x) * 4]);
        } else {
            // BGRX bytes are a native 0x??RRGGBB word on little-endian machines;
            // read them bytewise so the order holds on any machine.
            for (int x = 0; x < width; ++x) {
                const unsigned char* pixel = &row[static_cast<size_t>(x) * 4];
                target[x] = (uint32_t(pixel[2]) << 16) | (uint32_t(pixel[1]) << 8) | pixel[0];
            }
        }
    }
    // The rows below the window are never needed.
    jpeg_abort_decompress(&job.info);
    return picture;
}

}
