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
    // How many sources the server has that are no monitor of an output
    // (microphones, line inputs); -1 when no server answers within
    // TimeoutMs or the PulseAudio output is not built in.
    static int Microphones(int timeoutMs = 1000);
};

} // namespace plat
