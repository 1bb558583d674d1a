// The MP3 encoder and zip writer of this build: LAME and zlib when the
// build found them, else none.
#include "platform/Mp3Encoder.h"
#include "platform/ZipWriter.h"

#ifdef FBW_HAVE_LAME
#include "platform/media/LameMp3Encoder.h"
#endif
#ifdef FBW_HAVE_ZLIB
#include "platform/media/ZlibZipWriter.h"
#endif

namespace plat {

std::unique_ptr<Mp3Encoder> CreateMp3Encoder() {
#ifdef FBW_HAVE_LAME
    return std::make_unique<LameMp3Encoder>();
#else
    return nullptr;
#endif
}

std::unique_ptr<ZipWriter> CreateZipWriter(Stream& out, std::time_t modified) {
#ifdef FBW_HAVE_ZLIB
    return std::make_unique<ZlibZipWriter>(out, modified);
#else
    (void)out;
    (void)modified;
    return nullptr;
#endif
}

} // namespace plat
