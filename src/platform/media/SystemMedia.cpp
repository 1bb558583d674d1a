// The MP3 encoder and zip packer of this build: LAME and libzip when the
// build found them, else none.
#include "platform/Mp3Encoder.h"
#include "platform/ZipPacker.h"

#ifdef FBW_HAVE_LAME
#include "platform/media/LameMp3Encoder.h"
#endif
#ifdef FBW_HAVE_LIBZIP
#include "platform/media/LibZipPacker.h"
#endif

namespace plat {

std::unique_ptr<Mp3Encoder> CreateMp3Encoder() {
#ifdef FBW_HAVE_LAME
    return std::make_unique<LameMp3Encoder>();
#else
    return nullptr;
#endif
}

std::unique_ptr<ZipPacker> CreateZipPacker() {
#ifdef FBW_HAVE_LIBZIP
    return std::make_unique<LibZipPacker>();
#else
    return nullptr;
#endif
}

} // namespace plat
