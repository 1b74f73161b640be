#pragma once
// libcurl's process-wide set-up (Winsock among it), taken before any thread uses libcurl and given back
// after the last one has ended. Its calls are not thread-safe: make and destroy holders on the UI thread only.
// libcurl counts the holders, so several may live at once.
class CurlGlobal {
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal&) = delete;
    CurlGlobal& operator=(const CurlGlobal&) = delete;

private:
    bool initialised_;
};
