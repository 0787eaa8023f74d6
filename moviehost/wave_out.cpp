#include "moviehost/wave_out.h"

namespace velmora::moviehost {

bool WaveOut::Open(Source source) {
    Close();
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 44100;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 44100 * 4;
    m_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_event) return false;
    if (waveOutOpen(&m_device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(m_event), 0, CALLBACK_EVENT) !=
        MMSYSERR_NOERROR) {
        m_device = nullptr;
        CloseHandle(m_event);
        m_event = nullptr;
        return false;
    }
    m_source = std::move(source);
    m_stopping = false;
    for (int i = 0; i < kBuffers; ++i) {
        m_samples[i].assign(kFramesPerBuffer * 2, 0);
        m_headers[i] = {};
        m_headers[i].lpData = reinterpret_cast<LPSTR>(m_samples[i].data());
        m_headers[i].dwBufferLength = static_cast<DWORD>(m_samples[i].size() * sizeof(int16_t));
        waveOutPrepareHeader(m_device, &m_headers[i], sizeof(WAVEHDR));
        m_headers[i].dwFlags |= WHDR_DONE;  // free for the worker to fill
    }
    m_worker = std::thread([this] { Run(); });
    SetEvent(m_event);
    return true;
}

void WaveOut::Run() {
    while (!m_stopping) {
        WaitForSingleObject(m_event, 100);
        for (WAVEHDR& header : m_headers) {
            if (m_stopping || !(header.dwFlags & WHDR_DONE)) continue;
            header.dwFlags &= ~WHDR_DONE;
            m_source(reinterpret_cast<int16_t*>(header.lpData), kFramesPerBuffer);
            waveOutWrite(m_device, &header, sizeof(WAVEHDR));
        }
    }
}

void WaveOut::Close() {
    if (!m_device) return;
    m_stopping = true;
    SetEvent(m_event);
    if (m_worker.joinable()) m_worker.join();
    waveOutReset(m_device);
    for (WAVEHDR& header : m_headers) waveOutUnprepareHeader(m_device, &header, sizeof(WAVEHDR));
    waveOutClose(m_device);
    m_device = nullptr;
    CloseHandle(m_event);
    m_event = nullptr;
}

}  // namespace velmora::moviehost
