// Sound output through waveOut: a worker thread keeps a few buffers queued, filling each
// from the source as the device hands it back. Without a sound device Open fails and the
// movie plays silently.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace velmora::moviehost {

class WaveOut {
public:
    // Fills `frames` interleaved stereo frames at 44.1 kHz; called on the worker thread.
    using Source = std::function<void(int16_t* stereo, size_t frames)>;

    WaveOut() = default;
    ~WaveOut() { Close(); }
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    bool Open(Source source);
    void Close();
    bool IsOpen() const { return m_device != nullptr; }

private:
    static constexpr int kBuffers = 4;
    static constexpr size_t kFramesPerBuffer = 2048;  // about 46 ms each

    void Run();

    HWAVEOUT m_device = nullptr;
    HANDLE m_event = nullptr;
    Source m_source;
    std::vector<int16_t> m_samples[kBuffers];
    WAVEHDR m_headers[kBuffers]{};
    std::atomic<bool> m_stopping{false};
    std::thread m_worker;
};

}  // namespace velmora::moviehost
