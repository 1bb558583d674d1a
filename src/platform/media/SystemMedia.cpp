// The MP3 encoder and decoder, zip writer and reader, voice codec and
// loudness meter of this build: LAME, libmpg123, zlib, libopusenc with
// libopusfile and libebur128 when the build found them, else none.
#include "platform/LoudnessMeter.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/OpusCodec.h"
#include "platform/ZipReader.h"
#include "platform/ZipWriter.h"

#ifdef FBW_HAVE_LAME
#include "platform/media/LameMp3Encoder.h"
#endif
#ifdef FBW_HAVE_MPG123
#include "platform/media/Mpg123Mp3Decoder.h"
#endif
#ifdef FBW_HAVE_ZLIB
#include "platform/media/ZlibZipReader.h"
#include "platform/media/ZlibZipWriter.h"
#endif
#ifdef FBW_HAVE_OPUS
#include "platform/media/LibOpusCodec.h"
#endif
#ifdef FBW_HAVE_EBUR128
#include "platform/media/Ebur128LoudnessMeter.h"
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

std::unique_ptr<OpusCodec> CreateOpusCodec() {
#ifdef FBW_HAVE_OPUS
    return std::make_unique<LibOpusCodec>();
#else
    return nullptr;
#endif
}

std::unique_ptr<Mp3Decoder> CreateMp3Decoder() {
#ifdef FBW_HAVE_MPG123
    return std::make_unique<Mpg123Mp3Decoder>();
#else
    return nullptr;
#endif
}

std::unique_ptr<LoudnessMeter> CreateLoudnessMeter() {
#ifdef FBW_HAVE_EBUR128
    return std::make_unique<Ebur128LoudnessMeter>();
#else
    return nullptr;
#endif
}

std::unique_ptr<ZipReader> OpenZipReader(Stream& in, std::string& why) {
#ifdef FBW_HAVE_ZLIB
    auto reader = std::make_unique<ZlibZipReader>();
    if (reader->Open(in, why))
        return reader;
    return nullptr;
#else
    (void)in;
    why = "no zip library is installed (zlib)";
    return nullptr;
#endif
}

} // namespace plat
