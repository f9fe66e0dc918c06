#pragma once
// The fake chat client's process, as tests and tools drive it: started from beside the running
// program on first use, given commands through its control window, ended with the program.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "FakeClientProtocol.h"

namespace wintest {
namespace detail {

inline constexpr const char* kAnswerClass = "MelodropContractAnswer";

inline std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The control window of the client process, once it has made it.
inline HWND ControlWindowOf(DWORD processId) {
    for (HWND w = FindWindowExA(nullptr, nullptr, fakeclient::kControlClass, nullptr); w;
         w = FindWindowExA(nullptr, w, fakeclient::kControlClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId) return w;
    }
    return nullptr;
}

}  // namespace detail

// The fake client's process, started on first use and ended when the tests end.
class FakeClientProcess {
public:
    static FakeClientProcess& shared() {
        static FakeClientProcess process;
        return process;
    }

    // Whether the client's thread answers a message within `ms`.
    bool answers(UINT ms) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(control_, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
    }

    // Called with the verb of a command the client did not take.
    std::function<void(const std::string&)> onRefused;

    std::string command(const std::string& text, const std::string& verb) {
        COPYDATASTRUCT data{};
        data.dwData = fakeclient::kCommandTag;
        data.cbData = static_cast<DWORD>(text.size());
        data.lpData = const_cast<char*>(text.data());
        answer_.clear();
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(control_, WM_COPYDATA, reinterpret_cast<WPARAM>(answerWindow_),
                                 reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &result) ||
            result != 1) {
            if (onRefused) onRefused(verb);
        }
        return answer_;
    }

private:
    FakeClientProcess() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = AnswerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = detail::kAnswerClass;
        RegisterClassExA(&wc);
        answerWindow_ = CreateWindowExA(0, detail::kAnswerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(answerWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

        std::string commandLine = detail::ProgramFolder();
        commandLine.append("fake-aol-client.exe");
        commandLine.insert(commandLine.begin(), '"');
        commandLine.push_back('"');
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &process_)) {
            throw std::runtime_error("cannot start " + commandLine);
        }
        for (int i = 0; i < 2000 && !control_; ++i) {
            control_ = detail::ControlWindowOf(process_.dwProcessId);
            if (!control_) Sleep(10);
        }
        if (!control_) throw std::runtime_error("the fake client did not start");
    }

    ~FakeClientProcess() {
        command("quit", "quit");
        if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
        DestroyWindow(answerWindow_);
    }

    static LRESULT CALLBACK AnswerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_COPYDATA) {
            auto* self = reinterpret_cast<FakeClientProcess*>(GetWindowLongPtrA(w, GWLP_USERDATA));
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            if (self && data->dwData == fakeclient::kCommandTag) {
                self->answer_.assign(static_cast<const char*>(data->lpData), data->cbData);
            }
            return TRUE;
        }
        return DefWindowProcA(w, msg, wp, lp);
    }

    PROCESS_INFORMATION process_{};
    HWND control_ = nullptr;
    HWND answerWindow_ = nullptr;
    std::string answer_;
};

}  // namespace wintest
