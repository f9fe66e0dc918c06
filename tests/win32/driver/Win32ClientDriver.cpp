#include "driver/Win32ClientDriver.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "FakeClientProtocol.h"

namespace wintest {
namespace {

constexpr const char* kAnswerClass = "MelodropContractAnswer";

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The control window of the client process, once it has made it.
HWND ControlWindowOf(DWORD processId) {
    for (HWND w = FindWindowExA(nullptr, nullptr, fakeclient::kControlClass, nullptr); w;
         w = FindWindowExA(nullptr, w, fakeclient::kControlClass, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId) return w;
    }
    return nullptr;
}

// The fake client's process, started on first use and ended when the tests end.
class ClientProcess {
public:
    static ClientProcess& shared() {
        static ClientProcess process;
        return process;
    }

    // Whether the client's thread answers a message within `ms`.
    bool answers(UINT ms) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(control_, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result) != 0;
    }

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
            ADD_FAILURE() << "the fake client did not take the command: " << verb;
        }
        return answer_;
    }

private:
    ClientProcess() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = AnswerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kAnswerClass;
        RegisterClassExA(&wc);
        answerWindow_ = CreateWindowExA(0, kAnswerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(answerWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));

        std::string commandLine = ProgramFolder();
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
            control_ = ControlWindowOf(process_.dwProcessId);
            if (!control_) Sleep(10);
        }
        if (!control_) throw std::runtime_error("the fake client did not start");
    }

    ~ClientProcess() {
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
            auto* self = reinterpret_cast<ClientProcess*>(GetWindowLongPtrA(w, GWLP_USERDATA));
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

}  // namespace

Win32ClientDriver::Win32ClientDriver() {
    command({"reset"});
}

void Win32ClientDriver::hangFor(int ms) {
    command({"hang", std::to_string(ms)});
    // The client hangs once it gets to the hang it posted itself: wait until it no longer
    // answers, so that nothing the test sends next slips in before.
    for (int i = 0; i < 200 && ClientProcess::shared().answers(100); ++i) Sleep(5);
}

void Win32ClientDriver::addDocument(const std::string& caption,
                                    const std::vector<std::string>& childClasses) {
    std::vector<std::string> words{"document", caption};
    words.insert(words.end(), childClasses.begin(), childClasses.end());
    command(words);
}

std::vector<aol::contract::ReceivedIm> Win32ClientDriver::instantMessagesSent() {
    std::vector<aol::contract::ReceivedIm> out;
    for (const std::string& line : lines(command({"ims"}))) {
        const std::size_t tab = line.find('\t');
        out.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
    }
    return out;
}

std::string Win32ClientDriver::command(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        if (!text.empty()) text += fakeclient::kWordSeparator;
        text += word;
    }
    return ClientProcess::shared().command(text, words.front());
}

std::vector<std::string> Win32ClientDriver::lines(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        out.push_back(
            text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return out;
        start = end + 1;
    }
}

}  // namespace wintest
