// PulseAudioServer: whether a PulseAudio sound server answers now. The
// PulseAudio output's devices are the server's, so the wave-out service asks
// this rather than Qt's list of audio outputs, which a server that starts
// after the program never reaches.
#pragma once

namespace plat {

class PulseAudioServer {
public:
    // Connects to the server the environment names (PULSE_SERVER, the
    // client configuration, the user's runtime folder), without starting
    // one, and disconnects. True when the connection became ready within
    // TimeoutMs. Without a server it returns at once (the socket is refused);
    // with one it costs a connection's round trips. False where the PulseAudio
    // output is not built in.
    static bool Answers(int timeoutMs = 1000);
};

} // namespace plat
