#pragma once
// The splash picture decoder, on libjpeg-turbo.
//
// Only the part of a picture that a window can show is ever decoded: the
// picture is drawn from the window's top-left corner, so rows below the window
// are never read and columns right of it are cropped away while decoding. A
// file that claims huge dimensions therefore costs no more than one that
// fits. What the decoder must hold whole regardless (the coefficients of a
// progressive or multi-scan picture) is capped by kJpegMemoryLimit, beyond
// which the picture is refused with the library's error.

#include "platform/SplashWindow.h"

#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace qvz {

inline constexpr long kJpegMemoryLimit = 64L * 1024 * 1024;

// A picture the decoder refused. The text is the class library's, "JPEG error
// #%d", with libjpeg's own message number.
class JpegError : public std::runtime_error {
public:
    explicit JpegError(int messageCode);
    int messageCode() const { return m_messageCode; }

private:
    int m_messageCode;
};

// Checks that the bytes hold a JPEG picture the decoder can start on (its
// markers up to the first scan, its colour space, the memory it needs);
// throws JpegError when not.
void checkJpeg(std::string_view bytes);

// Decodes the top-left maxWidth x maxHeight pixels of the picture (fewer when
// the picture is smaller). Damaged or missing data after a good start is
// tolerated the way libjpeg tolerates it (warnings only, grey where data is
// missing); everything else throws JpegError. Greyscale and CMYK pictures come
// out as RGB.
platform::Picture decodeJpeg(std::string_view bytes, int maxWidth, int maxHeight);

}
